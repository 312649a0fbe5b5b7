// sound_file.cpp: the sound track of a run into a WAV file.
#include "audio/sound_file.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/atomic_file.h"

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
  const OutputTarget target = output_target(path);
  if (target.os_error != 0) return path + ": " + std::strerror(target.os_error);
  if (target.descriptor >= 0) {
    out.file = sf_open_fd(target.descriptor, SFM_WRITE, &info, SF_FALSE);
  } else if (target.direct) {
    out.file = sf_open(target.name.c_str(), SFM_WRITE, &info);
  } else {
    // The previous file stays until the new one is complete.
    const std::string temp = temporary_name(target.name);
    out.descriptor =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (out.descriptor < 0) return path + ": cannot create " + temp + ": " + std::strerror(errno);
    out.file = sf_open_fd(out.descriptor, SFM_WRITE, &info, SF_FALSE);
    out.final_name = target.name;
    out.temp_name = temp;
    if (out.file == nullptr) {
      const std::string error = path + ": " + sf_strerror(nullptr);
      ::close(out.descriptor);
      ::unlink(temp.c_str());
      out.descriptor = -1;
      return error;
    }
  }
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
  if (out.descriptor >= 0) {
    if (::fsync(out.descriptor) != 0 && out.error.empty()) {
      out.error = out.path + ": " + std::strerror(errno);
    }
    if (::close(out.descriptor) != 0 && errno != EINTR && out.error.empty()) {
      out.error = out.path + ": " + std::strerror(errno);
    }
    out.descriptor = -1;
    if (out.error.empty() && std::rename(out.temp_name.c_str(), out.final_name.c_str()) != 0) {
      out.error =
          out.path + ": cannot replace it with " + out.temp_name + ": " + std::strerror(errno);
    }
    if (!out.error.empty()) ::unlink(out.temp_name.c_str());
  }
  return out.error;
}

void sound_out_abandon(SoundOut& out) {
  if (out.descriptor >= 0 && out.error.empty()) out.error = out.path + ": the run failed";
  sound_out_close(out);
}

}  // namespace vel
