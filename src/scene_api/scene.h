// scene.h: the one polymorphic interface of the program.
#pragma once

#include <cstdint>
#include <optional>

#include "gfx/framebuffer.h"
#include "scene_api/input.h"
#include "scene_api/settings.h"

namespace vel {

struct FrameResult {
  std::optional<int32_t> next_scene;  // absent: keep; -1: quit; else index
  bool relative_mouse = true;
};

class Scene {
 public:
  virtual ~Scene() = default;
  virtual void init(const Settings& settings, float time) = 0;
  virtual FrameResult update(const InputState& input, Framebuffer& framebuffer, float dt,
                             float time, const Settings& settings) = 0;
};

}  // namespace vel
