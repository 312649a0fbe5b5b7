// texel_source.cpp: checking a texture once per triangle before any texel
// of it is read.
#include "gfx/texel_source.h"

namespace vel {

TexelSource texel_source(const Image* image) {
  TexelSource src;
  if (image == nullptr || image->width <= 0 || image->height <= 0) return src;
  const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
  src.width = static_cast<size_t>(image->width);
  src.u_extent = static_cast<float>(image->width - 1);
  src.v_extent = static_cast<float>(image->height - 1);
  src.colour_mapped = image->colour_mapped;
  src.lane_addressable = image->width <= (1 << 24) && image->height <= (1 << 24) &&
                         count <= static_cast<size_t>(INT32_MAX);
  if (image->colour_mapped) {
    if (image->indices.size() < count) return src;
    src.indices = image->indices.data();
    src.palette = image->palette.data();
    src.palette_size = image->palette.size();
  } else {
    if (image->pixels.size() < count) return src;
    src.pixels = image->pixels.data();
  }
  src.usable = true;
  return src;
}

}  // namespace vel
