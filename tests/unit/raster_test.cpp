// raster_test.cpp: filling single clip-space triangles into small targets:
// coverage, depth, texturing, alpha, light, fog, blending and the field rule.
#include "gfx/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/pixels.h"

namespace vel {
namespace {

using test::Bgr;
using test::depth_at;
using test::kBlackPx;
using test::kGreen;
using test::kGreenPx;
using test::kRed;
using test::kRedPx;
using test::kWhite;
using test::kWhitePx;
using test::pixel_at;

// The cases lean on the record's defaults: an unlit, unfogged flat white
// triangle on the default path.
using Triangle = TriangleFill;

void draw(const Triangle& t, Framebuffer& target) {
  rasterise_triangle(t, target);
}

// Covers the whole target. Vertex 3 sits on the lower-left corner of pixel
// (0, 0), where its weight is exactly 1: values sampled there are vertex 3's
// own, free of interpolation rounding.
Triangle screen_triangle(float z = 0.0f) {
  Triangle t;
  t.p1 = {3.0f, -1.0f, z, 1.0f};
  t.p2 = {-1.0f, 3.0f, z, 1.0f};
  t.p3 = {-1.0f, -1.0f, z, 1.0f};
  return t;
}

Framebuffer cleared(int32_t width, int32_t height, Rgb colour = {0.0f, 0.0f, 0.0f}) {
  Framebuffer target = framebuffer_new(width, height);
  clear_framebuffer(colour, RenderFlags{}, target);
  return target;
}

int count_pixels(const Framebuffer& target, Bgr colour) {
  int n = 0;
  for (int32_t y = 0; y < target.height; ++y) {
    for (int32_t x = 0; x < target.width; ++x) n += pixel_at(target, x, y) == colour ? 1 : 0;
  }
  return n;
}

// ---- coverage ----------------------------------------------------------

TEST(RasteriseCoverage, ScreenTriangleFillsEveryPixelWithItsColourAndDepth) {
  Framebuffer target = cleared(8, 8);
  Triangle t = screen_triangle(0.5f);
  t.material = Material::flat({1.0f, 0.5f, 0.0f, 1.0f});
  draw(t, target);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      ASSERT_EQ(pixel_at(target, x, y), (Bgr{0, 127, 255})) << x << "," << y;
      ASSERT_EQ(depth_at(target, x, y), 0.75f) << x << "," << y;  // z 0.5 -> 0.5*0.5+0.5
    }
  }
}

TEST(RasteriseCoverage, LowerLeftHalfFollowsTheSamplePointAtThePixelCorner) {
  // Triangle (-1,-1), (1,-1), (-1,1): pixel (x, y) samples its lower-left
  // corner, so it is inside exactly when x + y <= 8 on an 8x8 target.
  Framebuffer target = cleared(8, 8);
  Triangle t;
  t.p1 = {-1.0f, -1.0f, 0.0f, 1.0f};
  t.p2 = {1.0f, -1.0f, 0.0f, 1.0f};
  t.p3 = {-1.0f, 1.0f, 0.0f, 1.0f};
  draw(t, target);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      EXPECT_EQ(pixel_at(target, x, y), x + y <= 8 ? kWhitePx : kBlackPx) << x << "," << y;
    }
  }
}

TEST(RasteriseCoverage, TriangleReachingFarOffScreenIsClampedToTheTarget) {
  // Huge coordinates saturate in the pixel conversion; the box is clamped
  // and nothing is written outside the target (the sanitizer build checks).
  Framebuffer target = cleared(8, 8);
  Triangle t;
  t.p1 = {-1.0e10f, -1.0e10f, 0.0f, 1.0f};
  t.p2 = {1.0e10f, -1.0e10f, 0.0f, 1.0f};
  t.p3 = {0.0f, 1.0e10f, 0.0f, 1.0f};
  draw(t, target);
  EXPECT_EQ(count_pixels(target, kWhitePx), 64);

  Framebuffer untouched = cleared(8, 8);
  Triangle right_of_screen;
  right_of_screen.p1 = {1.5f, -1.0f, 0.0f, 1.0f};
  right_of_screen.p2 = {3.0f, -1.0f, 0.0f, 1.0f};
  right_of_screen.p3 = {2.0f, 1.0f, 0.0f, 1.0f};
  draw(right_of_screen, untouched);
  EXPECT_EQ(count_pixels(untouched, kBlackPx), 64);
}

