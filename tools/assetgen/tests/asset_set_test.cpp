// asset_set_test.cpp: the committed assets are exactly what the generator
// makes, every file the game loads is there, and every file is one the
// game's readers accept.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "asset_decode.h"
#include "asset_tree.h"

namespace vel {
namespace {

namespace fs = std::filesystem;

const AssetFile* find_file(const AssetTree& tree, const std::string& path) {
  for (const AssetFile& file : tree.files) {
    if (file.path == path) return &file;
  }
  return nullptr;
}

TEST(AssetSet, RegeneratedFilesMatchTheCommittedOnesByteForByte) {
  const AssetTree tree = build_asset_tree();
  ASSERT_EQ(tree.error, "");
  const fs::path scratch = VEL_SCRATCH_DIR;
  fs::remove_all(scratch);
  ASSERT_EQ(write_asset_tree(tree, scratch), "");

  for (const AssetFile& file : tree.files) {
    const std::vector<uint8_t> fresh = test::read_file((scratch / file.path).string());
    const std::vector<uint8_t> committed =
        test::read_file((fs::path(VEL_COMMITTED_ASSETS) / file.path).string());
    ASSERT_EQ(fresh, file.bytes) << file.path << " was not written as built";
    const auto differ =
        std::mismatch(fresh.begin(), fresh.end(), committed.begin(), committed.end());
    EXPECT_TRUE(fresh.size() == committed.size() && differ.first == fresh.end())
        << "assets/" << file.path << " differs from a fresh build (first at byte "
        << (differ.first - fresh.begin()) << "); the fresh file is in " << scratch.string()
        << "; run `make assets` and commit the result if the change is intended";
  }

  // A mesh or picture left behind by an older generator would be committed
  // without anything to rebuild it.
  for (const auto& entry : fs::recursive_directory_iterator(VEL_COMMITTED_ASSETS)) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".tga" && extension != ".obj") continue;
    const std::string relative = fs::relative(entry.path(), VEL_COMMITTED_ASSETS).generic_string();
    EXPECT_NE(find_file(tree, relative), nullptr) << "assets/" << relative << " is not generated";
  }
}

TEST(AssetSet, TwoBuildsInOneProcessAreIdentical) {
  // Guards against state carried between painters (a shared generator, a
  // static cache): the second build must not see the first.
  const AssetTree first = build_asset_tree();
  const AssetTree second = build_asset_tree();
  ASSERT_EQ(first.files.size(), second.files.size());
  for (size_t k = 0; k < first.files.size(); ++k) {
    EXPECT_EQ(first.files[k].path, second.files[k].path);
    EXPECT_TRUE(first.files[k].bytes == second.files[k].bytes) << first.files[k].path;
  }
}

TEST(AssetSet, HoldsEveryFileOfTheManifestAndNothingElse) {
  std::set<std::string> manifest = {
      "crosshair2_tl.tga", "crosshair2_tr.tga",   "crosshair2_br.tga",   "crosshair2_bl.tga",
      "building_3.tga",    "building_3_32.tga",   "building_3_base.tga", "terrace.tga",
      "terrace_2.tga",     "antenna.tga",         "car1/tex.tga",        "drone/drone.tga",
      "quad.obj",          "building_1_base.obj", "antenna.obj",         "car1/car1.obj",
      "drone/drone.obj"};
  // The played game's own art.
  for (const char* name : {"chip.tga", "battery.tga", "chip_beam.tga", "battery_beam.tga",
                           "chip.obj", "battery.obj", "beam.obj"}) {
    manifest.insert(std::string("play/") + name);
  }
  const AssetTree tree = build_asset_tree();
  std::set<std::string> built;
  for (const AssetFile& file : tree.files) built.insert(file.path);
  EXPECT_EQ(built, manifest);
  EXPECT_EQ(built.size(), tree.files.size()) << "a path is built twice";
}

TEST(AssetSet, EveryPictureIsOneTheGameReadsAndAllThreeKindsAreUsed) {
  const AssetTree tree = build_asset_tree();
  bool mapped = false, rgb = false, rgba = false;
  for (const AssetFile& file : tree.files) {
    if (!file.path.ends_with(".tga")) continue;
    const test::DecodedTga image = test::decode_tga(file.bytes);
    ASSERT_EQ(image.error, "") << file.path;
    // Rows are stored top first, and the header says so for other viewers.
    EXPECT_EQ(image.descriptor & 0x20, 0x20) << file.path;
    EXPECT_EQ(file.bytes[0], 0) << file.path << ": the game ignores an image ID";
    // Loaded 72 times at start-up: keep them small.
    EXPECT_LE(image.width * image.height, 64 * 96) << file.path;
    mapped |= image.image_type == 1;
    rgb |= image.image_type == 2 && image.depth == 24;
    rgba |= image.image_type == 2 && image.depth == 32;
  }
  EXPECT_TRUE(mapped && rgb && rgba);
}

TEST(AssetSet, EveryMeshIsStrictTrianglesWithPositionsTexcoordsAndNormals) {
  const AssetTree tree = build_asset_tree();
  for (const AssetFile& file : tree.files) {
    if (!file.path.ends_with(".obj")) continue;
    const test::DecodedObj mesh =
        test::decode_obj(std::string(file.bytes.begin(), file.bytes.end()));
    EXPECT_EQ(mesh.error, "") << file.path;
    EXPECT_FALSE(mesh.triangles.empty()) << file.path;
    for (const test::Triangle& t : mesh.triangles) {
      // The stored normal agrees with the winding, so lighting and culling
      // see the same outside.
      for (int k = 0; k < 3; ++k) {
        EXPECT_GT(test::dot(test::facing(t), t.normal[k]), 0.0f) << file.path;
        const float length2 = test::dot(t.normal[k], t.normal[k]);
        EXPECT_NEAR(length2, 1.0f, 0.002f) << file.path;
      }
    }
  }
}

}  // namespace
}  // namespace vel
