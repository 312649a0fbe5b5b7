// framebuffer_test.cpp: creating targets and the whole-target operations:
// clears, fades, the sky gradient and conversion to an Image.
#include "gfx/framebuffer.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <numbers>
#include <thread>
#include <vector>

#include "gfx/draw_workers.h"
#include "gfx/picture_words.h"

namespace vel {
namespace {

// Blue byte of stored row r, column x.
uint8_t blue_at(const Framebuffer& fb, int r, int x = 0) {
  return fb.colour[static_cast<size_t>(3 * (r * fb.width + x))];
}

Framebuffer filled(int w, int h, uint8_t value) {
  Framebuffer fb = framebuffer_new(w, h);
  std::fill(fb.colour.begin(), fb.colour.end(), value);
  return fb;
}

TEST(FramebufferNew, ZeroFilledWithExactSizes) {
  const Framebuffer fb = framebuffer_new(320, 180);
  EXPECT_EQ(fb.width, 320);
  EXPECT_EQ(fb.height, 180);
  ASSERT_EQ(fb.colour.size(), 172800u);
  ASSERT_EQ(fb.depth.size(), 57600u);
  for (uint8_t b : fb.colour) ASSERT_EQ(b, 0);
  for (float d : fb.depth) ASSERT_EQ(d, 0.0f);
}

TEST(FramebufferNewDeathTest, OversizedOrNegativeStopsTheProgram) {
  EXPECT_EXIT(framebuffer_new(30000, 30000), testing::ExitedWithCode(101), "allocation");
  EXPECT_EXIT(framebuffer_new(INT32_MAX, INT32_MAX), testing::ExitedWithCode(101), "allocation");
  EXPECT_EXIT(framebuffer_new(-4, 4), testing::ExitedWithCode(101), "allocation");
}

TEST(Framebuffer, ZeroPixelTargetsIgnoreEveryOperation) {
  for (auto [w, h] : {std::pair{0, 0}, std::pair{5, 0}, std::pair{0, 5}}) {
    Framebuffer fb = framebuffer_new(w, h);
    const RenderFlags flags;
    clear_framebuffer({1.0f, 1.0f, 1.0f}, flags, fb);
    darken_framebuffer(flags, fb, 0.5f);
    brighten_framebuffer(flags, fb, 0.5f);
    draw_sky_gradient({}, {1.0f, 1.0f, 1.0f}, flags, fb, 1.0f, 0.3f, 43.0f);
    EXPECT_TRUE(framebuffer_to_image(fb, true).pixels.empty());
    EXPECT_TRUE(fb.colour.empty());
  }
}

TEST(ClearFramebuffer, WritesBgrBytesAndResetsDepth) {
  Framebuffer fb = framebuffer_new(4, 3);
  clear_framebuffer({1.0f, 0.5f, -3.0f}, RenderFlags{}, fb);
  for (size_t i = 0; i < fb.colour.size(); i += 3) {
    EXPECT_EQ(fb.colour[i], 0);        // blue clamped up from -3
    EXPECT_EQ(fb.colour[i + 1], 127);  // 127.5 truncated
    EXPECT_EQ(fb.colour[i + 2], 255);
  }
  for (float d : fb.depth) EXPECT_EQ(d, kDepthEmpty);
}

TEST(ClearFramebuffer, InterlacedTouchesOneFieldButResetsAllDepth) {
  Framebuffer fb = filled(320, 180, 9);
  RenderFlags flags;
  flags.interlace = 1;
  flags.odd_field = 0;
  clear_framebuffer({1.0f, 1.0f, 1.0f}, flags, fb);
  for (int r = 0; r < 180; ++r) {
    ASSERT_EQ(blue_at(fb, r, 319), r % 2 == 1 ? 255 : 9) << "row " << r;
  }
  for (float d : fb.depth) ASSERT_EQ(d, kDepthEmpty);

  flags.odd_field = 1;
  clear_framebuffer({0.0f, 0.0f, 0.0f}, flags, fb);
  EXPECT_EQ(blue_at(fb, 0), 0);
  EXPECT_EQ(blue_at(fb, 1), 255);
}

TEST(BrightenFramebuffer, FactorRisesToTwoAndSaturates) {
  struct Case {
    float amount;
    uint8_t from;
    uint8_t to;
  };
  // A NaN amount: the minimum with 1 passes over it, so the factor is 2.
  for (const Case& k : {Case{0.0f, 100, 100}, Case{0.05f, 100, 150}, Case{1.0f, 100, 200},
                        Case{1.0f, 200, 255}, Case{0.05f, 3, 4}, Case{std::nanf(""), 100, 200}}) {
    Framebuffer fb = filled(2, 2, k.from);
    fb.depth.assign(4, 7.0f);
    brighten_framebuffer(RenderFlags{}, fb, k.amount);
    EXPECT_EQ(fb.colour[0], k.to) << "amount " << k.amount << " from " << int{k.from};
    EXPECT_EQ(fb.depth[3], 7.0f);
  }
}

TEST(BrightenFramebuffer, EveryByteValueFollowsTheRule) {
  // All 256 byte values, each scaled by the factor and cut to 0..255.
  for (const float amount : {0.0f, 0.03f, 0.1f}) {
    Framebuffer fb = framebuffer_new(256, 1);
    for (int b = 0; b < 256; ++b) fb.colour[3 * static_cast<size_t>(b) + 1] = uint8_t(b);
    brighten_framebuffer(RenderFlags{}, fb, amount);
    const float k = std::fmin(amount * 10.0f, 1.0f) + 1.0f;
    for (int b = 0; b < 256; ++b) {
      const float scaled = static_cast<float>(b) * k;
      const int expected = scaled >= 255.0f ? 255 : static_cast<int>(scaled);
      ASSERT_EQ(fb.colour[3 * static_cast<size_t>(b) + 1], expected) << "byte " << b;
    }
  }
}

TEST(DarkenFramebuffer, FullOrExcessAmountGivesBlackInTheField) {
  for (float amount : {1.0f, 2.5f}) {
    Framebuffer fb = filled(3, 4, 200);
    RenderFlags flags;
    flags.interlace = 1;
    flags.odd_field = 1;
    darken_framebuffer(flags, fb, amount);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(blue_at(fb, r, 2), r % 2 == 0 ? 0 : 200);
  }
  Framebuffer fb = filled(1, 1, 201);
  darken_framebuffer(RenderFlags{}, fb, 0.5f);
  EXPECT_EQ(fb.colour[0], 100);  // 100.5 truncated
}

// A black-to-white ramp on the main target, so the blue byte reads the ramp.
class SkyGradient : public testing::Test {
 protected:
  const Rgb low{0.0f, 0.0f, 0.0f};
  const Rgb high{1.0f, 1.0f, 1.0f};
  const float fov = 43.0f;
  const float half_fov = fov * 3.141592f / 180.0f * 0.5f;
  Framebuffer fb = framebuffer_new(320, 180);

