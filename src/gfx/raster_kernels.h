// raster_kernels.h: the fast fill of one triangle, N pixels of a row at a
// time: a kernel for any rules and one for the city's own case, built from
// the per-call set-up and the per-group steps they share. Only
// raster_fast.cpp includes this header; it instantiates the kernels for 4
// lanes and, inside functions compiled for VEL_AVX2 and VEL_AVX512, for 8
// and 16.
//
// Each step below is the lane form of the same step of the reference fill
// (raster_reference.cpp), with the same float operations in the same order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/saturate.h"
#include "gfx/framebuffer.h"
#include "gfx/raster.h"
#include "gfx/raster_fast.h"
#include "gfx/raster_lanes.h"
#include "gfx/raster_rows.h"

namespace vel::lanes {

// The city's own case gets a kernel of its own: a texture whose texels are
// addressed in the lanes (true-colour, or colour-mapped with a palette to
// read), fog, no light, the depth test, no depth override.
inline bool is_fogged_texture(const FillRules& p) {
  const bool gathered = p.textured && p.texels.usable && p.texels.lane_addressable &&
                        (!p.texels.colour_mapped || p.texels.palette_size > 0);
  return gathered && p.fogged && !p.lit && p.depth_test && !p.depth_override;
}

// ---- per call ---------------------------------------------------------------

// Rows outside the current field get nothing from a triangle: the first row
// of the box that lies in the field, and the step between the rows to visit
// (every other row with interlace on).
struct FieldRows {
  int32_t first = 0;
  int32_t step = 1;
};

inline FieldRows field_rows(const FillRules& p, const TriangleSetup& t, int32_t height) {
  FieldRows rows{t.y_begin, 1};
  if (p.flags.interlace) {
    if ((height - 1 - rows.first) % 2 == p.flags.odd_field) ++rows.first;
    rows.step = 2;
  }
  return rows;
}

// What both kernels prepare once per triangle before the first group: the
// lanes' offsets, the constants they compare and clamp against, where the
// target's bytes are, which rows to visit and the bounds within them.
template <int N>
struct KernelSetUp {
  typename Lanes<N>::I lane_index;  // 0, 1, ..., N - 1
  typename Lanes<N>::F byte_top;    // 255
  typename Lanes<N>::F cutoff;      // kAlphaCutoff
  typename Lanes<N>::F u_extent;    // the texture's width - 1 and height - 1
  typename Lanes<N>::F v_extent;
  int32_t texture_width;
  uint8_t* colour_bytes;
  float* depth_values;
  FieldRows rows;
  RowBoundModel bounds;
};

template <int N>
[[gnu::always_inline]] inline void kernel_set_up(const TriangleSetup& t, const FillRules& p,
                                                 Framebuffer& target, KernelSetUp<N>& s) {
  for (int k = 0; k < N; ++k) s.lane_index[k] = k;
  broadcast<N>(255.0f, s.byte_top);
  broadcast<N>(kAlphaCutoff, s.cutoff);
  broadcast<N>(p.texels.u_extent, s.u_extent);
  broadcast<N>(p.texels.v_extent, s.v_extent);
  s.texture_width = static_cast<int32_t>(p.texels.width);
  s.colour_bytes = target.colour.data();
  s.depth_values = target.depth.data();
  s.rows = field_rows(p, t, p.height);
  // Bounds pay off only where a row holds more than two groups of lanes.
  const bool bounded_rows = t.x_end - t.x_begin + 1 > 2 * N;
  s.bounds = bounded_rows ? row_bound_model(t) : RowBoundModel{};
}

// ---- per row ----------------------------------------------------------------

// What every pixel of one row shares: the reference's l1_dy * dy and
// l2_dy * dy (the same products, taken once per row), the columns worth
// visiting, and where the row starts in the target.
struct RowTerms {
  float c1 = 0.0f;
  float c2 = 0.0f;
  int32_t x_lo = 0;
  int32_t x_hi = -1;
  size_t row_start = 0;
};

inline RowTerms row_terms(const TriangleSetup& t, const RowBoundModel& bounds, int32_t y,
                          int32_t width, int32_t height) {
  const int32_t stored_row = height - 1 - y;
  const float py = static_cast<float>(y) * t.step_y - 1.0f;
  const float dy = py - t.y3;
  RowTerms row;
  row.c1 = t.l1_dy * dy;
  row.c2 = t.l2_dy * dy;
  row.x_lo = t.x_begin;
  row.x_hi = t.x_end;
  if (bounds.usable) {
    row_span(bounds, t, row.c1, row.c2, row.x_lo, row.x_hi);
  }
  row.row_start = static_cast<size_t>(stored_row) * static_cast<size_t>(width);
  return row;
}

// ---- per group of N pixels --------------------------------------------------

// The coverage test of the reference for the lanes' pixels xs on a row (c1,
// c2 being the row's products): lanes whose three weights are all >= 0 (or
// not-a-number), with the weights themselves.
template <int N>
[[gnu::always_inline]] inline void coverage_lanes(const TriangleSetup& t, float c1, float c2,
                                                  const typename Lanes<N>::I& xs,
                                                  typename Lanes<N>::I& covered,
                                                  typename Lanes<N>::F& l1,
                                                  typename Lanes<N>::F& l2,
                                                  typename Lanes<N>::F& l3) {
  using F = typename Lanes<N>::F;
  const F px = __builtin_convertvector(xs, F) * t.step_x - 1.0f;
  const F dx = px - t.x3;
  l1 = t.l1_dx * dx + c1;
  l2 = (t.l2_dx * dx + c2) * t.inv;
  l3 = 1.0f - l1 - l2;
  const F zero{};
  typename Lanes<N>::I c1_ok, c2_ok, c3_ok;
  not_less_lanes<N>(l1, zero, c1_ok);
  not_less_lanes<N>(l2, zero, c2_ok);
  not_less_lanes<N>(l3, zero, c3_ok);
  covered = c1_ok & c2_ok & c3_ok;
}

// The lanes of the group from x0 on a row that lie between the row's bounds
// and pass the coverage test, with their weights; false when there are none.
// The last group of a row is moved left to stay inside the row (`base`, its
// first pixel); the lanes it shares with the previous group are switched
// off.
template <int N>
[[gnu::always_inline]] inline bool group_lanes(const TriangleSetup& t, const RowTerms& row,
                                               int32_t x0, int32_t width,
                                               const typename Lanes<N>::I& lane_index,
                                               int32_t& base, typename Lanes<N>::I& pass,
                                               typename Lanes<N>::F& l1, typename Lanes<N>::F& l2,
                                               typename Lanes<N>::F& l3) {
  base = std::min(x0, width - N);
  const typename Lanes<N>::I xs = lane_index + base;
  within_lanes<N>(xs, x0, row.x_hi, pass);
  typename Lanes<N>::I covered;
  coverage_lanes<N>(t, row.c1, row.c2, xs, covered, l1, l2, l3);
  pass &= covered;
  return lane_bits<N>(pass) != 0;
}

// Asks the caches for the depth and colour of the next row to visit, at
// this row's columns: a big picture's rows lie far apart, so the loads of
// a row would otherwise each wait for memory. Only the timing changes. A
// row of another band is left alone: asking for it to be written would
// take its lines from the thread that is drawing them.
template <int N>
[[gnu::always_inline]] inline void prefetch_next_row(const FillRules& p, const KernelSetUp<N>& s,
                                                     int32_t next_y, const RowTerms& row) {
  constexpr int32_t kLine = 64;
  constexpr int32_t kMostLines = 24;  // per array: enough for a wide span, bounded
  if (next_y >= p.height || row.x_hi < row.x_lo) return;
  if (!row_in_band(p.flags, p.height - 1 - next_y)) return;
  const size_t start = static_cast<size_t>(p.height - 1 - next_y) * static_cast<size_t>(p.width) +
                       static_cast<size_t>(row.x_lo);
  const int32_t count = row.x_hi - row.x_lo + 1;
  const char* depth = reinterpret_cast<const char*>(s.depth_values + start);
  const char* colour = reinterpret_cast<const char*>(s.colour_bytes + 3 * start);
  const int32_t depth_lines = std::min((4 * count + kLine - 1) / kLine + 1, kMostLines);
  const int32_t colour_lines = std::min((3 * count + kLine - 1) / kLine + 1, kMostLines);
  for (int32_t i = 0; i < depth_lines; ++i) __builtin_prefetch(depth + i * kLine, 1, 3);
  for (int32_t i = 0; i < colour_lines; ++i) __builtin_prefetch(colour + i * kLine, 1, 3);
}

// The covered groups of the triangle, row by row in the field's rows of the
// band and
// left to right, each handed to visit(base, pass, l1, l2, l3, row_start)
// with its first pixel, its live lanes and their weights.
template <int N, typename Visit>
[[gnu::always_inline]] inline void for_each_covered_group(const TriangleSetup& t,
                                                          const FillRules& p,
                                                          const KernelSetUp<N>& s, Visit&& visit) {
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  for (int32_t y = s.rows.first; y <= t.y_end; y += s.rows.step) {
    const int32_t stored_row = p.height - 1 - y;
    if (!row_in_band(p.flags, stored_row)) {
      // On to the band's next stripe, in the field's rows.
      const int32_t next = band_row_at_or_below(p.flags, stored_row);
      if (next < 0) break;
      const int32_t next_y = p.height - 1 - next;
      const int32_t past_field_row = (next_y - s.rows.first) % s.rows.step;
      y = next_y + (s.rows.step - past_field_row) % s.rows.step - s.rows.step;
      continue;
    }
    const RowTerms row = row_terms(t, s.bounds, y, p.width, p.height);
    prefetch_next_row(p, s, y + 4 * s.rows.step, row);
    for (int32_t x0 = row.x_lo; x0 <= row.x_hi; x0 += N) {
      int32_t base;
      I pass;
      F l1, l2, l3;
      if (!group_lanes<N>(t, row, x0, p.width, s.lane_index, base, pass, l1, l2, l3)) continue;
      visit(base, pass, l1, l2, l3, row.row_start);
    }
  }
}

// Screen-linear depth in 0..1 of the lanes.
template <int N>
[[gnu::always_inline]] inline void depth_lanes(const TriangleSetup& t,
                                               const typename Lanes<N>::F& l1,
                                               const typename Lanes<N>::F& l2,
                                               const typename Lanes<N>::F& l3,
                                               typename Lanes<N>::F& d) {
  d = (l1 * t.z1 + l2 * t.z2 + l3 * t.z3) * 0.5f + 0.5f;
}

// The depth test (when on) of the group's lanes against the stored depth at
// depth_group, and the depth of the lanes that pass written back; false when
// none pass. Depth is written before the alpha cut-off: a transparent texel
// still occludes.
template <int N>
[[gnu::always_inline]] inline bool test_and_write_depth(float* depth_group,
                                                        const typename Lanes<N>::F& d,
                                                        bool depth_test,
                                                        typename Lanes<N>::I& pass) {
  typename Lanes<N>::F old_depth;
  std::memcpy(&old_depth, depth_group, sizeof old_depth);
  if (depth_test) {
    typename Lanes<N>::I nearer;
    not_at_least_lanes<N>(d, old_depth, nearer);
    pass &= nearer;
  }
  if (lane_bits<N>(pass) == 0) return false;
  const typename Lanes<N>::F new_depth = pass ? d : old_depth;
  std::memcpy(depth_group, &new_depth, sizeof new_depth);
  return true;
}

// Perspective-correct texture coordinates of the lanes, lifted into 0..1
// and scaled to the texture: column_t = u (width - 1), row_t = (1 - v)
// (height - 1), before they are cut to whole texels.
template <int N>
[[gnu::always_inline]] inline void texel_position(
    const TriangleSetup& t, const TriangleShading& shading, const TexelSource& texels,
    const typename Lanes<N>::F& l1, const typename Lanes<N>::F& l2, const typename Lanes<N>::F& l3,
    typename Lanes<N>::F& column_t, typename Lanes<N>::F& row_t) {
  using F = typename Lanes<N>::F;
  const Vec2 uv1 = shading.uv[0], uv2 = shading.uv[1], uv3 = shading.uv[2];
  const F q = 1.0f / (l1 * t.r1 + l2 * t.r2 + l3 * t.r3);
  const F m1 = l1 * t.r1 * q;
  const F m2 = l2 * t.r2 * q;
  const F m3 = l3 * t.r3 * q;
  F u, v;
  lifted_fraction_lanes<N>(m1 * uv1.x + m2 * uv2.x + m3 * uv3.x, u);
  lifted_fraction_lanes<N>(m1 * uv1.y + m2 * uv2.y + m3 * uv3.y, v);
  column_t = u * texels.u_extent;
  row_t = (1.0f - v) * texels.v_extent;
}

// The index of the lanes' texels in a lane-addressable texture.
template <int N>
[[gnu::always_inline]] inline void texel_index(const typename Lanes<N>::F& column_t,
                                               const typename Lanes<N>::F& row_t,
                                               const KernelSetUp<N>& s,
                                               typename Lanes<N>::I& index) {
  typename Lanes<N>::I columns, rows;
  texel_lanes<N>(column_t, s.u_extent, columns);
  texel_lanes<N>(row_t, s.v_extent, rows);
  index = rows * s.texture_width + columns;
}

// The alpha cut-off: lanes whose alpha is below kAlphaCutoff leave `pass`
// (their depth is already written). Returns the lanes still live, as bits.
template <int N>
[[gnu::always_inline]] inline uint32_t cut_off_lanes(const typename Lanes<N>::F& ca,
                                                     const KernelSetUp<N>& s,
                                                     typename Lanes<N>::I& pass) {
  typename Lanes<N>::I seen;
  not_less_lanes<N>(ca, s.cutoff, seen);
  pass &= seen;
  return lane_bits<N>(pass);
}

// Fog at visibility f (screen-linear weights): c f + fog (1 - f).
template <int N>
[[gnu::always_inline]] inline void fog_lanes(const typename Lanes<N>::F& f, const Colour& fog,
                                             typename Lanes<N>::F& cr, typename Lanes<N>::F& cg,
                                             typename Lanes<N>::F& cb) {
  const typename Lanes<N>::F clear = 1.0f - f;
  cr = cr * f + fog.r * clear;
  cg = cg * f + fog.g * clear;
  cb = cb * f + fog.b * clear;
}

// The colour bytes of a group: the source colour cr, cg, cb is quantised to
// bytes before it is blended with weight ca into the stored bytes of the
// live lanes (`pass`, `live` the same lanes as a mask and as bits).
template <int N>
[[gnu::always_inline]] inline void store_group(
    uint8_t* colour_group, const typename Lanes<N>::I& pass, uint32_t live,
    const typename Lanes<N>::F& cr, const typename Lanes<N>::F& cg, const typename Lanes<N>::F& cb,
    const typename Lanes<N>::F& ca, const typename Lanes<N>::F& byte_top) {
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  using Pixels = typename Lanes<N>::Pixels;
  constexpr uint32_t kAllLanes = (1u << N) - 1u;
  I sb, sg, sr;
  byte_lanes<N>(cb * 255.0f, byte_top, sb);
  byte_lanes<N>(cg * 255.0f, byte_top, sg);
  byte_lanes<N>(cr * 255.0f, byte_top, sr);
  // Where a = 1, o * (1 - a) + s * a is exactly s (o * 0 is +0 for any
  // byte o, s * 1 is s, and s is already a whole number in 0..255).
  const bool opaque = (live & ~lane_bits<N>(ca == 1.0f)) == 0;
  Pixels new_bytes;
  if (opaque && live == kAllLanes) {
    low_three_bytes<N>(sb | (sg << 8) | (sr << 16), new_bytes);
    store_group_bytes<N>(colour_group, new_bytes);
    return;
  }
  Pixels old_bytes{};
  load_group_bytes<N>(colour_group, old_bytes);
  if (!opaque) {
    F ob, og, orr;
    spread_channel<N, 0>(old_bytes, ob);
    spread_channel<N, 1>(old_bytes, og);
    spread_channel<N, 2>(old_bytes, orr);
    const F keep = 1.0f - ca;
    byte_lanes<N>(ob * keep + __builtin_convertvector(sb, F) * ca, byte_top, sb);
    byte_lanes<N>(og * keep + __builtin_convertvector(sg, F) * ca, byte_top, sg);
    byte_lanes<N>(orr * keep + __builtin_convertvector(sr, F) * ca, byte_top, sr);
  }
  // Dead lanes get their own bytes back.
  Pixels byte_mask;
  low_three_bytes<N>(sb | (sg << 8) | (sr << 16), new_bytes);
  low_three_bytes<N>(pass, byte_mask);
  const Pixels out = byte_mask != 0 ? new_bytes : old_bytes;
  store_group_bytes<N>(colour_group, out);
}

// ---- the kernels ------------------------------------------------------------

// Fills the triangle N pixels at a time, any rules; the target is at least
// N wide.
template <int N>
[[gnu::always_inline]] inline void fill_lanes(const TriangleSetup& t, const FillRules& p,
                                              const TriangleShading& shading, Framebuffer& target) {
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  // True-colour texels small enough to address in the lanes are gathered
  // there; the rest go lane by lane like the reference.
  const bool gathered = p.texels.usable && p.texels.lane_addressable && !p.texels.colour_mapped;
  const float light1 = shading.light[0], light2 = shading.light[1], light3 = shading.light[2];
  const float fog1 = shading.fog[0], fog2 = shading.fog[1], fog3 = shading.fog[2];
  KernelSetUp<N> s;
  kernel_set_up<N>(t, p, target, s);
  F ones;
  broadcast<N>(1.0f, ones);
  F flat_r, flat_g, flat_b, flat_a;
  broadcast<N>(p.flat.r, flat_r);
  broadcast<N>(p.flat.g, flat_g);
  broadcast<N>(p.flat.b, flat_b);
  broadcast<N>(p.flat.a, flat_a);

  for_each_covered_group<N>(
      t, p, s, [&](int32_t base, I& pass, const F& l1, const F& l2, const F& l3, size_t row_start) {
        F d;
        if (p.depth_override) {
          d = F{};
        } else {
          depth_lanes<N>(t, l1, l2, l3, d);
        }
        float* const depth_group = s.depth_values + row_start + static_cast<size_t>(base);
        if (!test_and_write_depth<N>(depth_group, d, p.depth_test, pass)) return;

        F cr = flat_r, cg = flat_g, cb = flat_b, ca = flat_a;
        if (p.textured) {
          if (!p.texels.usable) return;  // nothing to read: transparent
          F column_t, row_t;
          texel_position<N>(t, shading, p.texels, l1, l2, l3, column_t, row_t);
          if (gathered) {
            I index;
            texel_index<N>(column_t, row_t, s, index);
            gather_texels<N>(p.texels.pixels, index, cr, cg, cb, ca);
          } else {
            // Colour-mapped or huge images, lane by lane; a palette index past
            // the palette reads as a transparent texel.
            float r[N] = {}, g[N] = {}, b[N] = {}, a[N] = {};
            for (uint32_t todo = lane_bits<N>(pass); todo != 0; todo &= todo - 1) {
              const int k = __builtin_ctz(todo);
              const uint32_t column = trunc_u32(column_t[k]);
              const uint32_t row = trunc_u32(row_t[k]);
              Colour texel;
              if (!texel_at(p.texels, column, row, texel)) continue;  // a stays 0
              r[k] = texel.r;
              g[k] = texel.g;
              b[k] = texel.b;
              a[k] = texel.a;
            }
            std::memcpy(&cr, r, sizeof cr);
            std::memcpy(&cg, g, sizeof cg);
            std::memcpy(&cb, b, sizeof cb);
            std::memcpy(&ca, a, sizeof ca);
          }
        }
        const uint32_t live = cut_off_lanes<N>(ca, s, pass);
        if (live == 0) return;

        // Light and fog use the screen-linear weights, not the perspective ones.
        if (p.lit) {
          const F l = l1 * light1 + l2 * light2 + l3 * light3;
          F ar = cr * p.ambient.r, ag = cg * p.ambient.g, ab = cb * p.ambient.b;
          F dr = cr * p.light_colour.r * l, dg = cg * p.light_colour.g * l,
            db = cb * p.light_colour.b * l;
          min_one_lanes<N>(ar, ones);
          min_one_lanes<N>(ag, ones);
          min_one_lanes<N>(ab, ones);
          min_one_lanes<N>(dr, ones);
          min_one_lanes<N>(dg, ones);
          min_one_lanes<N>(db, ones);
          cr = ar + dr;
          cg = ag + dg;
          cb = ab + db;
          min_one_lanes<N>(cr, ones);
          min_one_lanes<N>(cg, ones);
          min_one_lanes<N>(cb, ones);
        }
        if (p.fogged) fog_lanes<N>(l1 * fog1 + l2 * fog2 + l3 * fog3, p.fog_colour, cr, cg, cb);

        store_group<N>(s.colour_bytes + 3 * (row_start + static_cast<size_t>(base)), pass, live, cr,
                       cg, cb, ca, s.byte_top);
      });
}

// One group of the fogged-texture kernel between its two passes: its lanes
// that passed the coverage and depth tests, their texels and fog. No member
// initialisers: a batch of these is set up for every triangle, tiny ones
// included, and only entries that were written are read.
template <int N>
struct PendingGroup {
  typename Lanes<N>::I pass;
  typename Lanes<N>::I texel;
  typename Lanes<N>::F fog;
  uint8_t* colour;
};

// Groups collected before their colour is worked out.
inline constexpr int kPendingGroups = 32;

// The second pass: texels, alpha cut-off, fog and the colour bytes of the
// pending groups. A colour-mapped texel whose index points past the palette
// reads as a transparent one (alpha 0, below the cut-off), as in the
// reference; its lane reads palette entry 0 instead, so that every read
// stays inside the palette.
template <int N, bool kMapped>
[[gnu::always_inline]] inline void shade_pending(const PendingGroup<N>* groups, int count,
                                                 const FillRules& p, const KernelSetUp<N>& s) {
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  const int32_t palette_size = static_cast<int32_t>(p.texels.palette_size);
  for (int g = 0; g < count; ++g) {
    const PendingGroup<N>& group = groups[g];
    F cr, cg, cb, ca;
    if constexpr (kMapped) {
      I entry;
      gather_bytes<N>(p.texels.indices, group.texel, entry);
      const I known = entry < palette_size;
      const I read = known ? entry : I{};
      gather_texels<N>(p.texels.palette, read, cr, cg, cb, ca);
      ca = reinterpret_cast<F>(reinterpret_cast<I>(ca) & known);
    } else {
      gather_texels<N>(p.texels.pixels, group.texel, cr, cg, cb, ca);
    }
    I pass = group.pass;
    const uint32_t live = cut_off_lanes<N>(ca, s, pass);
    if (live == 0) continue;
    fog_lanes<N>(group.fog, p.fog_colour, cr, cg, cb);
    store_group<N>(group.colour, pass, live, cr, cg, cb, ca, s.byte_top);
  }
}

// The city's case (see is_fogged_texture) with the same per-pixel
// operations as fill_lanes, split in two passes over batches of groups. A
// group's work is one long chain of dependent steps (coverage, depth, the
// perspective division, the fraction, the texel address, the texel loads,
// fog, bytes); done in one go, few groups fit in the processor's window at
// once. The first pass runs the chain up to the texel address for a batch of
// groups, the second the rest, and within each pass the groups are
// independent of each other. Depth is complete after the first pass, and
// no two groups of a triangle share a pixel, so the split changes no byte.
template <int N, bool kMapped>
[[gnu::always_inline]] inline void fill_fogged_texture(const TriangleSetup& t, const FillRules& p,
                                                       const TriangleShading& shading,
                                                       Framebuffer& target) {
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  const float fog1 = shading.fog[0], fog2 = shading.fog[1], fog3 = shading.fog[2];
  KernelSetUp<N> s;
  kernel_set_up<N>(t, p, target, s);
  PendingGroup<N> pending[kPendingGroups];
  int pending_count = 0;

  for_each_covered_group<N>(
      t, p, s, [&](int32_t base, I& pass, const F& l1, const F& l2, const F& l3, size_t row_start) {
        F d;
        depth_lanes<N>(t, l1, l2, l3, d);
        float* const depth_group = s.depth_values + row_start + static_cast<size_t>(base);
        if (!test_and_write_depth<N>(depth_group, d, true, pass)) return;

        F column_t, row_t;
        texel_position<N>(t, shading, p.texels, l1, l2, l3, column_t, row_t);
        PendingGroup<N>& group = pending[pending_count];
        group.pass = pass;
        texel_index<N>(column_t, row_t, s, group.texel);
        group.fog = l1 * fog1 + l2 * fog2 + l3 * fog3;
        group.colour = s.colour_bytes + 3 * (row_start + static_cast<size_t>(base));
        if (++pending_count == kPendingGroups) {
          shade_pending<N, kMapped>(pending, pending_count, p, s);
          pending_count = 0;
        }
      });
  shade_pending<N, kMapped>(pending, pending_count, p, s);
}

template <int N>
[[gnu::always_inline]] inline void fill_any(const TriangleSetup& t, const FillRules& rules,
                                            const TriangleShading& shading, Framebuffer& target) {
  if (is_fogged_texture(rules)) {
    if (rules.texels.colour_mapped) {
      fill_fogged_texture<N, true>(t, rules, shading, target);
    } else {
      fill_fogged_texture<N, false>(t, rules, shading, target);
    }
  } else {
    fill_lanes<N>(t, rules, shading, target);
  }
}

}  // namespace vel::lanes