TEST(RasteriseCoverage, ZeroAreaTriangleDrawsNothing) {
  Framebuffer target = cleared(8, 8);
  Triangle line;  // three points on one line
  line.p1 = {-1.0f, -1.0f, 0.0f, 1.0f};
  line.p2 = {0.0f, 0.0f, 0.0f, 1.0f};
  line.p3 = {1.0f, 1.0f, 0.0f, 1.0f};
  draw(line, target);
  Triangle point;  // all three corners on one pixel corner
  point.p1 = point.p2 = point.p3 = {0.0f, 0.0f, 0.0f, 1.0f};
  draw(point, target);
  EXPECT_EQ(count_pixels(target, kBlackPx), 64);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(depth_at(target, x, y), kDepthEmpty);
  }
}

TEST(RasteriseCoverage, SharedEdgeIsDrawnByBothTrianglesAndTheSecondLosesOnEqualDepth) {
  // Two halves of the square share the diagonal x + y = 8; pixel (4, 4)
  // samples a point exactly on it.
  Triangle lower;
  lower.p1 = {-1.0f, -1.0f, 0.0f, 1.0f};
  lower.p2 = {1.0f, -1.0f, 0.0f, 1.0f};
  lower.p3 = {-1.0f, 1.0f, 0.0f, 1.0f};
  lower.material = Material::flat(kRed);
  Triangle upper;
  upper.p1 = {1.0f, -1.0f, 0.0f, 1.0f};
  upper.p2 = {1.0f, 1.0f, 0.0f, 1.0f};
  upper.p3 = {-1.0f, 1.0f, 0.0f, 1.0f};
  upper.material = Material::flat(kGreen);

  Framebuffer tested = cleared(8, 8);
  draw(lower, tested);
  draw(upper, tested);
  EXPECT_EQ(pixel_at(tested, 4, 4), kRedPx);  // equal depth does not pass
  EXPECT_EQ(pixel_at(tested, 1, 1), kRedPx);
  EXPECT_EQ(pixel_at(tested, 6, 6), kGreenPx);

  Framebuffer untested = cleared(8, 8);
  lower.flags.depth_test = 0;
  upper.flags.depth_test = 0;
  draw(lower, untested);
  draw(upper, untested);
  EXPECT_EQ(pixel_at(untested, 4, 4), kGreenPx);  // the second one also covered it
  EXPECT_EQ(pixel_at(untested, 3, 5), kGreenPx);
  EXPECT_EQ(pixel_at(untested, 1, 1), kRedPx);
}

// ---- depth -------------------------------------------------------------

TEST(RasteriseDepth, OnlyStrictlyNearerFragmentsPassTheTest) {
  Framebuffer target = cleared(8, 8);
  Triangle far = screen_triangle(0.5f);
  far.material = Material::flat(kRed);
  Triangle near = screen_triangle(-0.5f);
  near.material = Material::flat(kGreen);
  draw(near, target);
  draw(far, target);  // behind: rejected
  EXPECT_EQ(pixel_at(target, 3, 3), kGreenPx);
  EXPECT_EQ(depth_at(target, 3, 3), 0.25f);

  // Without the test the farther triangle overwrites colour and depth.
  far.flags.depth_test = 0;
  draw(far, target);
  EXPECT_EQ(pixel_at(target, 3, 3), kRedPx);
  EXPECT_EQ(depth_at(target, 3, 3), 0.75f);
}

TEST(RasteriseDepth, OverrideDrawsOverAnyPositiveDepthAndLeavesZero) {
  Framebuffer target = cleared(8, 8);
  Triangle first = screen_triangle(0.9f);
  first.flags.depth_override = 1;
  first.material = Material::flat(kRed);
  draw(first, target);
  EXPECT_EQ(pixel_at(target, 2, 5), kRedPx);
  EXPECT_EQ(depth_at(target, 2, 5), 0.0f);

  // A second override triangle finds depth 0 everywhere: 0 >= 0 fails.
  Triangle second = screen_triangle(-0.9f);
  second.flags.depth_override = 1;
  second.material = Material::flat(kGreen);
  draw(second, target);
  EXPECT_EQ(pixel_at(target, 2, 5), kRedPx);
}

