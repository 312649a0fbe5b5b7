// picture_files.h: the F12 pictures of the played game as a player keeps
// them: a PNG named for the moment it was taken, in the player's pictures
// folder, at the picture's own size and an enlarged copy beside it.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "gfx/framebuffer.h"

namespace vel {

// The two files of one picture, full paths.
struct PictureNames {
  std::string picture;  // <folder>/veltrocane-YYYYMMDD-HHMMSS.png
  std::string scaled;   // the same name ending -x<N>.png
};

// How many times the enlarged copy repeats each pixel: enough for a
// 320-pixel picture to fill a 1280-pixel screen, never under 2.
int32_t scaled_copy_factor(int32_t width);

// The names for a picture taken at `when` (the player's local time), with
// -2, -3, ... after the time when `taken` says either file already exists
// (several pictures in one second keep each one).
PictureNames picture_names(const std::string& folder, const std::tm& when, int32_t factor,
                           const std::function<bool(const std::string& path)>& taken);

// Creates the folder, then writes both files with the all-or-nothing
// writer. `saved` gets the names; the result is empty on success, else the
// reason naming the folder or file.
std::string save_picture_files(const Framebuffer& picture, const std::string& folder,
                               const std::tm& when, PictureNames& saved);

}  // namespace vel