  void draw(float pitch, float exponent = 1.0f) {
    draw_sky_gradient(low, high, RenderFlags{}, fb, exponent, pitch, fov);
  }
};

TEST_F(SkyGradient, LevelRampRunsFromHighAtTopToLowAtBottom) {
  draw(0.0f);
  EXPECT_EQ(blue_at(fb, 0), 255);
  EXPECT_EQ(blue_at(fb, 90), 127);  // w = 0.5
  EXPECT_EQ(blue_at(fb, 179), 1);   // w = 1/180: almost pure low
  for (float d : fb.depth) ASSERT_EQ(d, kDepthEmpty);
}

TEST_F(SkyGradient, PitchSlidesTheRampAndIsHeldAtSlopeTwo) {
  draw(half_fov);  // slope 1, shift 90
  EXPECT_EQ(blue_at(fb, 0), 127);
  EXPECT_EQ(blue_at(fb, 89), 1);
  EXPECT_EQ(blue_at(fb, 90), 0);  // v reaches the height: pure low from here down
  EXPECT_EQ(blue_at(fb, 179), 0);

  draw(-half_fov);  // shift -90: the top half is pure high
  EXPECT_EQ(blue_at(fb, 90), 255);
  EXPECT_EQ(blue_at(fb, 135), 191);  // v = 45, w = 0.75

  Framebuffer at_two = framebuffer_new(320, 180);
  draw_sky_gradient(low, high, RenderFlags{}, at_two, 1.0f, -2.0f * half_fov, fov);
  draw(-3.0f);  // far past the limit
  EXPECT_EQ(fb.colour, at_two.colour);
  EXPECT_EQ(blue_at(fb, 179), 255);  // shift -180 keeps every row at v <= 0
}

TEST_F(SkyGradient, ExponentShapesTheRamp) {
  draw(0.0f, 2.0f);
  EXPECT_EQ(blue_at(fb, 90), 63);  // 0.5^2 * 255 = 63.75
}

TEST_F(SkyGradient, SlopeThatIsNotANumberIsHeldAtTwo) {
  // The minimum with 2 comes first and passes over the NaN; had the maximum
  // with -2 come first, the picture would be pure high instead.
  Framebuffer at_two = framebuffer_new(320, 180);
  draw_sky_gradient(low, high, RenderFlags{}, at_two, 1.0f, 2.0f * half_fov, fov);
  draw(std::nanf(""));
  EXPECT_EQ(fb.colour, at_two.colour);
  EXPECT_EQ(blue_at(fb, 0), 0);  // shift 180: every row pure low

  // 0 / 0 from a zero field of view is the same.
  draw_sky_gradient(low, high, RenderFlags{}, fb, 1.0f, 0.0f, 0.0f);
  EXPECT_EQ(fb.colour, at_two.colour);
}

TEST(FramebufferToImage, ColoursAndAlphaFromDepth) {
  Framebuffer fb = framebuffer_new(2, 2);
  clear_framebuffer({1.0f, 0.0f, 0.2f}, RenderFlags{}, fb);
  const Image cleared = framebuffer_to_image(fb, true);
  ASSERT_EQ(cleared.pixels.size(), 4u);
  for (const Colour& c : cleared.pixels) EXPECT_EQ(c.a, 0.0f);

  fb.depth[1] = 5.0f;  // something drawn at stored pixel 1
  fb.colour[3] = 255;  // its blue
  const Image image = framebuffer_to_image(fb, true);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_FALSE(image.colour_mapped);
  EXPECT_TRUE(image.path.empty());
  EXPECT_EQ(image.pixels[0].r, 1.0f);
  EXPECT_EQ(image.pixels[0].b, 51.0f / 255.0f);
  EXPECT_EQ(image.pixels[0].a, 0.0f);
  EXPECT_EQ(image.pixels[1].b, 1.0f);
  EXPECT_EQ(image.pixels[1].a, 1.0f);
  for (const Colour& c : framebuffer_to_image(fb, false).pixels) EXPECT_EQ(c.a, 1.0f);
}

// The texture's words: every pixel's bytes and an opaque fourth, rows at the
// texture's pitch (padding untouched), the same for one worker or three,
// and for widths the eight-pixel steps do not divide.
TEST(PictureToWords, EveryPixelWidenedAtAnyWidthAndWorkerCount) {
  for (const int32_t width : {1, 8, 9, 37}) {
    Framebuffer picture = framebuffer_new(width, 19);
    for (size_t i = 0; i < picture.colour.size(); ++i) {
      picture.colour[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    const int32_t pitch = 4 * width + 12;
    std::vector<uint8_t> alone(static_cast<size_t>(pitch) * 19, 0xAB);
    picture_to_words(picture, alone.data(), pitch);
    for (int32_t r = 0; r < 19; ++r) {
      for (int32_t x = 0; x < width; ++x) {
        const size_t in = 3 * (static_cast<size_t>(r) * width + x);
        const uint8_t* out = &alone[static_cast<size_t>(r) * pitch + 4 * x];
        ASSERT_EQ(out[0], picture.colour[in]) << width << " " << r << " " << x;
        ASSERT_EQ(out[1], picture.colour[in + 1]);
        ASSERT_EQ(out[2], picture.colour[in + 2]);
        ASSERT_EQ(out[3], 255);
      }
      EXPECT_EQ(alone[static_cast<size_t>(r) * pitch + 4 * width], 0xAB) << "padding written";
    }
    const std::unique_ptr<DrawWorkers> workers = start_draw_workers(3);
    picture.workers = workers.get();
    std::vector<uint8_t> shared(alone.size(), 0xAB);
    picture_to_words(picture, shared.data(), pitch);
    EXPECT_EQ(shared, alone) << width;
  }
}

// A frame wakes the helpers before its picture; whether they are still
// spinning or have gone back to sleep when it comes, every band is drawn
// once, and helpers stopped while woken end.
TEST(DrawWorkers, EveryBandOnceAfterEarlyWakesAndSleeps) {
  using Counts = std::array<std::atomic<int>, 3>;
  Counts drawn{};
  const auto count = [](void* raw, uint8_t band, uint8_t bands) {
    ASSERT_EQ(bands, 3);
    ++(*static_cast<Counts*>(raw))[band];
  };
  const std::unique_ptr<DrawWorkers> workers = start_draw_workers(3);
  for (int round = 0; round < 6; ++round) {
    wake_draw_workers(*workers);
    if (round % 2 == 1) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    run_bands(*workers, count, &drawn);
  }
  for (const std::atomic<int>& band : drawn) EXPECT_EQ(band.load(), 6);
  wake_draw_workers(*workers);
}

}  // namespace
}  // namespace vel