TEST(RasteriseDepth, TransparentTexelStillWritesDepthAndOccludesLaterDrawing) {
  Framebuffer target = cleared(8, 8);
  Triangle glass = screen_triangle(-0.5f);
  glass.material = Material::flat({1.0f, 1.0f, 1.0f, 0.0f});
  draw(glass, target);
  EXPECT_EQ(pixel_at(target, 4, 4), kBlackPx);
  EXPECT_EQ(depth_at(target, 4, 4), 0.25f);

  Triangle behind = screen_triangle(0.0f);
  draw(behind, target);
  EXPECT_EQ(count_pixels(target, kBlackPx), 64);
}

// ---- texturing ---------------------------------------------------------

// A row of five distinct colours: column c has red c/4.
Image five_columns() {
  Image image = test::solid_image(5, 1, kWhite);
  for (int32_t c = 0; c < 5; ++c) {
    test::set_texel(image, c, 0, {static_cast<float>(c) / 4.0f, 0.0f, 0.0f, 1.0f});
  }
  return image;
}

// The colour of pixel (0, 0), where vertex 3's uv is sampled exactly.
Bgr sample_at_vertex(const Image& image, Vec2 uv) {
  Framebuffer target = cleared(8, 8);
  Triangle t = screen_triangle();
  t.uv1 = t.uv2 = {0.5f, 0.5f};
  t.uv3 = uv;
  t.material = Material::textured(image);
  draw(t, target);
  return pixel_at(target, 0, 0);
}

TEST(RasteriseTexture, CoordinatesWrapByTruncation) {
  const Image image = five_columns();
  const Bgr column0 = sample_at_vertex(image, {0.0f, 0.0f});
  const Bgr column1 = sample_at_vertex(image, {0.25f, 0.0f});
  const Bgr column3 = sample_at_vertex(image, {0.75f, 0.0f});
  ASSERT_NE(column0, column1);
  ASSERT_NE(column1, column3);
  EXPECT_EQ(sample_at_vertex(image, {1.25f, 0.0f}), column1);
  EXPECT_EQ(sample_at_vertex(image, {-0.25f, 0.0f}), column3);
  EXPECT_EQ(sample_at_vertex(image, {2.0f, 0.0f}), column0);
  EXPECT_EQ(sample_at_vertex(image, {-3.75f, 0.0f}), column1);
}

TEST(RasteriseTexture, VZeroReadsTheLastStoredRow) {
  // Five stored rows; stored row r has green r/4 (row 0 is the top).
  Image image = test::solid_image(1, 5, kWhite);
  for (int32_t r = 0; r < 5; ++r) {
    test::set_texel(image, 0, r, {0.0f, static_cast<float>(r) / 4.0f, 0.0f, 1.0f});
  }
  EXPECT_EQ(sample_at_vertex(image, {0.0f, 0.0f}), (Bgr{0, 255, 0}));   // row 4
  EXPECT_EQ(sample_at_vertex(image, {0.0f, 0.75f}), (Bgr{0, 63, 0}));   // row 1
  EXPECT_EQ(sample_at_vertex(image, {0.0f, 1.25f}), (Bgr{0, 191, 0}));  // row 3
}

TEST(RasteriseTexture, ColourMappedImageReadsThroughItsPalette) {
  Image image;
  image.width = 2;
  image.height = 1;
  image.colour_mapped = true;
  image.palette = {kRed, kGreen};
  image.indices = {1, 0};
  EXPECT_EQ(sample_at_vertex(image, {0.0f, 0.0f}), kGreenPx);
  EXPECT_EQ(sample_at_vertex(image, {0.999f, 0.0f}), kGreenPx);  // trunc(0.999 * 1) = 0
  image.indices = {0, 1};
  EXPECT_EQ(sample_at_vertex(image, {0.0f, 0.0f}), kRedPx);
}

