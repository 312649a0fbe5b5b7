// mesh_draw.cpp: draw_mesh, the path from a placed Mesh to rasterised
// triangles: whole-triangle rejection, back-face culling, per-vertex light and
// fog, and the near-plane cut of triangles that reach behind the eye; in a
// reference form that works every corner of every triangle out on its own
// and a fast form that shares per-position work and gives the same bytes.
#include "gfx/mesh_draw.h"

#include <cmath>
#include <cstddef>

#include "base/fatal.h"
#include "gfx/matrix.h"
#include "gfx/raster_fast.h"
#include "gfx/triangle_batch.h"
#include "gfx/vertex_table.h"

namespace vel {

namespace {

// Crossings whose signed distances differ by less than this are dropped.
constexpr float kMinCutDenominator = 1.1920929e-7f;

// max(0, v) where not-a-number counts as 0.
inline float max_zero(float v) {
  return v > 0.0f ? v : 0.0f;
}

inline Vec2 map_uv(Vec2 t, Vec2 scale, Vec2 offset) {
  return {t.x * scale.x + offset.x, t.y * scale.y + offset.y};
}

// False when a corner's position or texture coordinate index points past its
// array (a malformed mesh): the triangle is then skipped.
inline bool corner_in_range(const Mesh& mesh, const Corner& corner) {
  return corner.position < mesh.positions.size() && corner.texcoord < mesh.texcoords.size();
}

inline bool triangle_in_range(const Mesh& mesh, const Corner* corners) {
  return corner_in_range(mesh, corners[0]) && corner_in_range(mesh, corners[1]) &&
         corner_in_range(mesh, corners[2]);
}

// Light intensity at one vertex (world position q, unit world normal m).
float vertex_light(const Lighting& lighting, Vec3 direction_unit, Vec3 q, Vec3 m) {
  if (lighting.light_type == kPointLight) {
    const Vec3 to_light = lighting.light_position - q;
    const float d = length(to_light);
    const float facing = max_zero(dot(m, to_light) / d);
    const float attenuation = max_zero((lighting.light_range - d) / lighting.light_range);
    return attenuation * facing;
  }
  if (lighting.light_type == kDirectionalLight) return max_zero(-dot(m, direction_unit));
  fatal("Unknown light type");
}

// Fog visibility at eye distance e: 1 before fog_start, 0 past fog_end.
inline float vertex_visibility(float e, float fog_start, float inv_fog_span) {
  float f = 1.0f - (e - fog_start) * inv_fog_span;
  f = f < 1.0f ? f : 1.0f;  // not-a-number gives 1
  return f > 0.0f ? f : 0.0f;
}

// Light intensity at one corner of a placed mesh, q being the corner's world
// position. A normal index past the array (a mesh without normals) reads as
// the zero normal, which receives no direct light.
float corner_light(const Mesh& mesh, const Mat4& model, const Corner& corner,
                   const Lighting& lighting, Vec3 direction_unit, Vec3 q) {
  const uint64_t ni = corner.normal;
  const Vec3 n = ni < mesh.normals.size() ? mesh.normals[ni] : Vec3{};
  const Vec3 world_normal = mat4_apply_vector(model, n);
  const Vec3 m = world_normal / length(world_normal);
  return vertex_light(lighting, direction_unit, q, m);
}

// What every triangle of one draw_mesh call shares.
struct DrawTerms {
  Mat4 mvp;
  bool lit = false;
  bool fogged = false;
  bool cull = false;
  Vec3 direction_unit;
  float inv_fog_span = 0.0f;
};

DrawTerms draw_terms(const Mat4& model, const Lighting& lighting, const Camera& camera,
                     const RenderFlags& flags) {
  DrawTerms terms;
  terms.mvp = mat4_mul(camera.view_projection, model);
  terms.lit = lighting.lighting_enabled;
  terms.fogged = lighting.fog_enabled;
  terms.direction_unit =
      terms.lit ? lighting.light_direction / length(lighting.light_direction) : Vec3{};
  terms.inv_fog_span = 1.0f / (lighting.fog_end - lighting.fog_start);
  terms.cull = flags.cull_back_faces != 0;
  return terms;
}

// True when all three values lie beyond the same side of the clip volume on
// one axis: all a_k > w_k or all a_k < -w_k.
inline bool beyond_high(float a1, float a2, float a3, const Vec4 c[3]) {
  return a1 > c[0].w && a2 > c[1].w && a3 > c[2].w;
}
inline bool beyond_low(float a1, float a2, float a3, const Vec4 c[3]) {
  return a1 < -c[0].w && a2 < -c[1].w && a3 < -c[2].w;
}

bool trivially_rejected(const Vec4 c[3]) {
  if (c[0].w <= 0.0f && c[1].w <= 0.0f && c[2].w <= 0.0f) return true;
  if (beyond_high(c[0].x, c[1].x, c[2].x, c)) return true;
  if (beyond_low(c[0].x, c[1].x, c[2].x, c)) return true;
  if (beyond_high(c[0].y, c[1].y, c[2].y, c)) return true;
  if (beyond_low(c[0].y, c[1].y, c[2].y, c)) return true;
  if (beyond_high(c[0].z, c[1].z, c[2].z, c)) return true;
  return beyond_low(c[0].z, c[1].z, c[2].z, c);
}

// Clockwise on screen (x right, y up) in normalised coordinates. Zero-area
// triangles are not back faces.
bool is_back_face(const Vec4 c[3]) {
  const float x1 = c[0].x / c[0].w, y1 = c[0].y / c[0].w;
  const float x2 = c[1].x / c[1].w, y2 = c[1].y / c[1].w;
  const float x3 = c[2].x / c[2].w, y3 = c[2].y / c[2].w;
  return (x3 - x2) * (y2 - y1) > (x2 - x1) * (y3 - y2);
}

// Signed distance to the near plane z = -0.1 w of clip space; a corner is
// kept when s <= 0.
inline float near_distance(const Vec4& c) {
  return -c.z - 0.1f * c.w;
}

}  // namespace

// Walks the edges 1->2, 2->3, 3->1, keeping inside corners and the crossings.
// A crossing's uv interpolates the edge's two uv's by the same fraction as its
// position, which is exactly where the triangle's own clip-space weights put
// it on that edge.
NearCut cut_near_plane(const Vec4 clip[3], const Vec2 uv[3]) {
  const float s[3] = {near_distance(clip[0]), near_distance(clip[1]), near_distance(clip[2])};
  NearCut cut;
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3;
    const bool a_inside = s[i] <= 0.0f;
    const bool b_inside = s[j] <= 0.0f;
    // One plane cuts a triangle into at most four corners; the bound only
    // guards against that ever being wrong.
    if (a_inside && cut.count < kMaxCutCorners) {
      cut.position[cut.count] = clip[i];
      cut.uv[cut.count] = uv[i];
      ++cut.count;
    }
    if (a_inside == b_inside) continue;
    const float den = s[i] - s[j];
    if (!(std::fabs(den) >= kMinCutDenominator) || cut.count >= kMaxCutCorners) continue;
    const float t = s[i] / den;
    const Vec4& a = clip[i];
    const Vec4& b = clip[j];
    cut.position[cut.count] = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z),
                               a.w + t * (b.w - a.w)};
    cut.uv[cut.count] = {uv[i].x + t * (uv[j].x - uv[i].x), uv[i].y + t * (uv[j].y - uv[i].y)};
    ++cut.count;
  }
  return cut;
}

