#include "tests/encoder/e2e_support.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace korvu::enc::e2e {
namespace {

// "frame|key_frame=1|pict_type=I|..." as keys and values.
std::map<std::string, std::string> Fields(const std::string& line) {
  std::map<std::string, std::string> fields;
  std::istringstream parts(line);
  for (std::string part; std::getline(parts, part, '|');)
    if (size_t equals = part.find('='); equals != std::string::npos)
      fields[part.substr(0, equals)] = part.substr(equals + 1);
  return fields;
}

// The records of one section ("frame", "stream") that ffprobe prints for `args`.
std::vector<std::map<std::string, std::string>> Probe(const std::string& section,
                                                      const std::vector<std::string>& args) {
  std::vector<std::string> all = {"ffprobe", "-v", "error", "-of", "compact"};
  all.insert(all.end(), args.begin(), args.end());
  const RunResult result = RunProgram(all, ".");
  if (result.status != 0) throw std::runtime_error("ffprobe failed: " + result.err);
  std::vector<std::map<std::string, std::string>> records;
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(section + "|", 0) == 0) records.push_back(Fields(line));
  return records;
}

}  // namespace

std::vector<std::string> RunResult::ErrLines() const {
  std::vector<std::string> lines;
  std::istringstream text(err);
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

RunningProgram::RunningProgram(const std::vector<std::string>& args, const std::string& dir) {
  const std::string out = capture_ / "out", err = capture_ / "err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int error = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start " + args[0]);
}

RunResult RunningProgram::Wait() {
  int status = 0;
  waitpid(pid_, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          test::ReadFile(capture_ / "out"), test::ReadFile(capture_ / "err")};
}

RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir) {
  return RunningProgram(args, dir).Wait();
}

void Ffmpeg(const std::string& dir, const std::vector<std::string>& args) {
  std::vector<std::string> all = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
  all.insert(all.end(), args.begin(), args.end());
  const RunResult result = RunProgram(all, dir);
  if (result.status != 0) throw std::runtime_error("ffmpeg failed: " + result.err);
}

std::vector<ProbedFrame> ProbeFrames(const std::string& file) {
  std::vector<ProbedFrame> frames;
  for (auto& f :
       Probe("frame",
             {"-show_entries", "frame=key_frame,pict_type,interlaced_frame,top_field_first", file}))
    frames.push_back({f["key_frame"] == "1", f["pict_type"].empty() ? '?' : f["pict_type"][0],
                      f["interlaced_frame"] == "1", f["top_field_first"] == "1"});
  return frames;
}

std::map<std::string, std::string> ProbeStream(const std::string& file) {
  return Probe("stream", {"-select_streams", "v:0", "-show_streams", file}).at(0);
}

int LongestBRun(const std::vector<ProbedFrame>& frames) {
  int longest = 0, run = 0;
  for (const ProbedFrame& frame : frames)
    longest = std::max(longest, run = frame.type == 'B' ? run + 1 : 0);
  return longest;
}

int LongestKeyframeDistance(const std::vector<ProbedFrame>& frames) {
  int longest = 0, last = -1;
  for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
    if (!frames[i].key) continue;
    if (last >= 0) longest = std::max(longest, i - last);
    last = i;
  }
  return std::max(longest, static_cast<int>(frames.size()) - last);
}

}  // namespace korvu::enc::e2e
