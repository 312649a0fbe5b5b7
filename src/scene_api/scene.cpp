// scene.cpp: the frame every program runs through the Scene interface.
#include "scene_api/scene.h"

#include "gfx/draw_workers.h"

namespace vel {

FrameResult run_frame(Scene& scene, const InputState& input, float dt, float time,
                      const Settings& settings, Framebuffer& framebuffer, FrameEvents& events) {
  events.clear();
  if (framebuffer.workers != nullptr) wake_draw_workers(*framebuffer.workers);
  const FrameResult result = scene.step(input, dt, time, settings, events);
  scene.draw(framebuffer);
  scene.end_frame(framebuffer, dt, time, settings, events);
  return result;
}

FrameResult Scene::update(const InputState& input, Framebuffer& framebuffer, float dt, float time,
                          const Settings& settings) {
  FrameEvents events;
  return run_frame(*this, input, dt, time, settings, framebuffer, events);
}

}  // namespace vel
