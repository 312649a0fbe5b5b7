// shell_test.cpp: the letterbox rule, the error line, the clock, and the
// real main loop driving scripted scenes on a real (virtual) X display.
#include "main/shell.h"

#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "main/letterbox.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define VEL_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/lsan_interface.h>
#define VEL_LEAK_CHECKER 1
#endif
#endif

namespace vel {
namespace {

// The system's OpenGL driver and D-Bus keep allocations for the life of
// the process, and the driver is unloaded before the leak report, so no
// suppression can name it. Allocations made while SDL2 runs are therefore
// not leak-checked in the sanitizer build (all other checks stay on).
void ignore_system_leaks(bool ignore) {
#ifdef VEL_LEAK_CHECKER
  if (ignore) {
    __lsan_disable();
  } else {
    __lsan_enable();
  }
#else
  (void)ignore;
#endif
}

// ---------------------------------------------------------------- letterbox

void expect_rect(LetterboxRect r, int32_t x, int32_t y, int32_t width, int32_t height) {
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.width, width);
  EXPECT_EQ(r.height, height);
}

TEST(Letterbox, FitsThePictureTo16By9) {
  expect_rect(letterbox_rect(1920, 1080), 0, 0, 1920, 1080);  // exact 16:9 fills all
  expect_rect(letterbox_rect(640, 360), 0, 0, 640, 360);
  expect_rect(letterbox_rect(800, 600), 0, 75, 800, 450);  // 4:3: bands above and below
  expect_rect(letterbox_rect(1920, 1200), 0, 60, 1920, 1080);
  expect_rect(letterbox_rect(2560, 1080), 320, 0, 1920, 1080);  // 21:9: bands at the sides
  // Slightly wider than 16:9: the width is truncated, not rounded.
  expect_rect(letterbox_rect(1366, 768), 0, 0, 1365, 768);
}

TEST(Letterbox, DegenerateDrawablesStillGiveAValidRectangle) {
  expect_rect(letterbox_rect(0, 0), 0, kLargestRectValue, 1, 1);  // out of sight
  expect_rect(letterbox_rect(1000, 0), 499, 0, 1, 1);
  expect_rect(letterbox_rect(0, 1000), 0, 499, 1, 1);
  expect_rect(letterbox_rect(1, 1), 0, 0, 1, 1);
  for (const auto& [w, h] : {std::pair{4294967295u, 4294967295u}, std::pair{4294967295u, 1u},
                             std::pair{1u, 4294967295u}, std::pair{3000000000u, 1000000000u}}) {
    const LetterboxRect r = letterbox_rect(w, h);
    EXPECT_GE(r.x, 0) << w << "x" << h;
    EXPECT_GE(r.y, 0) << w << "x" << h;
    EXPECT_GE(r.width, 1) << w << "x" << h;
    EXPECT_LE(r.width, kLargestRectValue) << w << "x" << h;
    EXPECT_GE(r.height, 1) << w << "x" << h;
    EXPECT_LE(r.height, kLargestRectValue) << w << "x" << h;
  }
  // Centring uses the clamped size: (4294967295 - 1073741823) / 2.
  expect_rect(letterbox_rect(4294967295u, 4294967295u), 0, 1610612736, kLargestRectValue,
              kLargestRectValue);
}

// ------------------------------------------------------- error line, clock

TEST(ErrorText, EscapesQuotesBackslashesAndControls) {
  EXPECT_EQ(escape_error_text("nonexistent not available"), "nonexistent not available");
  EXPECT_EQ(escape_error_text("say \"hi\" C:\\x"), "say \\\"hi\\\" C:\\\\x");
  EXPECT_EQ(escape_error_text("a\nb\rc\td"), "a\\nb\\rc\\td");
  EXPECT_EQ(escape_error_text(std::string_view("\0\x01\x1b\x7f", 4)),
            "\\u{00}\\u{01}\\u{1b}\\u{7f}");
  EXPECT_EQ(escape_error_text("\xC2\x85|\xC2\x9F"), "\\u{85}|\\u{9f}");          // C1 controls
  EXPECT_EQ(escape_error_text("caf\xC3\xA9 \xC2\xA0"), "caf\xC3\xA9 \xC2\xA0");  // printable
}

TEST(ErrorText, ExitStatusIsOneWithTheQuotedLineOnStandardError) {
  EXPECT_EQ(shell_exit_status(ShellResult{}), 0);
  ::testing::internal::CaptureStderr();
  const int status = shell_exit_status(ShellResult{"SDL error: \"x\"\n"});
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(printed, "Error: \"SDL error: \\\"x\\\"\\n\"\n");
}

TEST(Clock, SecondsAreWholeSecondsPlusNanosecondsInSinglePrecision) {
  using std::chrono::nanoseconds;
  EXPECT_EQ(clock_seconds(nanoseconds{0}), 0.0f);
  EXPECT_EQ(clock_seconds(nanoseconds{2500000000}), 2.5f);
  EXPECT_EQ(clock_seconds(nanoseconds{1}), 1.0f / 1000000000.0f);
  // 12.6 s: 12.0f + 0.6f, which is not the float nearest to 12.6.
  EXPECT_EQ(clock_seconds(nanoseconds{12600000000}), 12.0f + 600000000.0f / 1000000000.0f);
}

// ------------------------------------------------------ the real main loop

// SDL2's dummy video driver cannot make the OpenGL window the shell asks
// for, so the loop tests need an X display; without one they start a
// private Xvfb of their own (ended by its process id in TearDown).
class XDisplay : public ::testing::Environment {
 public:
  static bool available() { return available_; }

  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && display[0] != '\0') {
      available_ = true;
      return;
    }
    int ready[2];
    if (::pipe(ready) != 0) return;
    server_ = ::fork();
    if (server_ == 0) {
      ::close(ready[0]);
      const int quiet = ::open("/dev/null", O_WRONLY);
      ::dup2(quiet, STDOUT_FILENO);
      ::dup2(quiet, STDERR_FILENO);
      const std::string fd = std::to_string(ready[1]);
      // -noreset: a server that resets when its last client leaves refuses
      // the next test's connection for a moment.
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset", "-screen",
               "0", "1280x720x24", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(ready[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    pollfd wait_for{ready[0], POLLIN, 0};
    while (server_ > 0 && ::poll(&wait_for, 1, 10000) > 0) {
      char c = 0;
      if (::read(ready[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    ::close(ready[0]);
    if (number.empty()) return;
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    available_ = true;
  }

  void TearDown() override {
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      ::waitpid(server_, nullptr, 0);
    }
  }

 private:
  static inline bool available_ = false;
  pid_t server_ = -1;
};

[[maybe_unused]] const auto* const kXDisplay = ::testing::AddGlobalTestEnvironment(new XDisplay);

// What the scripted scenes saw, kept outside them so it outlives them.
struct SceneLog {
  int inits = 0;
  int updates = 0;
  int destroyed = 0;
  bool input_was_zero = true;
  bool video_up_when_destroyed = true;
  std::vector<float> init_times;
  std::vector<float> dts;
  std::vector<float> times;
};

// A scene whose answer on each frame (1, 2, ...) comes from `plan`.
struct ScriptedScene final : Scene {
  ScriptedScene(SceneLog& log_, std::function<FrameResult(int)> plan_,
                std::chrono::milliseconds init_work_ = {})
      : log(log_), plan(std::move(plan_)), init_work(init_work_) {}
  ~ScriptedScene() override {
    ++log.destroyed;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) log.video_up_when_destroyed = false;
  }
  void init(const Settings&, float time) override {
    ++log.inits;
    log.init_times.push_back(time);
    std::this_thread::sleep_for(init_work);  // stands for asset loading
  }
  FrameResult step(const InputState& input, float dt, float time, const Settings&,
                   FrameEvents&) override {
    ++log.updates;
    if (input.held != 0 || input.look.x != 0.0f || input.look.y != 0.0f) {
      log.input_was_zero = false;
    }
    log.dts.push_back(dt);
    log.times.push_back(time);
    if (log.updates > 500) return FrameResult{-1, false};  // never hang a broken shell
    return plan(log.updates);
  }

  void draw(Framebuffer& framebuffer) override {
    EXPECT_EQ(framebuffer.width, 320);
    EXPECT_EQ(framebuffer.height, 180);
    EXPECT_EQ(framebuffer.colour.size(), 172800u);
  }
  void end_frame(const Framebuffer&, float, float, const Settings&, FrameEvents&) override {}

  SceneLog& log;
  std::function<FrameResult(int)> plan;
  std::chrono::milliseconds init_work;
};

FrameResult keep() {
  return FrameResult{std::nullopt, false};
}
FrameResult go_to(int32_t index) {
  return FrameResult{index, false};
}

class ShellLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    ignore_system_leaks(true);
    if (!XDisplay::available()) GTEST_SKIP() << "no X display and no Xvfb to start one";
    // The X display, not whatever SDL2 would probe first (a Wayland probe
    // without a session only adds noise on standard error).
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
  }
  void TearDown() override {
    ::unsetenv("SDL_VIDEODRIVER");
    EXPECT_EQ(SDL_WasInit(0), 0u) << "SDL2 left initialised";
    ignore_system_leaks(false);
  }

  // Runs the shell with one scripted scene and returns whether it ended
  // without an error.
  bool run_one(SceneLog& log, std::function<FrameResult(int)> plan,
               std::chrono::milliseconds init_work = {}) {
    const ShellResult result = run_shell(Settings{}, [&] {
      SceneList scenes;
      scenes.push_back(std::make_unique<ScriptedScene>(log, plan, init_work));
      return scenes;
    });
    EXPECT_FALSE(result.error.has_value()) << *result.error;
    return !result.error.has_value();
  }
};

TEST_F(ShellLoop, RunsFramesWithZeroInputUntilTheSceneQuits) {
  SceneLog log;
  ASSERT_TRUE(run_one(
      log, [](int frame) { return frame == 5 ? go_to(-1) : keep(); },
      std::chrono::milliseconds(60)));
  EXPECT_EQ(log.inits, 1);
  EXPECT_EQ(log.updates, 5);
  EXPECT_EQ(log.destroyed, 1);
  EXPECT_TRUE(log.input_was_zero);
  EXPECT_TRUE(log.video_up_when_destroyed) << "scenes must go before SDL2 shuts down";
  ASSERT_EQ(log.dts.size(), 5u);
  // The first dt covers the first init, since last_frame is taken before
  // the scene is built.
  EXPECT_GE(log.dts[0], 0.06f);
  EXPECT_GE(log.times[0], log.init_times[0] + 0.06f);
  for (size_t i = 1; i < log.times.size(); ++i) {
    EXPECT_GE(log.times[i], log.times[i - 1]);
    EXPECT_GE(log.dts[i], 0.0f);
  }
}

TEST_F(ShellLoop, NextSceneOutsideTheListIsIgnored) {
  SceneLog log;
  ASSERT_TRUE(run_one(log, [](int frame) {
    switch (frame) {
      case 1:
        return go_to(5);
      case 2:
        return go_to(1);  // the list holds only entry 0
      case 3:
        return go_to(-2);
      case 4:
        return go_to(INT32_MAX);
      case 5:
        return go_to(INT32_MIN);
      case 6:
        return go_to(-1);
      default:
        return keep();
    }
  }));
  EXPECT_EQ(log.inits, 1);
  EXPECT_EQ(log.updates, 6);
}

TEST_F(ShellLoop, SwitchingToTheCurrentSceneInitialisesItAgain) {
  SceneLog log;
  ASSERT_TRUE(run_one(log, [](int frame) {
    if (frame == 2 || frame == 3) return go_to(0);
    return frame == 4 ? go_to(-1) : keep();
  }));
  EXPECT_EQ(log.inits, 3);
  EXPECT_EQ(log.updates, 4);
  ASSERT_EQ(log.init_times.size(), 3u);
  EXPECT_GE(log.init_times[1], log.times[1]);  // a fresh time, taken after the update
}

TEST_F(ShellLoop, SwitchingSceneRunsTheOtherAndKeepsTheOneLeft) {
  SceneLog first;
  SceneLog second;
  const ShellResult result = run_shell(Settings{}, [&] {
    SceneList scenes;
    scenes.push_back(std::make_unique<ScriptedScene>(
        first, [](int frame) { return frame == 2 ? go_to(1) : keep(); }));
    scenes.push_back(std::make_unique<ScriptedScene>(
        second, [](int frame) { return frame == 3 ? go_to(-1) : keep(); }));
    return scenes;
  });
  EXPECT_FALSE(result.error.has_value());
  EXPECT_EQ(first.inits, 1);
  EXPECT_EQ(first.updates, 2);
  EXPECT_EQ(second.inits, 1);
  EXPECT_EQ(second.updates, 3);
  EXPECT_EQ(first.destroyed, 1);
  EXPECT_EQ(second.destroyed, 1);
}

TEST_F(ShellLoop, DeviceEventsAreDroppedAndAQuitEndsTheLoopAtOnce) {
  SceneLog log;
  ASSERT_TRUE(run_one(log, [](int frame) {
    // Keys and mouse motion on every frame never reach the scene's input.
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_W;
    SDL_PushEvent(&key);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.xrel = 40;
    SDL_PushEvent(&motion);
    if (frame == 3) {
      // A quit queued behind other events still ends the loop before
      // another frame runs.
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
      SDL_PushEvent(&key);
    }
    return keep();
  }));
  EXPECT_EQ(log.updates, 3);
  EXPECT_TRUE(log.input_was_zero);
}

TEST_F(ShellLoop, ResizeUsesTheDrawableSizeNotTheEventsOwn) {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
  SDL_Window* window =
      SDL_CreateWindow("Veltrocane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 360,
                       SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  SDL_SetWindowSize(window, 800, 600);
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);

  LetterboxRect dest;
  EXPECT_FALSE(poll_shell_events(window, dest));
  expect_rect(dest, 0, 0, 640, 360);  // nothing recomputed without a resize event

  SDL_Event resized{};
  resized.type = SDL_WINDOWEVENT;
  resized.window.event = SDL_WINDOWEVENT_RESIZED;
  resized.window.windowID = SDL_GetWindowID(window);
  resized.window.data1 = 1;
  resized.window.data2 = 1;
  SDL_PushEvent(&resized);
  EXPECT_FALSE(poll_shell_events(window, dest));
  expect_rect(dest, 0, 75, 800, 450);

  // A quit stops the polling where it stands.
  SDL_SetWindowSize(window, 1920, 1080);
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  SDL_PushEvent(&resized);
  EXPECT_TRUE(poll_shell_events(window, dest));
  expect_rect(dest, 0, 75, 800, 450);

  SDL_DestroyWindow(window);
  SDL_Quit();
}

// ------------------------------------------------------ start-up failures

class ShellStartup : public ::testing::Test {
 protected:
  void SetUp() override { ignore_system_leaks(true); }
  void TearDown() override {
    ::unsetenv("SDL_VIDEODRIVER");
    EXPECT_EQ(SDL_WasInit(0), 0u) << "a failed start-up must release what it made";
    ignore_system_leaks(false);
  }
};

TEST_F(ShellStartup, UnknownVideoDriverIsReturnedAsSdlsText) {
  ::setenv("SDL_VIDEODRIVER", "nonexistent", 1);
  bool scenes_built = false;
  const ShellResult result = run_shell(Settings{}, [&] {
    scenes_built = true;
    return SceneList{};
  });
  ASSERT_TRUE(result.error.has_value());
  EXPECT_EQ(*result.error, "nonexistent not available");
  EXPECT_FALSE(scenes_built);
}

TEST_F(ShellStartup, WindowFailureIsPrefixedAndReleasesTheVideoSubsystem) {
  // The dummy driver has no OpenGL, so the window cannot be created.
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  const ShellResult result = run_shell(Settings{}, [] { return SceneList{}; });
  ASSERT_TRUE(result.error.has_value());
  EXPECT_EQ(result.error->rfind("SDL error: ", 0), 0u) << *result.error;
  EXPECT_GT(result.error->size(), std::string("SDL error: ").size());
}

}  // namespace
}  // namespace vel
