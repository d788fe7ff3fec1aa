#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <stdint.h>
#include <x264.h>

namespace korvu::enc {

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

  // The name to give x264.
  char* WorkingName() { return working_.data(); }
  // Call after x264 has been closed, with the number of frames it coded. Throws Error(name,
  // reason), also when the statistics hold fewer frames: x264 does not notice when the last of
  // them cannot be written, on a full disk for instance.
  void Commit(int64_t frames);

 private:
  void RemoveWorkingFiles() const;

  std::string name_;
  std::string working_;
  bool committed_ = false;
};

// What pass 2 reads from the statistics of pass 1.
struct FirstPassStats {
  // The picture size ("size"), frame rate, time base and the settings x264 noted, by x264's
  // names (bframes, keyint, ...).
  std::map<std::string, std::string> settings;
  int64_t frames = 0;
};

// Reads the statistics file `name` and checks that its side file is there. Throws Error naming
// the file when either is missing or unreadable, or when it holds no x264 statistics.
FirstPassStats ReadFirstPassStats(const std::string& name);

// Checks the statistics against `first_pass`: the settings of a pass 1 with today's options, as
// x264 completed them. Throws Error(name, ...) naming the first setting that differs.
void CheckSameSettings(const FirstPassStats& stats, const x264_param_t& first_pass,
                       const std::string& name);

}  // namespace korvu::enc
