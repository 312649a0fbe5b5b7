// vertex_table.h: the fast mesh path's table of mesh positions prepared once
// per draw_mesh call (clip position, clip code, the rasteriser's screen
// values, the back-face test's x / w and y / w, fog visibility), worked out
// several positions at a time.
//
// Every value is computed with the expression the reference evaluates per
// corner, in the same order, so sharing it between the corners of a
// position changes no result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/matrix.h"
#include "gfx/raster_fast.h"
#include "gfx/vec.h"

namespace vel {

// The game's largest mesh has 144 positions; a bigger one is prepared a
// triangle at a time in the first three entries.
inline constexpr size_t kVertexTableSize = 512;
// Room for the eight-wide stores of the last, partial group of positions.
inline constexpr size_t kVertexTableRoom = kVertexTableSize + 8;

// Which sides of the clip volume a clip position lies beyond, by the very
// tests of the reference's triangle rejection: a triangle is rejected exactly
// when its three corners share one of these bits.
inline constexpr uint8_t kBehind = 1;         // w <= 0
inline constexpr uint8_t kBeyondRight = 2;    // x > w
inline constexpr uint8_t kBeyondLeft = 4;     // x < -w
inline constexpr uint8_t kBeyondTop = 8;      // y > w
inline constexpr uint8_t kBeyondBottom = 16;  // y < -w
inline constexpr uint8_t kBeyondFar = 32;     // z > w
inline constexpr uint8_t kBeyondNear = 64;    // z < -w
inline constexpr uint8_t kOutside = 127;
// w > 0: not the negation of kBehind, since a not-a-number w is neither.
inline constexpr uint8_t kInFront = 128;

// One array per value. Deliberately without member initialisers: the table
// lives on the stack of every draw_mesh call, only entries that were written
// are read, and clearing 27 KiB per call would cost more than drawing a
// small mesh.
struct VertexTable {
  float clip_x[kVertexTableRoom];
  float clip_y[kVertexTableRoom];
  float clip_z[kVertexTableRoom];
  float clip_w[kVertexTableRoom];
  uint8_t code[kVertexTableRoom];
  // Valid where the code has kInFront.
  float r[kVertexTableRoom];  // the ScreenVertex values
  float ndc_x[kVertexTableRoom];
  float ndc_y[kVertexTableRoom];
  float ndc_z[kVertexTableRoom];
  int32_t column[kVertexTableRoom];
  int32_t row[kVertexTableRoom];
  float back_x[kVertexTableRoom];  // x / w and y / w
  float back_y[kVertexTableRoom];
  float fog[kVertexTableRoom];
};

// Clip positions and codes of positions[0..count), count at most
// kVertexTableSize. Returns the side bits that every position has (non-zero:
// the whole mesh lies beyond that side and draws nothing).
// lane_limit as in FillRules: 8 or more takes the eight-lane code where the
// processor has AVX2.
uint8_t place_vertices(const Mat4& mvp, const Vec3* positions, size_t count, VertexTable& table,
                       int32_t lane_limit);

// What fog visibility needs: the model matrix, the eye and the fog range
// (start, and 1 / (end - start) as draw_mesh computes it).
struct FogView {
  const Mat4* model = nullptr;
  Vec3 eye;
  float start = 0.0f;
  float inv_span = 0.0f;
};

// Screen values and back-face coordinates of the placed entries, and their
// fog visibility when `fog` is given (1 otherwise); the lane width follows
// rules.lane_limit.
void finish_vertices(const FillRules& rules, const FogView* fog, const Vec3* positions,
                     size_t count, VertexTable& table);

inline Vec4 clip_at(const VertexTable& table, size_t i) {
  return {table.clip_x[i], table.clip_y[i], table.clip_z[i], table.clip_w[i]};
}

inline ScreenVertex screen_at(const VertexTable& table, size_t i) {
  ScreenVertex v;
  v.r = table.r[i];
  v.x = table.ndc_x[i];
  v.y = table.ndc_y[i];
  v.z = table.ndc_z[i];
  v.column = table.column[i];
  v.row = table.row[i];
  return v;
}

}  // namespace vel
