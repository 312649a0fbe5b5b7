// hud_test.cpp: the centring rule, the opening letterbox, the frame-rate
// readout's placement and the floating messages' drift, removal and drawing.
#include "scene1/hud.h"

#include <gtest/gtest.h>

#include "scene1/city_scene.h"
#include "support/pixels.h"

namespace vel {
namespace {

using test::Bgr;
using test::kBlackPx;
using test::kWhitePx;
using test::pixel_at;

Framebuffer white_target() {
  Framebuffer target = framebuffer_new(320, 180);
  std::fill(target.colour.begin(), target.colour.end(), uint8_t{255});
  return target;
}

// 80 x 80, cell 10: glyph rows 0..7 cover codes 32..95.
Image solid_font() {
  return test::solid_image(80, 80, {1.0f, 1.0f, 1.0f, 1.0f});
}

RenderFlags progressive() {
  RenderFlags flags;
  flags.interlace = 0;
  return flags;
}

TEST(Centring, StartsHalfTheGlyphsLeftOfTheCentrePlusOnePerGlyph) {
  EXPECT_EQ(centred_start(160, 2, 10), 152);
  EXPECT_EQ(centred_start(160, 0, 10), 160);
  EXPECT_EQ(centred_start(88, 8, 8), 64);  // "MOVEMENT" on the panel
  EXPECT_EQ(glyph_cell(solid_font()), 10);
}

TEST(Letterbox, BarsAtFourAndAHalfSeconds) {
  Framebuffer target = white_target();
  letterbox(4.5f, progressive(), target);
  // Top bar from row 162 up, bottom bar from row 0 to row 18.
  EXPECT_EQ(pixel_at(target, 0, 162), kBlackPx);
  EXPECT_EQ(pixel_at(target, 319, 179), kBlackPx);
  EXPECT_EQ(pixel_at(target, 0, 161), kWhitePx);
  EXPECT_EQ(pixel_at(target, 319, 18), kBlackPx);
  EXPECT_EQ(pixel_at(target, 0, 0), kBlackPx);
  EXPECT_EQ(pixel_at(target, 0, 19), kWhitePx);
}

TEST(Letterbox, FullBarsUntilFourSecondsAndNearlyNoneAtFive) {
  Framebuffer target = white_target();
  letterbox(1.0f, progressive(), target);
  EXPECT_EQ(pixel_at(target, 100, 144), kBlackPx);
  EXPECT_EQ(pixel_at(target, 100, 143), kWhitePx);
  EXPECT_EQ(pixel_at(target, 100, 36), kBlackPx);
  EXPECT_EQ(pixel_at(target, 100, 37), kWhitePx);

  target = white_target();
  letterbox(4.9999f, progressive(), target);
  EXPECT_EQ(pixel_at(target, 100, 178), kWhitePx);
  EXPECT_EQ(pixel_at(target, 100, 1), kWhitePx);
  EXPECT_EQ(pixel_at(target, 100, 0), kBlackPx);  // the bottom bar keeps its row 0
}

TEST(Letterbox, InterlacedBarsCoverOnlyTheCurrentField) {
  Framebuffer target = white_target();
  RenderFlags flags;
  flags.interlace = 1;
  flags.odd_field = 0;
  letterbox(1.0f, flags, target);
  EXPECT_EQ(pixel_at(target, 5, 10), kBlackPx);
  EXPECT_EQ(pixel_at(target, 5, 11), kWhitePx);
}

TEST(FpsReadout, PlacementByShowFps) {
  Point2 at;
  EXPECT_FALSE(fps_readout_position(0, &at));
  const struct {
    int32_t show_fps;
    Point2 at;
  } cases[] = {{1, {0, 0}},    {2, {0, 170}},   {3, {300, 170}}, {4, {300, 0}},
               {7, {160, 90}}, {-1, {160, 90}}, {5, {160, 90}}};
  for (const auto& c : cases) {
    ASSERT_TRUE(fps_readout_position(c.show_fps, &at)) << c.show_fps;
    EXPECT_EQ(at.x, c.at.x) << c.show_fps;
    EXPECT_EQ(at.y, c.at.y) << c.show_fps;
  }
}

TEST(FpsReadout, DrawsRedTextFromItsFirstGlyphPosition) {
  Framebuffer target = framebuffer_new(320, 180);
  const Image font = solid_font();
  fps_readout("60", 3, font, progressive(), target);
  // Two glyphs of cell 10, advance 8: columns 300..317, rows 165..174.
  EXPECT_EQ(pixel_at(target, 300, 170), (Bgr{0, 0, 255}));
  EXPECT_EQ(pixel_at(target, 317, 165), (Bgr{0, 0, 255}));
  EXPECT_EQ(pixel_at(target, 299, 170), kBlackPx);
  EXPECT_EQ(pixel_at(target, 318, 170), kBlackPx);
  EXPECT_EQ(pixel_at(target, 305, 175), kBlackPx);

  Framebuffer hidden = framebuffer_new(320, 180);
  fps_readout("60", 0, font, progressive(), hidden);
  EXPECT_EQ(hidden.colour, std::vector<uint8_t>(hidden.colour.size(), 0));
}

HudMessage message(const char* text, float born, float y = 0.5f, bool rising = false) {
  HudMessage m;
  m.text = text;
  m.colour = {0.0f, 1.0f, 0.0f, 1.0f};
  m.position = {0.5f, y};
  m.born = born;
  m.rising = rising;
  return m;
}

TEST(Messages, DriftByAgeSquaredEachFrameInTheirDirection) {
  CityScene scene;
  scene.hud.messages = {message("DOWN", 1.0f), message("UP", 1.0f, 0.5f, true),
                        message("LATER", 3.0f)};
  scene.clock.elapsed = 2.0f;
  messages_update(scene.hud.messages, scene.clock.elapsed);
  ASSERT_EQ(scene.hud.messages.size(), 3u);
  EXPECT_FLOAT_EQ(scene.hud.messages[0].position.y, 0.49f);
  EXPECT_FLOAT_EQ(scene.hud.messages[1].position.y, 0.51f);
  EXPECT_EQ(scene.hud.messages[2].position.y, 0.5f);  // not born yet: left alone
}

TEST(Messages, LeavingTheScreenRemovesOnlyThatMessage) {
  CityScene scene;
  scene.hud.messages = {message("A", 0.0f), message("B", 9.0f, 0.05f),
                        message("C", 0.0f, 0.95f, true), message("D", 9.5f)};
  scene.clock.elapsed = 10.0f;
  messages_update(scene.hud.messages, scene.clock.elapsed);
  // A and C moved by 1.0 (age 10): both gone; B by 0.01 to 0.04; D stays.
  ASSERT_EQ(scene.hud.messages.size(), 2u);
  EXPECT_EQ(scene.hud.messages[0].text, "B");
  EXPECT_EQ(scene.hud.messages[1].text, "D");
}

TEST(Messages, AtSixtyFramesASecondAMessageLeavesAfterAboutOneAndAThirdSeconds) {
  CityScene scene;
  scene.hud.messages = {message("ENGAGED!", 10.0f)};
  int frames = 0;
  while (!scene.hud.messages.empty() && frames < 1000) {
    ++frames;
    scene.clock.elapsed = 10.0f + static_cast<float>(frames) / 60.0f;
    messages_update(scene.hud.messages, scene.clock.elapsed);
  }
  EXPECT_GT(frames, 60);
  EXPECT_LT(frames, 90);
}

TEST(Messages, DrawnCentredInTheirColourWithTheSmallFont) {
  CityScene scene;
  scene.assets.textures = {solid_font()};
  scene.view.render_flags.interlace = 0;
  scene.hud.messages = {message("AB", 0.0f)};
  Framebuffer target = framebuffer_new(320, 180);
  draw_messages(scene.hud.messages, scene.assets.textures, scene.view.render_flags, target);
  // Centred on (160, 90): columns 152..169, rows 85..94.
  EXPECT_EQ(pixel_at(target, 152, 90), (Bgr{0, 255, 0}));
  EXPECT_EQ(pixel_at(target, 169, 94), (Bgr{0, 255, 0}));
  EXPECT_EQ(pixel_at(target, 160, 85), (Bgr{0, 255, 0}));
  EXPECT_EQ(pixel_at(target, 151, 90), kBlackPx);
  EXPECT_EQ(pixel_at(target, 170, 90), kBlackPx);
  EXPECT_EQ(pixel_at(target, 160, 95), kBlackPx);
}

}  // namespace
}  // namespace vel
