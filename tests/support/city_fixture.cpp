// city_fixture.cpp: city scenes for the tests, from stand-in assets made in
// code or from the real assets/ directory.
#include "support/city_fixture.h"

#include "scene1/scene_init.h"
#include "scene_api/settings.h"

namespace vel::test {

namespace {

// Appends the triangle (a, b, c) with its own face normal.
void add_triangle(Mesh& mesh, Vec3 a, Vec3 b, Vec3 c) {
  const uint64_t first = mesh.positions.size();
  mesh.positions.push_back(a);
  mesh.positions.push_back(b);
  mesh.positions.push_back(c);
  const Vec3 n = cross(b - a, c - a);
  mesh.normals.push_back(n / length(n));
  const uint64_t normal = mesh.normals.size() - 1;
  const uint64_t uv = mesh.texcoords.size();
  mesh.texcoords.push_back({0.0f, 0.0f});
  mesh.texcoords.push_back({1.0f, 0.0f});
  mesh.texcoords.push_back({1.0f, 1.0f});
  mesh.corners.push_back({first, uv, normal});
  mesh.corners.push_back({first + 1, uv + 1, normal});
  mesh.corners.push_back({first + 2, uv + 2, normal});
}

// Quad a-b-c-d, counter-clockwise seen from the side it faces.
void add_quad(Mesh& mesh, Vec3 a, Vec3 b, Vec3 c, Vec3 d) {
  add_triangle(mesh, a, b, c);
  add_triangle(mesh, a, c, d);
}

void finish(Mesh& mesh) {
  Vec3 sum;
  for (const Vec3& p : mesh.positions) sum = sum + p;
  mesh.centre = sum / static_cast<float>(mesh.positions.size());
}

}  // namespace

Mesh box_mesh(Vec3 lo, Vec3 hi) {
  Mesh mesh;
  const Vec3 p000{lo.x, lo.y, lo.z}, p100{hi.x, lo.y, lo.z}, p110{hi.x, hi.y, lo.z},
      p010{lo.x, hi.y, lo.z}, p001{lo.x, lo.y, hi.z}, p101{hi.x, lo.y, hi.z},
      p111{hi.x, hi.y, hi.z}, p011{lo.x, hi.y, hi.z};
  add_quad(mesh, p001, p101, p111, p011);  // +z
  add_quad(mesh, p100, p000, p010, p110);  // -z
  add_quad(mesh, p101, p100, p110, p111);  // +x
  add_quad(mesh, p000, p001, p011, p010);  // -x
  add_quad(mesh, p011, p111, p110, p010);  // +y
  add_quad(mesh, p000, p100, p101, p001);  // -y
  finish(mesh);
  return mesh;
}

Mesh roof_quad_mesh() {
  Mesh mesh;
  // Clockwise seen from +z: the face looks along -z.
  add_quad(mesh, {-1.0f, -1.0f, 0.0f}, {-1.0f, 1.0f, 0.0f}, {1.0f, 1.0f, 0.0f},
           {1.0f, -1.0f, 0.0f});
  finish(mesh);
  return mesh;
}

std::vector<Mesh> stand_in_meshes() {
  std::vector<Mesh> meshes(kMeshSlots, box_mesh({-7.5f, 0.0f, -7.5f}, {7.5f, 15.0f, 7.5f}));
  meshes[mesh_slot::kQuad] = roof_quad_mesh();
  return meshes;
}

std::vector<Image> stand_in_textures() {
  Image image;
  image.width = 8;
  image.height = 8;
  image.pixels.assign(64, Colour{0.5f, 0.5f, 0.5f, 1.0f});
  return std::vector<Image>(kTextureSlots, image);
}

void build_stand_in_scene(CityScene& scene) {
  CityScene fresh;
  fresh.assets.textures = stand_in_textures();
  fresh.assets.meshes = stand_in_meshes();
  build_scene(fresh, Settings{}, 0.0f);
  fresh.run_end = nullptr;
  scene = std::move(fresh);
}

void init_real_scene(CityScene& scene, EndedRun& ended) {
  scene.run_end = [&ended](const Framebuffer& picture) {
    if (ended.ended) return;
    ended.ended = true;
    ended.picture = picture.colour;
  };
  scene.init(Settings{}, 0.0f);
}

}  // namespace vel::test
