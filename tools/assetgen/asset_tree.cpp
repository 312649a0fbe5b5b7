// asset_tree.cpp: which painter and builder makes which file, in which format.
#include "asset_tree.h"

#include <fstream>
#include <system_error>

#include "antenna.h"
#include "car.h"
#include "city_meshes.h"
#include "crosshair.h"
#include "drone.h"
#include "facades.h"
#include "font.h"
#include "pickups.h"
#include "roofs.h"
#include "tga_writer.h"

namespace vel {

namespace {

void add_image(AssetTree& tree, const std::string& path, const Canvas& canvas, TgaKind kind) {
  TgaEncoding encoding = encode_tga(canvas, kind);
  if (!encoding.error.empty()) {
    if (tree.error.empty()) tree.error = path + ": " + encoding.error;
    return;
  }
  tree.files.push_back({path, std::move(encoding.bytes)});
}

void add_mesh(AssetTree& tree, const std::string& path, const ObjMesh& mesh,
              const std::string& title) {
  const std::string text = write_obj_text(mesh, title);
  tree.files.push_back({path, std::vector<uint8_t>(text.begin(), text.end())});
}

}  // namespace

AssetTree build_asset_tree() {
  AssetTree tree;
  // The font and the reticle keep their alpha; the walls and vehicles are
  // opaque true-colour; the roofs, the antenna and the distant facade have
  // few enough colours for a palette.
  add_image(tree, "crosshair2_tl.tga", paint_font(), TgaKind::true_colour_32);
  add_image(tree, "crosshair2_tr.tga", paint_crosshair_corner(ReticleCorner::top_right),
            TgaKind::true_colour_32);
  add_image(tree, "crosshair2_br.tga", paint_crosshair_corner(ReticleCorner::bottom_right),
            TgaKind::true_colour_32);
  add_image(tree, "crosshair2_bl.tga", paint_crosshair_corner(ReticleCorner::bottom_left),
            TgaKind::true_colour_32);
  add_image(tree, "building_3.tga", paint_storey_facade(64), TgaKind::true_colour_24);
  add_image(tree, "building_3_32.tga", paint_storey_facade(32), TgaKind::colour_mapped_8);
  add_image(tree, "building_3_base.tga", paint_street_facade(), TgaKind::true_colour_24);
  add_image(tree, "terrace.tga", paint_roof_plate(), TgaKind::colour_mapped_8);
  add_image(tree, "terrace_2.tga", paint_station_plate(), TgaKind::colour_mapped_8);
  add_image(tree, "antenna.tga", paint_antenna_texture(), TgaKind::colour_mapped_8);
  add_image(tree, "car1/tex.tga", paint_car_texture(), TgaKind::true_colour_24);
  add_image(tree, "drone/drone.tga", paint_drone_texture(), TgaKind::true_colour_24);

  add_mesh(tree, "quad.obj", build_quad_mesh(), "roof plate: -1..1 in local x-y, facing local -z");
  add_mesh(tree, "building_1_base.obj", build_block_mesh(),
           "one storey: x, z -7.5..7.5, y 0..15, four outward walls, open top and bottom");
  add_mesh(tree, "antenna.obj", build_antenna_mesh(), "transmitter mast, 5 units tall on y = 0");
  add_mesh(tree, "car1/car1.obj", build_car_mesh(), "flying car, 4.6 units long, nose +z");
  add_mesh(tree, "drone/drone.obj", build_drone_mesh(), "quad-rotor drone, front +z");

  // The played game's own art, loaded only when its rules draw the pickups.
  // The beams keep their alpha.
  add_image(tree, "play/chip.tga", paint_chip_texture(), TgaKind::true_colour_24);
  add_image(tree, "play/battery.tga", paint_battery_texture(), TgaKind::true_colour_24);
  add_image(tree, "play/chip_beam.tga", paint_beam_texture(BeamHue::chip), TgaKind::true_colour_32);
  add_image(tree, "play/battery_beam.tga", paint_beam_texture(BeamHue::battery),
            TgaKind::true_colour_32);
  add_mesh(tree, "play/chip.obj", build_chip_mesh(),
           "circuit tile: 1.1 square, 0.2 thick, a die on both faces, centred");
  add_mesh(tree, "play/battery.obj", build_battery_mesh(),
           "cell: 0.72 across, 1.1 tall, terminal towards +y, centred");
  add_mesh(tree, "play/beam.obj", build_beam_mesh(), "beam quad: x -0.5..0.5, y 0..1, facing +z");
  return tree;
}

std::string write_asset_tree(const AssetTree& tree, const std::filesystem::path& directory) {
  for (const AssetFile& file : tree.files) {
    const std::filesystem::path target = directory / file.path;
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (error) return target.parent_path().string() + ": " + error.message();
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()),
              static_cast<std::streamsize>(file.bytes.size()));
    out.close();
    if (!out) return target.string() + ": could not be written";
  }
  return {};
}

}  // namespace vel