TEST(RasteriseTexture, MalformedImagesAreTransparentInsteadOfReadPastTheirEnd) {
  Image index_past_palette;
  index_past_palette.width = 1;
  index_past_palette.height = 1;
  index_past_palette.colour_mapped = true;
  index_past_palette.palette = {kRed};
  index_past_palette.indices = {7};
  EXPECT_EQ(sample_at_vertex(index_past_palette, {0.0f, 0.0f}), kBlackPx);

  EXPECT_EQ(sample_at_vertex(Image{}, {0.0f, 0.0f}), kBlackPx);  // 0 x 0

  Image short_pixels = test::solid_image(4, 4, kWhite);
  short_pixels.pixels.resize(3);
  EXPECT_EQ(sample_at_vertex(short_pixels, {0.0f, 0.0f}), kBlackPx);

  // Depth is still written, as for any transparent texel.
  Framebuffer target = cleared(8, 8);
  Triangle t = screen_triangle();
  const Image empty;
  t.material = Material::textured(empty);
  draw(t, target);
  EXPECT_EQ(depth_at(target, 5, 5), 0.5f);
}

TEST(RasteriseTexture, CoordinatesArePerspectiveCorrect) {
  // Vertex 2 is three times as far (w = 3) as the others. At pixel (6, 1)
  // of 8x8 the screen weights are 0.5625, 0.375, 0.0625 and the perspective
  // ones 0.75, 1/6, 1/12, so u = 0.75 * 0.5 + 1/6 = 0.54 (column 4 of 9).
  // Screen weights would give 0.66 (column 5), and weights left without the
  // 1/(sum) normalisation 0.41 (column 3).
  Image image = test::solid_image(9, 1, kWhite);
  for (int32_t c = 0; c < 9; ++c) {
    test::set_texel(image, c, 0, {static_cast<float>(c) / 8.0f, 0.0f, 0.0f, 1.0f});
  }
  Framebuffer target = cleared(8, 8);
  Triangle t;
  t.p1 = {-1.0f, -1.0f, 0.0f, 1.0f};
  t.p2 = {9.0f, -3.0f, 0.0f, 3.0f};
  t.p3 = {-1.0f, 3.0f, 0.0f, 1.0f};
  t.uv1 = {0.5f, 0.0f};
  t.uv2 = {1.0f, 0.0f};
  t.uv3 = {0.0f, 0.0f};
  t.material = Material::textured(image);
  draw(t, target);
  EXPECT_EQ(pixel_at(target, 6, 1), (Bgr{0, 0, 127}));  // red 4/8
}

// ---- alpha and blending ------------------------------------------------

TEST(RasteriseBlend, AlphaBelowFivePercentIsCutAndFivePercentIsBlended) {
  Framebuffer target = cleared(8, 8, {1.0f, 1.0f, 1.0f});
  Triangle t = screen_triangle(-0.5f);
  t.material = Material::flat({0.0f, 0.0f, 0.0f, 0.04f});
  draw(t, target);
  EXPECT_EQ(pixel_at(target, 3, 3), kWhitePx);
  EXPECT_EQ(depth_at(target, 3, 3), 0.25f);

  Framebuffer blended = cleared(8, 8, {1.0f, 1.0f, 1.0f});
  t.material = Material::flat({0.0f, 0.0f, 0.0f, 0.05f});
  draw(t, blended);
  EXPECT_EQ(pixel_at(blended, 3, 3), (Bgr{242, 242, 242}));  // trunc(255 * 0.95)

  // The same cut applies to texels.
  Framebuffer textured = cleared(8, 8, {1.0f, 1.0f, 1.0f});
  const Image faint = test::solid_image(1, 1, {0.0f, 0.0f, 0.0f, 0.04f});
  t.material = Material::textured(faint);
  draw(t, textured);
  EXPECT_EQ(pixel_at(textured, 3, 3), kWhitePx);
}

TEST(RasteriseBlend, SourceIsQuantisedToBytesBeforeBlending) {
  // 0.01 * 255 = 2.55 becomes the byte 2 first: 2 * 0.9 = 1.8 -> 1 (blending
  // the unquantised 2.55 would give 2).
  Framebuffer target = cleared(8, 8);
  Triangle t = screen_triangle();
  t.material = Material::flat({0.01f, 0.01f, 0.01f, 0.9f});
  draw(t, target);
  EXPECT_EQ(pixel_at(target, 0, 0), (Bgr{1, 1, 1}));

  Framebuffer half = cleared(8, 8, {1.0f, 1.0f, 1.0f});
  t.material = Material::flat({0.0f, 0.0f, 1.0f, 0.5f});
  draw(t, half);
  EXPECT_EQ(pixel_at(half, 0, 0), (Bgr{255, 127, 127}));  // blue kept, others halved
}

