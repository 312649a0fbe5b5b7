// sound_file.h: the `--wav` output of the programs: the played game's
// sound track, rendered frame by frame as the frames run and written as a
// 48 kHz stereo 16-bit WAV file through libsndfile.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/sound_track.h"

struct sf_private_tag;  // libsndfile's SNDFILE, kept out of the header

namespace vel {

struct SoundOut {
  std::unique_ptr<SoundTrack> track;
  sf_private_tag* file = nullptr;
  std::string path;
  std::string error;  // the first write that failed
  std::vector<int16_t> buffer;
  // Sample frames the file can still take: a WAV file's sizes are 32-bit,
  // and a header past 4 GiB would tell a reader of a fraction of the data.
  int64_t frames_left = 0;
};

// Opens (truncating) the file; an empty string, or the error naming it.
// The track's sample 0 is at `start_time`.
std::string sound_out_open(SoundOut& out, const std::string& path, float start_time);
// After each frame: the frame's samples, from its events and what its
// scene sounds like.
void sound_out_frame(SoundOut& out, const FrameEvents& events, const Soundscape& heard, float time,
                     float dt, const Settings& settings);
// Closes the file; an empty string when every sample reached it. Does
// nothing when nothing was opened.
std::string sound_out_close(SoundOut& out);

}  // namespace vel
