// triangle_batch.h: which triangles of a batch draw anything at all, decided
// for eight at a time.
//
// Distant meshes give most of a frame's triangles, and most of those have a
// box of a pixel or two whose sample points they miss. Deciding that one
// triangle at a time is a chain of dependent steps (the box, the area's
// reciprocal, the weights at each pixel) ending in a branch that cannot be
// guessed; eight lanes take the chain once for eight triangles.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/raster_fast.h"
#include "gfx/vertex_table.h"

namespace vel {

inline constexpr int kTriangleBatch = 8;

// Up to kTriangleBatch triangles of one mesh, every corner in front of the
// eye: their vertex-table entries and their numbers in the mesh.
struct TriangleBatch {
  int count = 0;
  uint32_t entry[3][kTriangleBatch] = {};
  size_t triangle[kTriangleBatch] = {};
};

// Bit i is set when triangle i of the batch draws something: exactly when
// prepare_triangle is true for the screen values of its three entries, save
// that the lanes do not look at the drawing's band (a triangle wholly in
// other bands may be set here; prepare_triangle, which every set triangle
// passes next, turns it down).
uint32_t batch_draws(const TriangleBatch& batch, const VertexTable& table, const FillRules& rules);

}  // namespace vel