// ---- light and fog -----------------------------------------------------

// Pixel (0, 0) of a white triangle whose vertex 3 carries `light3`, lit with
// ambient 0.1 and a white light.
Bgr lit_white(float light3) {
  Framebuffer target = cleared(8, 8);
  Triangle t = screen_triangle();
  t.lighting.lighting_enabled = true;
  t.lighting.ambient = {0.1f, 0.1f, 0.1f, 1.0f};
  t.lighting.light_colour = kWhite;
  t.light[2] = light3;
  draw(t, target);
  return pixel_at(target, 0, 0);
}

TEST(RasteriseLight, AmbientPlusLightIsClampedPerTerm) {
  EXPECT_EQ(lit_white(0.5f), (Bgr{153, 153, 153}));                         // 0.1 + 0.5 = 0.6
  EXPECT_EQ(lit_white(2.0f), kWhitePx);                                     // 0.1 + min(1, 2) -> 1
  EXPECT_EQ(lit_white(0.0f), (Bgr{25, 25, 25}));                            // ambient alone
  EXPECT_EQ(lit_white(std::numeric_limits<float>::quiet_NaN()), kWhitePx);  // NaN counts as 1
}

TEST(RasteriseLight, LightUsesScreenWeightsAndTheLightColourPerChannel) {
  Framebuffer target = cleared(8, 8);
  Triangle t = screen_triangle();
  t.lighting.lighting_enabled = true;
  t.lighting.ambient = {0.0f, 0.0f, 0.0f, 1.0f};
  t.lighting.light_colour = {1.0f, 0.5f, 0.0f, 1.0f};
  t.light[0] = 1.0f;
  t.light[1] = 1.0f;
  t.light[2] = 0.0f;
  draw(t, target);
  EXPECT_EQ(pixel_at(target, 0, 0), kBlackPx);  // vertex 3 gets no light
  // Pixel (4, 0) samples (0, -1): weights 0.25, 0, 0.75 -> l = 0.25.
  EXPECT_EQ(pixel_at(target, 4, 0), (Bgr{0, 31, 63}));
}

TEST(RasteriseFog, VisibilityBlendsTowardTheFogColour) {
  Framebuffer target = cleared(8, 8);
  Triangle t = screen_triangle();
  t.lighting.fog_enabled = true;
  t.lighting.fog_colour = {0.0f, 0.0f, 1.0f, 1.0f};
  t.fog[2] = 0.5f;
  t.material = Material::flat({1.0f, 0.0f, 0.0f, 1.0f});
  draw(t, target);
  EXPECT_EQ(pixel_at(target, 0, 0), (Bgr{127, 0, 127}));

  Framebuffer hidden = cleared(8, 8);
  t.fog[2] = 0.0f;
  draw(t, hidden);
  EXPECT_EQ(pixel_at(hidden, 0, 0), (Bgr{255, 0, 0}));  // only fog
}

// ---- field rule --------------------------------------------------------

TEST(RasteriseField, InterlacedRowsOutsideTheFieldGetNeitherColourNorDepth) {
  for (uint8_t odd : {uint8_t{0}, uint8_t{1}}) {
    Framebuffer target = cleared(8, 8);
    Triangle t = screen_triangle();
    t.flags.interlace = 1;
    t.flags.odd_field = odd;
    draw(t, target);
    for (int32_t y = 0; y < 8; ++y) {
      const int32_t stored_row = 7 - y;
      const bool in_field = stored_row % 2 != odd;
      EXPECT_EQ(pixel_at(target, 3, y), in_field ? kWhitePx : kBlackPx) << "y " << y;
      EXPECT_EQ(depth_at(target, 3, y), in_field ? 0.5f : kDepthEmpty) << "y " << y;
    }
  }
}

}  // namespace
}  // namespace vel
