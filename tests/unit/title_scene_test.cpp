// title_scene_test.cpp: the title's two ways out, and that a key still held
// from the panel's EXIT does not start a new game on the title's first
// frame.
#include "title/title_scene.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <unistd.h>

#include "scene1/scene_init.h"
#include "scene_api/control_bits.h"
#include "support/temp_dir.h"

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

// The program loads the assets once; entering the title again copies them
// and reads no file: from a folder without assets/ it still shows the same
// flight as a title built from the files.
TEST(TitleScene, EnteringItAgainReadsNoAssetFile) {
  const CityAssets assets = load_city_assets();
  TitleScene from_files;
  from_files.init(Settings{}, 0.0f);
  Framebuffer expected = framebuffer_new(kPictureWidth, kPictureHeight);
  frame(from_files, expected, 0, 0.1f);

  const test::TempDir empty;
  char* const root = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(empty.path().c_str()), 0);
  TitleScene shared;
  shared.asset_source = &assets;
  shared.init(Settings{}, 0.0f);
  shared.init(Settings{}, 0.0f);  // a second entry: again no file
  Framebuffer picture = framebuffer_new(kPictureWidth, kPictureHeight);
  frame(shared, picture, 0, 0.1f);
  ASSERT_EQ(chdir(root), 0);
  std::free(root);
  EXPECT_EQ(picture.colour, expected.colour);
}

}  // namespace
}  // namespace vel
