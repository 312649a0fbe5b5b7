// sdl_audio.cpp: the audio device and the queue the main loop keeps filled.
#include "play/sdl_audio.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace vel {

namespace {

constexpr uint32_t kFrameBytes = 2 * sizeof(int16_t);
constexpr uint16_t kDeviceFrames = 256;  // 5.3 ms per device buffer

// Standard error put aside while SDL2 looks for a sound device: the
// libraries behind its drivers (ALSA's above all) print lines of their own
// for a machine with no sound, and the game says it in one.
class QuietStandardError {
 public:
  QuietStandardError() {
    std::fflush(stderr);
    saved_ = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) ::dup2(null, 2);
    if (null >= 0) ::close(null);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;
  ~QuietStandardError() { restore(); }
  void restore() {
    if (saved_ < 0) return;
    ::dup2(saved_, 2);
    ::close(saved_);
    saved_ = -1;
  }

 private:
  int saved_ = -1;
};

}  // namespace

SdlAudio::~SdlAudio() {
  if (device != 0) SDL_CloseAudioDevice(device);
  if (subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void open_audio(SdlAudio& audio, float time) {
  QuietStandardError quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    quiet.restore();
    std::fprintf(stderr, "veltrocane-play: no sound (%s)\n", SDL_GetError());
    return;
  }
  audio.subsystem = true;
  SDL_AudioSpec wanted{};
  wanted.freq = kSampleRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = kDeviceFrames;
  wanted.callback = nullptr;  // queued from the main loop
  SDL_AudioSpec got{};
  // No changes allowed: SDL converts for a device that wants another format.
  audio.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, 0);
  quiet.restore();
  if (audio.device == 0) {
    std::fprintf(stderr, "veltrocane-play: no sound (%s)\n", SDL_GetError());
    return;
  }
  audio.track = std::make_unique<SoundTrack>();
  sound_track_start(*audio.track, time);
  audio.buffer.assign(2 * kQueueCap, 0);
  SDL_PauseAudioDevice(audio.device, 0);
}

void audio_frame(SdlAudio& audio, const FrameEvents& events, const Soundscape& heard, float time,
                 float dt, const Settings& settings) {
  if (audio.device == 0) return;
  const int64_t owed = sound_track_frame(*audio.track, events, heard, time, dt);
  const uint32_t queued = SDL_GetQueuedAudioSize(audio.device) / kFrameBytes;
  int64_t frames = owed;
  if (queued + frames < kQueueTarget) frames = kQueueTarget - queued;  // a long frame: top up
  if (queued + frames > kQueueCap) frames = queued < kQueueCap ? kQueueCap - queued : 0;
  if (frames <= 0) return;
  const size_t count = static_cast<size_t>(frames);
  sound_track_render(*audio.track, settings, audio.buffer.data(), count);
  // A failed queue is a moment of silence, not a reason to stop the game.
  SDL_QueueAudio(audio.device, audio.buffer.data(), static_cast<uint32_t>(count * kFrameBytes));
}

}  // namespace vel
