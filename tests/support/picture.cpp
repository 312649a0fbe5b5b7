// picture.cpp: reading and writing PPM pictures and the golden comparison.
#include "support/picture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vel::test {

namespace {

// The next header number, skipping white space and # comments.
std::optional<int64_t> header_number(std::istream& in) {
  for (;;) {
    const int c = in.peek();
    if (c == '#') {
      std::string ignored;
      std::getline(in, ignored);
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      in.get();
    } else {
      break;
    }
  }
  int64_t value = 0;
  if (!(in >> value)) return std::nullopt;
  return value;
}

}  // namespace

// <dir>/<stem>.ppm -> <dir>/<stem>.actual.ppm
std::string actual_path(const std::string& path) {
  const std::string suffix = ".ppm";
  if (path.size() >= suffix.size() &&
      path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
    return path.substr(0, path.size() - suffix.size()) + ".actual.ppm";
  }
  return path + ".actual.ppm";
}

Picture picture_of(const Framebuffer& target) {
  Picture picture{target.width, target.height, {}};
  picture.rgb.resize(target.colour.size());
  for (size_t i = 0; i + 2 < target.colour.size(); i += 3) {
    picture.rgb[i] = target.colour[i + 2];
    picture.rgb[i + 1] = target.colour[i + 1];
    picture.rgb[i + 2] = target.colour[i];
  }
  return picture;
}

bool write_ppm(const std::string& path, const Picture& picture) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "P6\n" << picture.width << ' ' << picture.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(picture.rgb.data()),
            static_cast<std::streamsize>(picture.rgb.size()));
  out.close();
  return static_cast<bool>(out);
}

std::optional<Picture> read_ppm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string magic(2, '\0');
  if (!in.read(magic.data(), 2) || magic != "P6") return std::nullopt;
  const auto width = header_number(in);
  const auto height = header_number(in);
  const auto maxval = header_number(in);
  if (!width || !height || !maxval || *maxval != 255 || *width < 0 || *height < 0 ||
      *width > 65535 || *height > 65535) {
    return std::nullopt;
  }
  in.get();  // the single white-space byte before the pixels
  Picture picture{static_cast<int32_t>(*width), static_cast<int32_t>(*height), {}};
  picture.rgb.resize(static_cast<size_t>(3 * *width * *height));
  if (!in.read(reinterpret_cast<char*>(picture.rgb.data()),
               static_cast<std::streamsize>(picture.rgb.size()))) {
    return std::nullopt;
  }
  return picture;
}

std::string golden_path(const std::string& name) {
  return std::string(VEL_SOURCE_DIR) + "/tests/golden/" + name;
}

::testing::AssertionResult matches_golden(const Framebuffer& target, const std::string& path) {
  const Picture actual = picture_of(target);
  const std::optional<Picture> expected = read_ppm(path);
  if (!expected) {
    const char* update = std::getenv("VEL_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
      if (!write_ppm(path, actual)) {
        return ::testing::AssertionFailure() << "cannot write the golden picture " << path;
      }
      return ::testing::AssertionSuccess() << "wrote the new golden picture " << path;
    }
    return ::testing::AssertionFailure()
           << "golden picture " << path
           << " is missing or unreadable (run with VEL_UPDATE_GOLDEN=1 to create it)";
  }

  std::ostringstream why;
  if (expected->width != actual.width || expected->height != actual.height) {
    why << "size " << actual.width << "x" << actual.height << " differs from the golden "
        << expected->width << "x" << expected->height;
  } else {
    size_t differing = 0;
    size_t first = actual.rgb.size();
    for (size_t i = 0; i < actual.rgb.size(); ++i) {
      if (actual.rgb[i] != expected->rgb[i]) {
        ++differing;
        if (first == actual.rgb.size()) first = i;
      }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    const size_t pixel = first / 3;
    const size_t w = static_cast<size_t>(actual.width);
    why << differing << " bytes differ; first at stored row " << pixel / w << ", column "
        << pixel % w << " (channel " << first % 3 << ": " << int{actual.rgb[first]}
        << " instead of " << int{expected->rgb[first]} << ")";
  }
  const std::string written = actual_path(path);
  if (write_ppm(written, actual)) {
    why << "; the actual picture is in " << written;
  } else {
    why << "; could not write " << written;
  }
  return ::testing::AssertionFailure() << why.str();
}

}  // namespace vel::test
