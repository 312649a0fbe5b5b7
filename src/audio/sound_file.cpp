// sound_file.cpp: the sound track of a run into a WAV file.
#include "audio/sound_file.h"

#include <sndfile.h>

#include <algorithm>

namespace vel {

namespace {

constexpr size_t kChunkFrames = 4800;  // 0.1 s rendered and written at a time
// 16-bit stereo after the 44-byte header, all within a 32-bit RIFF size.
constexpr int64_t kWavFramesMax = (int64_t{0xFFFFFFFF} - 44) / 4;

}  // namespace

std::string sound_out_open(SoundOut& out, const std::string& path, float start_time) {
  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  out.file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (out.file == nullptr) return path + ": " + sf_strerror(nullptr);
  out.path = path;
  out.track = std::make_unique<SoundTrack>();
  sound_track_start(*out.track, start_time);
  out.buffer.assign(2 * kChunkFrames, 0);
  out.frames_left = kWavFramesMax;
  return {};
}

void sound_out_frame(SoundOut& out, const FrameEvents& events, const Soundscape& heard, float time,
                     float dt, const Settings& settings) {
  if (out.file == nullptr) return;
  int64_t owed = sound_track_frame(*out.track, events, heard, time, dt);
  while (owed > 0) {
    if (out.frames_left == 0) {
      // Stop at the limit, so that the header stays true to the data.
      if (out.error.empty()) {
        out.error = out.path + ": the sound track is longer than a WAV file can hold (4 GiB)";
      }
      return;
    }
    const size_t frames =
        static_cast<size_t>(std::min({owed, int64_t{kChunkFrames}, out.frames_left}));
    sound_track_render(*out.track, settings, out.buffer.data(), frames);
    const sf_count_t written =
        sf_writef_short(out.file, out.buffer.data(), static_cast<sf_count_t>(frames));
    if (written != static_cast<sf_count_t>(frames) && out.error.empty()) {
      out.error = out.path + ": " + sf_strerror(out.file);
    }
    owed -= static_cast<int64_t>(frames);
    out.frames_left -= static_cast<int64_t>(frames);
  }
}

std::string sound_out_close(SoundOut& out) {
  if (out.file == nullptr) return {};
  if (sf_close(out.file) != 0 && out.error.empty()) out.error = out.path + ": could not close";
  out.file = nullptr;
  return out.error;
}

}  // namespace vel
