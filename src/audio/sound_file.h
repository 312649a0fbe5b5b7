// sound_file.h: the `--wav` output of the programs: the played game's
// sound track, rendered frame by frame as the frames run and written as a
// 48 kHz stereo 16-bit WAV file through libsndfile. A file is written
// beside its name and renamed over it once complete, as every other output
// is; a device or FIFO (or standard output) is written directly.
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
  std::string error;       // the first write that failed
  std::string final_name;  // the name renamed over at the close ("" when written directly)
  std::string temp_name;   // the file the samples go to until then
  int descriptor = -1;     // the temporary file's, for its sync
  std::vector<int16_t> buffer;
  // Sample frames the file can still take: a WAV file's sizes are 32-bit,
  // and a header past 4 GiB would tell a reader of a fraction of the data.
  int64_t frames_left = 0;
};

// Opens the file (its temporary file, for a file); an empty string, or the
// error naming it.
// The track's sample 0 is at `start_time`.
std::string sound_out_open(SoundOut& out, const std::string& path, float start_time);
// After each frame: the frame's samples, from its events and what its
// scene sounds like.
void sound_out_frame(SoundOut& out, const FrameEvents& events, const Soundscape& heard, float time,
                     float dt, const Settings& settings);
// Closes the file; an empty string when every sample reached it (and the
// temporary file took its name). Does nothing when nothing was opened.
std::string sound_out_close(SoundOut& out);
// Closes the file of a run that failed: a temporary file is removed, and
// whatever was at the name stays as it was.
void sound_out_abandon(SoundOut& out);

}  // namespace vel
