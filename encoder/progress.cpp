#include "encoder/progress.h"

#include <cinttypes>

#include "encoder/console.h"

namespace korvu::enc {
namespace {

constexpr auto kTerminalInterval = std::chrono::milliseconds(250);
constexpr auto kPlainInterval = std::chrono::seconds(5);

std::string Clock(double seconds) {
  const auto whole = static_cast<long long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}

double KilobitsPerSecond(const PassState& s) {
  if (s.coded == 0) return 0;
  return s.bytes * 8.0 / 1000 * s.frame_rate.Value() / static_cast<double>(s.coded);
}

double FramesPerSecond(const PassState& s) {
  return s.seconds > 0 ? s.frames / s.seconds : 0;
}

}  // namespace

std::string ProgressLine(const PassState& s) {
  char text[256];
  int used = std::snprintf(text, sizeof text, "pass %d: %" PRId64, s.pass, s.frames);
  const bool known = s.total > 0 && s.frames <= s.total;
  if (known)
    used += std::snprintf(text + used, sizeof text - used, "/%" PRId64 " frames (%d%%)", s.total,
                          static_cast<int>(100 * s.frames / s.total));
  else
    used += std::snprintf(text + used, sizeof text - used, " frames");
  used += std::snprintf(text + used, sizeof text - used, ", %.1f fps, %.0f kb/s, %s elapsed",
                        FramesPerSecond(s), KilobitsPerSecond(s), Clock(s.seconds).c_str());
  if (known && s.frames > 0)
    std::snprintf(text + used, sizeof text - used, ", %s left",
                  Clock(s.seconds * (s.total - s.frames) / s.frames).c_str());
  return text;
}

std::string SummaryLine(const PassState& s) {
  char text[160];
  std::snprintf(text, sizeof text, "%" PRId64 " frames, %.1f kb/s, %s (%.1f fps)", s.frames,
                KilobitsPerSecond(s), Clock(s.seconds).c_str(), FramesPerSecond(s));
  return text;
}

Progress::Progress(std::FILE* out, bool terminal, int pass, int64_t total, Rational frame_rate)
    : out_(out), terminal_(terminal), columns_(terminal ? TerminalColumns(out) : 0) {
  state_.pass = pass;
  state_.total = total;
  state_.frame_rate = frame_rate;
}

Progress::~Progress() {
  if (open_line_ > 0) WriteText(out_, "\n");
  std::fflush(out_);
}

void Progress::Update(int64_t frames, int64_t coded, uint64_t bytes) {
  const Clock::time_point now = Clock::now();
  if (now - shown_ < (terminal_ ? kTerminalInterval : kPlainInterval)) return;
  shown_ = now;
  const std::string line = ProgressLine(State(frames, coded, bytes));
  if (terminal_) {
    const std::string_view shown =
        std::string_view(line).substr(0, columns_ > 1 ? columns_ - 1 : std::string::npos);
    WriteText(out_, OverOpenLine(shown));
    open_line_ = shown.size();
  } else {
    WriteText(out_, line + "\n");
  }
  std::fflush(out_);
}

void Progress::Finish(int64_t frames, uint64_t bytes, const std::string& where) {
  const std::string line = "pass " + std::to_string(state_.pass) +
                           " done: " + SummaryLine(State(frames, frames, bytes)) + "; " + where;
  WriteText(out_, (open_line_ > 0 ? OverOpenLine(line) : line) + "\n");
  open_line_ = 0;
  std::fflush(out_);
}

std::string Progress::OverOpenLine(std::string_view line) const {
  std::string text = "\r" + std::string(line);
  if (line.size() < open_line_) text.append(open_line_ - line.size(), ' ');
  return text;
}

PassState Progress::State(int64_t frames, int64_t coded, uint64_t bytes) const {
  PassState state = state_;
  state.frames = frames;
  state.coded = coded;
  state.bytes = bytes;
  state.seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  return state;
}

}  // namespace korvu::enc
