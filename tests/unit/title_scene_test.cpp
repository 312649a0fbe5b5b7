// title_scene_test.cpp: the title's two ways out, and that a key still held
// from the panel's EXIT does not start a new game on the title's first
// frame.
#include "title/title_scene.h"

#include <gtest/gtest.h>

#include "scene_api/control_bits.h"

namespace vel {
namespace {

FrameResult frame(TitleScene& title, Framebuffer& picture, uint32_t held, float time) {
  const Settings settings;
  return title.update({held, {0.0f, 0.0f}}, picture, 1.0f / 60.0f, time, settings);
}

TEST(TitleScene, ReturnPlaysEscapeQuitsAndOnlyFreshPressesCount) {
  TitleScene title;
  Framebuffer picture = framebuffer_new(kPictureWidth, kPictureHeight);
  title.init(Settings{}, 0.0f);  // the real assets, from the repository root
  // Return held since before the title: nothing, however long it is held.
  EXPECT_FALSE(frame(title, picture, kMenuSelectBit, 0.1f).next_scene);
  EXPECT_FALSE(frame(title, picture, kMenuSelectBit, 0.2f).next_scene);
  EXPECT_FALSE(frame(title, picture, 0, 0.3f).next_scene);
  EXPECT_EQ(frame(title, picture, kMenuSelectBit, 0.4f).next_scene, kCitySceneIndex);
  EXPECT_EQ(frame(title, picture, kMenuSelectBit | kPanelToggleBit, 0.5f).next_scene, -1);
  // The flight draws the city: the picture is not left black.
  size_t lit = 0;
  for (const uint8_t byte : picture.colour) lit += byte > 16 ? 1 : 0;
  EXPECT_GT(lit, picture.colour.size() / 10);
}

}  // namespace
}  // namespace vel
