// picture_files_test.cpp: the F12 pictures read back through libpng hold
// the picture's own pixels, enlarged ones in the copy, and a second
// picture in the same second gets a name of its own.
#include "play/picture_files.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

#include "support/temp_dir.h"

namespace vel {
namespace {

struct ReadPng {
  std::vector<uint8_t> bgr;
  uint32_t width = 0;
  uint32_t height = 0;
};

ReadPng read_png(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ReadPng out;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return out;
  image.format = PNG_FORMAT_BGR;
  out.bgr.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, out.bgr.data(), 0, nullptr) == 0) return {};
  out.width = image.width;
  out.height = image.height;
  return out;
}

TEST(PictureFiles, PngsHoldThePicturesPixelsAndNeverReplaceOne) {
  Framebuffer picture;
  picture.width = 320;
  picture.height = 180;
  picture.colour.resize(3 * 320 * 180);
  for (size_t i = 0; i < picture.colour.size(); ++i) {
    picture.colour[i] = static_cast<uint8_t>(i * 7 + i / 251);
  }
  const test::TempDir dir;
  const std::string folder = dir.file("Pictures/veltrocane");  // made on the way
  std::tm when{};
  when.tm_year = 127;  // 2027-01-02 03:04:05
  when.tm_mon = 0;
  when.tm_mday = 2;
  when.tm_hour = 3;
  when.tm_min = 4;
  when.tm_sec = 5;
  PictureNames first;
  ASSERT_EQ(save_picture_files(picture, folder, when, first), "");
  EXPECT_EQ(first.picture, folder + "/veltrocane-20270102-030405.png");
  EXPECT_EQ(first.scaled, folder + "/veltrocane-20270102-030405-x4.png");

  const ReadPng same = read_png(first.picture);
  EXPECT_EQ(same.width, 320u);
  EXPECT_EQ(same.height, 180u);
  EXPECT_TRUE(same.bgr == picture.colour);
  const ReadPng big = read_png(first.scaled);
  ASSERT_EQ(big.width, 1280u);
  ASSERT_EQ(big.height, 720u);
  bool blocks_match = true;
  for (size_t y = 0; y < 720; ++y) {
    for (size_t x = 0; x < 1280 * 3; ++x) {
      const size_t source = (y / 4) * 320 * 3 + (x / 12) * 3 + x % 3;
      blocks_match = blocks_match && big.bgr[y * 1280 * 3 + x] == picture.colour[source];
    }
  }
  EXPECT_TRUE(blocks_match);

  PictureNames second;
  ASSERT_EQ(save_picture_files(picture, folder, when, second), "");
  EXPECT_EQ(second.picture, folder + "/veltrocane-20270102-030405-2.png");
  EXPECT_EQ(read_png(first.picture).bgr, same.bgr);
}

}  // namespace
}  // namespace vel
