// scene.h: the one polymorphic interface of the program, and the frame
// every program runs through it: the scene steps and says what happened,
// then draws what the step left, then ends the frame.
#pragma once

#include <cstdint>
#include <optional>

#include "gfx/framebuffer.h"
#include "scene_api/frame_events.h"
#include "scene_api/input.h"
#include "scene_api/settings.h"
#include "scene_api/soundscape.h"

namespace vel {

struct FrameResult {
  std::optional<int32_t> next_scene;  // absent: keep; -1: quit; else index
  bool relative_mouse = true;
};

class Scene {
 public:
  virtual ~Scene() = default;
  virtual void init(const Settings& settings, float time) = 0;
  // Advances every rule by one frame and appends what happened to
  // `events`. Writes no picture.
  virtual FrameResult step(const InputState& input, float dt, float time, const Settings& settings,
                           FrameEvents& events) = 0;
  // Draws the state the last step left. Only the framebuffer and the
  // scene's own picture memory (what a later frame shows of this one) are
  // written; every rule's state is only read.
  virtual void draw(Framebuffer& framebuffer) = 0;
  // After the picture: whatever must see the finished frame (a timed
  // ending) and the bookkeeping that counts drawn frames.
  // May report what it did (a new level built) in `events`.
  virtual void end_frame(const Framebuffer& framebuffer, float dt, float time,
                         const Settings& settings, FrameEvents& events) = 0;
  // What the world sounds like after the frame; a scene without a world
  // (the default) is heard as the title: no city around.
  virtual void listen(Soundscape& /*heard*/) const {}

  // One whole frame: step, draw, end. The events are dropped.
  FrameResult update(const InputState& input, Framebuffer& framebuffer, float dt, float time,
                     const Settings& settings);
};

// The frame every program runs: the scene's step, its drawing, and the end
// of its frame, in that order. `events` receives what the step reported.
FrameResult run_frame(Scene& scene, const InputState& input, float dt, float time,
                      const Settings& settings, Framebuffer& framebuffer, FrameEvents& events);

}  // namespace vel
