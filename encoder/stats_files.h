#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <stdint.h>
#include <x264.h>

#include "encoder/error.h"
#include "encoder/frame_rate.h"

namespace korvu::enc {

// The side file of the statistics file `name`: "<name>.mbtree".
std::string SideFileName(const std::string& name);

// What x264's rate control reads from the entries of a statistics file, one per frame.
struct StatsTotals {
  int64_t frames = 0;
  int64_t reference_frames = 0;  // all but type "b": each has a record in the side file
  int64_t ticks = 0;             // the frames' durations, in half frames of the time base
  uint64_t header_bits = 0;      // "misc": what no bitrate makes smaller
};

// Sums the entries (the text after the "#options:" line).
StatsTotals CountEntries(std::string_view entries);

// Throws Error("-br", ...) when pass 2 at `kbits` would not have the bits for the headers that
// the statistics note: x264 refuses such a bitrate.
void CheckBitrate(const StatsTotals& totals, Rational frame_rate, int kbits);

// The statistics of pass 1 as x264 writes them: the statistics file and its side file
// "<name>.mbtree". x264 writes both under a working name beside the final one; Commit() gives
// them their names, and when the pass fails they are removed, so that a statistics file that is
// there is always whole.
class StatsOutput {
 public:
  // Throws Error(name, reason) when the statistics file cannot be written.
  explicit StatsOutput(std::string name);
  ~StatsOutput();
  StatsOutput(const StatsOutput&) = delete;
  StatsOutput& operator=(const StatsOutput&) = delete;

  // Every name that pass 1 writes for the statistics `name`: both files under their names and
  // under the working names that x264 and this class give them.
  static std::vector<std::string> NamesWritten(const std::string& name);

  // The name to give x264.
  char* WorkingName() { return working_.data(); }
  // Call after x264 has been closed, with the number of frames it coded and its settings. Checks
  // that both files are whole - x264 does not notice when its last writes fail as it closes them
  // (a full disk, a file size limit) - and that x264 wrote the side file its settings ask for.
  // Throws Error(name, the disk's reason) otherwise.
  StatsTotals Verify(int64_t frames, const x264_param_t& settings) const;
  // Gives the verified files their names. Throws Error(name, reason).
  void Commit();
  // x264 said it could not write the statistics: the error to report, with the disk's reason
  // when writing more to the working files shows one, else `x264_error`.
  Error WriteFailure(const Error& x264_error) const;

 private:
  static std::vector<std::string> WorkingNames(const std::string& name);
  void RemoveWorkingFiles() const;
  [[noreturn]] void FailWriting(const std::string& file, int64_t missing) const;

  std::string name_;
  std::string working_;
  bool committed_ = false;
};

// What pass 2 reads from the statistics of pass 1.
struct FirstPassStats {
  // The picture size ("size"), frame rate, time base and the settings x264 noted, by x264's
  // names (bframes, keyint, ...).
  std::map<std::string, std::string> settings;
  StatsTotals totals;
};

// Reads the statistics file `name` and checks that its side file is there when x264 noted one
// ("mbtree=1"; there is none with a keyframe every frame). Throws Error naming the file when
// either is missing or unreadable, or when it holds no x264 statistics.
FirstPassStats ReadFirstPassStats(const std::string& name);

// Checks the statistics against `first_pass`: the settings of a pass 1 with today's options, as
// x264 completed them. Throws Error(name, ...) naming the first setting that differs.
void CheckSameSettings(const FirstPassStats& stats, const x264_param_t& first_pass,
                       const std::string& name);

}  // namespace korvu::enc
