// reader_invariants.h: what every result of the untrusted-input parsers must
// satisfy, checked by the fuzz targets and by the unit test that replays the
// fuzz corpus and the saved crash inputs. Each check returns an empty text or
// the broken rule.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/parse_result.h"
#include "gfx/image.h"
#include "gfx/mesh.h"
#include "play/recording.h"
#include "scene_api/settings.h"

namespace vel::fuzz {

inline bool unit_channel(float c) {
  return c >= 0.0f && c <= 1.0f;
}

inline bool same_bits(const void* a, const void* b, size_t size) {
  return size == 0 || std::memcmp(a, b, size) == 0;
}

template <class T>
bool same_bits(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && same_bits(a.data(), b.data(), a.size() * sizeof(T));
}

// A refusal must name the file; an accepted image must be safe for the
// rasteriser and the blitter to index without checks.
inline std::string check_image(const ParseResult<Image>& result, const std::string& path) {
  if (!result) {
    if (result.error.find(path) == std::string::npos) return "error does not name the file";
    return {};
  }
  const Image& image = *result.value;
  if (image.path != path) return "path not kept";
  if (image.width < 0 || image.width > 65535 || image.height < 0 || image.height > 65535) {
    return "size outside the TGA range";
  }
  const size_t pixel_count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  if (image.colour_mapped) {
    if (!image.pixels.empty()) return "colour-mapped image with true-colour pixels";
    if (image.indices.size() != pixel_count) return "index count is not width * height";
    for (const uint8_t index : image.indices) {
      if (index >= image.palette.size()) return "index beyond the palette";
    }
    for (const Colour& c : image.palette) {
      if (!unit_channel(c.r) || !unit_channel(c.g) || !unit_channel(c.b) || c.a != 1.0f) {
        return "palette entry outside 0..1 or not opaque";
      }
    }
  } else {
    if (!image.palette.empty() || !image.indices.empty()) return "true-colour image with a palette";
    if (image.pixels.size() != pixel_count) return "pixel count is not width * height";
    for (const Colour& c : image.pixels) {
      if (!unit_channel(c.r) || !unit_channel(c.g) || !unit_channel(c.b) || !unit_channel(c.a)) {
        return "pixel channel outside 0..1";
      }
    }
  }
  return {};
}

// Decoding the same bytes twice must give the same bits.
inline bool same_image(const ParseResult<Image>& a, const ParseResult<Image>& b) {
  if (a.value.has_value() != b.value.has_value()) return false;
  if (!a) return a.error == b.error;
  const Image& x = *a.value;
  const Image& y = *b.value;
  return x.width == y.width && x.height == y.height && x.colour_mapped == y.colour_mapped &&
         same_bits(x.palette, y.palette) && x.indices == y.indices && same_bits(x.pixels, y.pixels);
}

// A refusal must name the file; an accepted mesh must hold only complete
// triangles whose indices the mesh drawer can follow without checks. A mesh
// without normals carries normal index 0 on every corner.
inline std::string check_mesh(const ParseResult<Mesh>& result, const std::string& path) {
  if (!result) {
    if (result.error.find(path) == std::string::npos) return "error does not name the file";
    return {};
  }
  const Mesh& mesh = *result.value;
  if (mesh.path != path) return "path not kept";
  if (mesh.corners.size() % 3 != 0) return "incomplete triangle";
  for (const Corner& c : mesh.corners) {
    if (c.position >= mesh.positions.size()) return "position index beyond the array";
    if (c.texcoord >= mesh.texcoords.size()) return "texcoord index beyond the array";
    if (mesh.normals.empty() ? c.normal != 0 : c.normal >= mesh.normals.size()) {
      return "normal index beyond the array";
    }
  }
  if (mesh.positions.empty() &&
      !(std::isnan(mesh.centre.x) && std::isnan(mesh.centre.y) && std::isnan(mesh.centre.z))) {
    return "centre of a mesh without positions is not NaN";
  }
  return {};
}

inline bool same_mesh(const ParseResult<Mesh>& a, const ParseResult<Mesh>& b) {
  if (a.value.has_value() != b.value.has_value()) return false;
  if (!a) return a.error == b.error;
  const Mesh& x = *a.value;
  const Mesh& y = *b.value;
  return same_bits(x.positions, y.positions) && same_bits(x.texcoords, y.texcoords) &&
         same_bits(x.normals, y.normals) && same_bits(x.corners, y.corners) &&
         same_bits(&x.centre, &y.centre, sizeof(Vec3));
}

// Whatever the text, the record stays within the ranges the shell and the
// scene rely on.
inline std::string check_settings(const Settings& s) {
  if (s.load_status != kSettingsLoaded && s.load_status != kSettingsLineRejected) {
    return "load_status other than 0 or 1 from text";
  }
  if (!unit_channel(s.music_volume) || !unit_channel(s.sfx_volume)) {
    return "volume outside 0..1 or NaN";
  }
  return {};
}

inline bool same_settings(const Settings& a, const Settings& b) {
  return a.controls == b.controls && same_bits(&a.music_volume, &b.music_volume, sizeof(float)) &&
         same_bits(&a.sfx_volume, &b.sfx_volume, sizeof(float)) && a.show_fps == b.show_fps &&
         a.load_status == b.load_status && a.fullscreen == b.fullscreen && a.vsync == b.vsync &&
         a.interlaced == b.interlaced;
}

// A refusal names the file; an accepted recording holds only what the replay
// hands the scene without checks: finite times and steps, scene numbers from
// 0, control bits 0 to 13, settings within their ranges, lines in order.
inline std::string check_recording(const ParseResult<Recording>& result, const std::string& path) {
  if (!result) {
    if (result.error.find(path) == std::string::npos) return "error does not name the file";
    return {};
  }
  const Recording& recording = *result.value;
  // The settings record in force: load_status 2 (an unreadable
  // settings.txt) is as valid here as the other two.
  if (recording.settings.load_status > kSettingsUnreadable) return "load_status beyond 2";
  if (!unit_channel(recording.settings.music_volume) ||
      !unit_channel(recording.settings.sfx_volume)) {
    return "volume outside 0..1 or NaN";
  }
  size_t previous_line = 0;
  size_t count = 0;
  EventPlace place = first_event(recording);
  while (const std::optional<RecordedEvent> read = next_event(recording, place)) {
    const RecordedEvent& event = *read;
    count += 1;
    if (event.line <= previous_line) return "event lines out of order";
    previous_line = event.line;
    if (event.scene < 0) return "negative scene number";
    if (!std::isfinite(event.time) || !std::isfinite(event.dt)) return "time or step not finite";
    if ((event.input.held & ~kControlSlotBits) != 0) return "held bits beyond the control slots";
  }
  if (count != recording.event_count) return "events read back differ from those counted";
  return {};
}

inline bool same_recording(const ParseResult<Recording>& a, const ParseResult<Recording>& b) {
  if (a.value.has_value() != b.value.has_value()) return false;
  if (!a) return a.error == b.error;
  const Recording& x = *a.value;
  const Recording& y = *b.value;
  if (!same_settings(x.settings, y.settings) || x.play_rules != y.play_rules ||
      x.event_count != y.event_count) {
    return false;
  }
  EventPlace at_x = first_event(x);
  EventPlace at_y = first_event(y);
  for (size_t i = 0; i < x.event_count; ++i) {
    const std::optional<RecordedEvent> read_x = next_event(x, at_x);
    const std::optional<RecordedEvent> read_y = next_event(y, at_y);
    if (!read_x || !read_y) return false;
    const RecordedEvent& e = *read_x;
    const RecordedEvent& f = *read_y;
    if (e.kind != f.kind || e.scene != f.scene || e.line != f.line ||
        e.input.held != f.input.held || !same_bits(&e.time, &f.time, sizeof(float)) ||
        !same_bits(&e.dt, &f.dt, sizeof(float)) ||
        !same_bits(&e.input.look, &f.input.look, sizeof(Vec2))) {
      return false;
    }
  }
  return true;
}

}  // namespace vel::fuzz