namespace {

// The plain form, the yardstick of the fast one: every corner of every
// triangle is transformed and lit on its own, and the reference rasteriser
// fills.
void draw_mesh_reference(const Mesh& mesh, const MeshDraw& draw, Framebuffer& target) {
  const Mat4& model = draw.model;
  const Lighting& lighting = draw.lighting;
  const Camera& camera = draw.camera;
  const Vec2 uv_offset = draw.uv_offset;
  const Vec2 uv_scale = draw.uv_scale;
  const DrawTerms terms = draw_terms(model, lighting, camera, draw.flags);
  // The call's material, lighting and flags; each triangle or piece sets
  // its own corners, light and fog.
  TriangleFill fill{.material = draw.material, .lighting = lighting, .flags = draw.flags};

  // Triangles are consecutive corner triples; a trailing incomplete triple
  // (a malformed mesh) is skipped rather than read past the end.
  const size_t triangle_count = mesh.corners.size() / 3;
  for (size_t t = 0; t < triangle_count; ++t) {
    const Corner* corners = &mesh.corners[3 * t];
    if (!triangle_in_range(mesh, corners)) continue;

    Vec3 p[3];
    Vec2 uv[3];
    Vec4 c[3];
    for (int k = 0; k < 3; ++k) {
      p[k] = mesh.positions[corners[k].position];
      uv[k] = map_uv(mesh.texcoords[corners[k].texcoord], uv_scale, uv_offset);
      c[k] = mat4_apply(terms.mvp, p[k]);
    }

    if (trivially_rejected(c)) continue;
    const bool all_in_front = c[0].w > 0.0f && c[1].w > 0.0f && c[2].w > 0.0f;
    if (terms.cull && all_in_front && is_back_face(c)) continue;

    float light[3] = {1.0f, 1.0f, 1.0f};
    float fog[3] = {1.0f, 1.0f, 1.0f};
    if (terms.lit || terms.fogged) {
      for (int k = 0; k < 3; ++k) {
        const Vec3 q = mat4_apply_point(model, p[k]);
        if (terms.lit)
          light[k] = corner_light(mesh, model, corners[k], lighting, terms.direction_unit, q);
        if (terms.fogged) {
          fog[k] =
              vertex_visibility(length(q - camera.eye), lighting.fog_start, terms.inv_fog_span);
        }
      }
    }

    for (int k = 0; k < 3; ++k) {
      fill.light[k] = light[k];
      fill.fog[k] = fog[k];
    }
    if (all_in_front) {
      fill.p1 = c[0];
      fill.p2 = c[1];
      fill.p3 = c[2];
      fill.uv1 = uv[0];
      fill.uv2 = uv[1];
      fill.uv3 = uv[2];
      rasterise_triangle_reference(fill, target);
      continue;
    }

    // The pieces keep the uncut triangle's light and fog values and are not
    // culled again.
    const NearCut cut = cut_near_plane(c, uv);
    for (int j = 2; j < cut.count; ++j) {
      fill.p1 = cut.position[0];
      fill.p2 = cut.position[j - 1];
      fill.p3 = cut.position[j];
      fill.uv1 = cut.uv[0];
      fill.uv2 = cut.uv[j - 1];
      fill.uv3 = cut.uv[j];
      rasterise_triangle_reference(fill, target);
    }
  }
}

// The same triangles, values and order as draw_mesh_reference. A clip
// position, its screen values and its fog visibility depend on the mesh
// position alone, so each is worked out once per call (vertex_table.h) and
// shared by the corners that use it; light depends on the corner's normal as
// well and stays per corner. A mesh whose positions all lie beyond one side
// of the clip volume has every triangle rejected, so it is dropped at once.
void draw_mesh_fast(const Mesh& mesh, const MeshDraw& draw, Framebuffer& target) {
  const Mat4& model = draw.model;
  const Lighting& lighting = draw.lighting;
  const Camera& camera = draw.camera;
  // Read at every corner: copies, which the colour stores cannot alias.
  const Vec2 uv_offset = draw.uv_offset;
  const Vec2 uv_scale = draw.uv_scale;
  const FillRules rules = fill_rules(lighting, draw.material, draw.flags, target);
  if (!rules.lanes_fit) {
    draw_mesh_reference(mesh, draw, target);
    return;
  }
  const DrawTerms terms = draw_terms(model, lighting, camera, draw.flags);

  // Fog visibility depends on the position alone, so the table holds it.
  FogView fog_view;
  fog_view.model = &model;
  fog_view.eye = camera.eye;
  fog_view.start = lighting.fog_start;
  fog_view.inv_span = terms.inv_fog_span;
  const FogView* const fog = terms.fogged ? &fog_view : nullptr;

  VertexTable table;
  const size_t position_count = mesh.positions.size();
  const bool whole_mesh = position_count <= kVertexTableSize;
  if (whole_mesh) {
    if (place_vertices(terms.mvp, mesh.positions.data(), position_count, table, rules.lane_limit) !=
        0)
      return;
    finish_vertices(rules, fog, mesh.positions.data(), position_count, table);
  }

  // A triangle that passed rejection and culling: unless it covers no
  // pixel's sample point (most triangles of distant meshes), its shading and
  // its fill, cut at the near plane first when a corner lies behind the eye.
  const auto draw_triangle = [&](const Corner* corners, const size_t e[3], bool all_in_front) {
    TriangleSetup prepared;
    if (all_in_front && !prepare_triangle(screen_at(table, e[0]), screen_at(table, e[1]),
                                          screen_at(table, e[2]), rules, prepared)) {
      return;
    }

    TriangleShading shading;
    for (int k = 0; k < 3; ++k) {
      shading.uv[k] = map_uv(mesh.texcoords[corners[k].texcoord], uv_scale, uv_offset);
      shading.fog[k] = table.fog[e[k]];
      if (terms.lit) {
        const Vec3 q = mat4_apply_point(model, mesh.positions[corners[k].position]);
        shading.light[k] = corner_light(mesh, model, corners[k], lighting, terms.direction_unit, q);
      }
    }

    if (all_in_front) {
      fill_prepared(prepared, rules, shading, target);
      return;
    }

    const Vec4 clip[3] = {clip_at(table, e[0]), clip_at(table, e[1]), clip_at(table, e[2])};
    const NearCut cut = cut_near_plane(clip, shading.uv);
    if (cut.count < 3) return;
    ScreenVertex screen[kMaxCutCorners];
    for (int j = 0; j < cut.count; ++j) screen[j] = screen_vertex(cut.position[j], rules);
    for (int j = 2; j < cut.count; ++j) {
      TriangleShading piece = shading;
      piece.uv[0] = cut.uv[0];
      piece.uv[1] = cut.uv[j - 1];
      piece.uv[2] = cut.uv[j];
      fill_triangle(screen[0], screen[j - 1], screen[j], rules, piece, target);
    }
  };

  // Rejection by the clip codes and back-face culling; false when the
  // triangle with table entries e draws nothing.
  const auto survives = [&](const size_t e[3], bool& all_in_front) {
    const uint8_t shared = table.code[e[0]] & table.code[e[1]] & table.code[e[2]];
    if ((shared & kOutside) != 0) return false;
    all_in_front = (shared & kInFront) != 0;
    if (!terms.cull || !all_in_front) return true;
    // is_back_face on the shared x / w, y / w.
    const float x1 = table.back_x[e[0]], y1 = table.back_y[e[0]];
    const float x2 = table.back_x[e[1]], y2 = table.back_y[e[1]];
    const float x3 = table.back_x[e[2]], y3 = table.back_y[e[2]];
    return !((x3 - x2) * (y2 - y1) > (x2 - x1) * (y3 - y2));
  };

  const size_t triangle_count = mesh.corners.size() / 3;
  if (!whole_mesh) {
    // A mesh too big for the table prepares each triangle's three corners in
    // the first three entries.
    for (size_t t = 0; t < triangle_count; ++t) {
      const Corner* corners = &mesh.corners[3 * t];
      if (!triangle_in_range(mesh, corners)) continue;
      const Vec3 p[3] = {mesh.positions[corners[0].position], mesh.positions[corners[1].position],
                         mesh.positions[corners[2].position]};
      place_vertices(terms.mvp, p, 3, table, rules.lane_limit);
      finish_vertices(rules, fog, p, 3, table);
      const size_t e[3] = {0, 1, 2};
      bool all_in_front = false;
      if (survives(e, all_in_front)) draw_triangle(corners, e, all_in_front);
    }
    return;
  }

  // Triangles wholly in front of the eye are gathered in batches, and a
  // batch is asked at once which of them draw anything (triangle_batch.h);
  // the others are drawn in turn, the batch before them, so the order of
  // drawing stays the mesh's.
  TriangleBatch batch;
  const auto draw_batch = [&]() {
    const uint32_t draws = batch_draws(batch, table, rules);
    for (int i = 0; i < batch.count; ++i) {
      if ((draws >> i & 1u) == 0) continue;
      const size_t e[3] = {batch.entry[0][i], batch.entry[1][i], batch.entry[2][i]};
      draw_triangle(&mesh.corners[3 * batch.triangle[i]], e, true);
    }
    batch.count = 0;
  };
  for (size_t t = 0; t < triangle_count; ++t) {
    const Corner* corners = &mesh.corners[3 * t];
    if (!triangle_in_range(mesh, corners)) continue;
    size_t e[3];
    for (int k = 0; k < 3; ++k) e[k] = static_cast<size_t>(corners[k].position);
    bool all_in_front = false;
    if (!survives(e, all_in_front)) continue;
    if (!all_in_front) {
      draw_batch();
      draw_triangle(corners, e, false);
      continue;
    }
    for (int k = 0; k < 3; ++k) batch.entry[k][batch.count] = static_cast<uint32_t>(e[k]);
    batch.triangle[batch.count] = t;
    if (++batch.count == kTriangleBatch) draw_batch();
  }
  draw_batch();
}

}  // namespace

void draw_mesh(const Mesh& mesh, const MeshDraw& draw, Framebuffer& target) {
  if (draw.path == RasterPath::reference) {
    draw_mesh_reference(mesh, draw, target);
  } else {
    draw_mesh_fast(mesh, draw, target);
  }
}

}  // namespace vel
