#include "tests/encoder/e2e_support.h"

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"

namespace korvu::enc::e2e {
namespace {

// A file for what a child writes, removed with the object.
class Capture {
 public:
  Capture() : name_((std::filesystem::temp_directory_path() / "korvu-run-XXXXXX").string()) {
    fd_ = mkstemp(name_.data());
    if (fd_ < 0) throw std::runtime_error("mkstemp failed");
  }
  ~Capture() {
    close(fd_);
    unlink(name_.c_str());
  }
  int fd() const { return fd_; }
  std::string Text() const { return test::ReadFile(name_); }

 private:
  std::string name_;
  int fd_;
};

[[noreturn]] void ExecChild(const std::vector<std::string>& args, const std::string& dir, int out,
                            int err) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int none = open("/dev/null", O_RDONLY);
  if (chdir(dir.c_str()) != 0 || none < 0) _exit(126);
  dup2(none, STDIN_FILENO);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  execvp(argv[0], argv.data());
  _exit(127);
}

// "frame|key_frame=1|pict_type=I|..." as key and value pairs.
std::map<std::string, std::string> Fields(const std::string& line) {
  std::map<std::string, std::string> fields;
  std::istringstream parts(line);
  std::string part;
  while (std::getline(parts, part, '|')) {
    const size_t equals = part.find('=');
    if (equals != std::string::npos) fields[part.substr(0, equals)] = part.substr(equals + 1);
  }
  return fields;
}

std::string Probe(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"ffprobe", "-v", "error"};
  all.insert(all.end(), args.begin(), args.end());
  const RunResult result = RunProgram(all, ".");
  if (result.status != 0) throw std::runtime_error("ffprobe failed: " + result.err);
  return result.out;
}

}  // namespace

std::vector<std::string> RunResult::ErrLines() const {
  std::vector<std::string> lines;
  std::istringstream text(err);
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir) {
  Capture out, err;
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) ExecChild(args, dir, out.fd(), err.fd());
  int status = 0;
  waitpid(child, &status, 0);
  RunResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = out.Text();
  result.err = err.Text();
  return result;
}

std::string Encoder() {
  return KORVU_ENC;
}

void Ffmpeg(const std::string& dir, const std::vector<std::string>& args) {
  std::vector<std::string> all = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
  all.insert(all.end(), args.begin(), args.end());
  const RunResult result = RunProgram(all, dir);
  if (result.status != 0) throw std::runtime_error("ffmpeg failed: " + result.err);
}

std::vector<ProbedFrame> ProbeFrames(const std::string& file) {
  std::istringstream lines(
      Probe({"-show_entries", "frame=key_frame,pict_type,interlaced_frame,top_field_first", "-of",
             "compact", file}));
  std::vector<ProbedFrame> frames;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("frame|", 0) != 0) continue;
    auto fields = Fields(line);
    frames.push_back({fields["key_frame"] == "1",
                      fields["pict_type"].empty() ? '?' : fields["pict_type"][0],
                      fields["interlaced_frame"] == "1", fields["top_field_first"] == "1"});
  }
  return frames;
}

std::map<std::string, std::string> ProbeStream(const std::string& file) {
  std::istringstream lines(
      Probe({"-select_streams", "v:0", "-show_streams", "-of", "compact", file}));
  std::string line;
  std::getline(lines, line);
  return Fields(line);
}

int LongestBRun(const std::vector<ProbedFrame>& frames) {
  int longest = 0, run = 0;
  for (const ProbedFrame& frame : frames) {
    run = frame.type == 'B' ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

int LongestKeyframeDistance(const std::vector<ProbedFrame>& frames) {
  int longest = 0, last = -1;
  for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
    if (!frames[i].key) continue;
    if (last >= 0) longest = std::max(longest, i - last);
    last = i;
  }
  // The frames after the last key frame count too: the next one would be this far away.
  return std::max(longest, static_cast<int>(frames.size()) - last);
}

}  // namespace korvu::enc::e2e
