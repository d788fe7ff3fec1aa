#include "encoder/stats_files.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>

#include "encoder/error.h"
#include "encoder/file_access.h"

namespace korvu::enc {
namespace {

// x264's names for the files around a statistics file, which its rate control fixes.
constexpr const char* kSideFile = ".mbtree";
constexpr const char* kTemporary = ".temp";
constexpr const char* kWorking = ".part";

// How much more a probe tries to write to a file that came out short, when the shortfall is not
// known: more than x264's stdio buffer holds.
constexpr int64_t kProbeBytes = 1 << 16;

std::string CannotWrite(std::error_code error) {
  return "cannot be written (" + error.message() + ")";
}

std::string CannotWrite(int error) {
  return CannotWrite(std::error_code(error, std::generic_category()));
}

std::string ReadFailure(int error) {
  std::string reason = std::string("cannot be read (") + std::strerror(error) + ")";
  if (error == ENOENT) reason += "; run -npass 1 first";
  return reason;
}

std::string Fraction(uint32_t num, uint32_t den) {
  return std::to_string(num) + "/" + std::to_string(den);
}

std::string InterlaceMode(const x264_param_t& p) {
  if (p.b_interlaced) return p.b_tff ? "tff" : "bff";
  return p.b_fake_interlaced ? "fake" : "0";
}

std::string KeyframeInterval(const x264_param_t& p) {
  return p.i_keyint_max == X264_KEYINT_MAX_INFINITE ? "infinite" : std::to_string(p.i_keyint_max);
}

// The settings that the statistics depend on, what the user knows them by, and their value in
// x264's notation.
struct Setting {
  const char* key;
  const char* label;
  std::string (*value)(const x264_param_t&);
};

constexpr Setting kSettings[] = {
    {"size", "picture size, -i",
     [](const x264_param_t& p) {
       return std::to_string(p.i_width) + "x" + std::to_string(p.i_height);
     }},
    {"fps", "frame rate, -fps",
     [](const x264_param_t& p) { return Fraction(p.i_fps_num, p.i_fps_den); }},
    {"timebase", "frame rate, -fps",
     [](const x264_param_t& p) { return Fraction(p.i_timebase_num, p.i_timebase_den); }},
    {"interlaced", "field order, -tff/-bff", InterlaceMode},
    {"keyint", "keyframe interval, -I", KeyframeInterval},
    {"bframes", "B frames, -bf", [](const x264_param_t& p) { return std::to_string(p.i_bframe); }},
    {"b_pyramid", "B references, -pyramid/-bref",
     [](const x264_param_t& p) { return std::to_string(p.i_bframe_pyramid); }},
    {"b_adapt", "quality, -aqo",
     [](const x264_param_t& p) { return std::to_string(p.i_bframe_adaptive); }},
    {"direct", "quality, -aqo",
     [](const x264_param_t& p) { return std::to_string(p.analyse.i_direct_mv_pred); }},
    {"rc_lookahead", "quality, -aqo",
     [](const x264_param_t& p) { return std::to_string(p.rc.i_lookahead); }},
    {"weightp", "weighted prediction",
     [](const x264_param_t& p) { return std::to_string(std::max(0, p.analyse.i_weighted_pred)); }},
    {"mbtree", "macroblock tree",
     [](const x264_param_t& p) { return std::to_string(p.rc.b_mb_tree); }},
};

// "#options: 320x240 fps=25/1 timebase=1/25 bitdepth=8 cabac=1 ..."
std::map<std::string, std::string> ParseOptionsLine(const std::string& line) {
  std::map<std::string, std::string> settings;
  std::istringstream words(line.substr(std::strlen("#options:")));
  std::string word;
  while (words >> word) {
    const size_t equals = word.find('=');
    if (equals != std::string::npos)
      settings[word.substr(0, equals)] = word.substr(equals + 1);
    else if (settings.empty())
      settings["size"] = word;
  }
  return settings;
}

void CheckReadable(const std::string& name) {
  std::ifstream file(FilePath(name), std::ios::binary);
  if (!file) throw Error(name, ReadFailure(errno));
}

std::string ReadAll(const std::string& name) {
  std::ifstream file(FilePath(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The number after "<key>:" in one entry, 0 when it is not there.
int64_t Field(std::string_view entry, std::string_view key) {
  const size_t at = entry.find(key);
  if (at == std::string_view::npos) return 0;
  return std::strtoll(std::string(entry.substr(at + key.size(), 24)).c_str(), nullptr, 10);
}

// The bytes of one side-file record: the frame type, then a 16-bit offset per macroblock, in
// the macroblock rows that x264 codes (an even number of them for interlaced coding).
int64_t SideRecordBytes(const x264_param_t& p) {
  const int64_t columns = (p.i_width + 15) / 16;
  int64_t rows = (p.i_height + 15) / 16;
  if (p.b_interlaced || p.b_fake_interlaced) rows = (rows + 1) & ~1;
  return 1 + 2 * columns * rows;
}

// Why the disk takes no `bytes` more at the end of `name`, empty when it does.
std::string DiskRefusal(const std::string& name, int64_t bytes) {
  std::FILE* file = OpenFile(name, "ab");
  if (file == nullptr) return std::strerror(errno);
  const std::vector<char> zeros(static_cast<size_t>(bytes));
  errno = 0;
  const bool written =
      std::fwrite(zeros.data(), 1, zeros.size(), file) == zeros.size() && std::fflush(file) == 0;
  const int error = errno;
  std::fclose(file);
  return written ? "" : std::strerror(error);
}

}  // namespace

std::string SideFileName(const std::string& name) {
  return name + kSideFile;
}

StatsTotals CountEntries(std::string_view entries) {
  StatsTotals totals;
  for (size_t end; (end = entries.find(';')) != std::string_view::npos;
       entries.remove_prefix(end + 1)) {
    const std::string_view entry = entries.substr(0, end);
    ++totals.frames;
    const size_t type = entry.find("type:");
    if (type != std::string_view::npos && entry.substr(type + 5, 1) != "b")
      ++totals.reference_frames;
    totals.ticks += Field(entry, " dur:");
    totals.header_bits += Field(entry, "misc:");
  }
  return totals;
}

void CheckBitrate(const StatsTotals& totals, Rational frame_rate, int kbits) {
  // x264's sums: durations in ticks of half a frame, bits available over the whole clip.
  const double seconds = totals.ticks / 2.0 * frame_rate.den / frame_rate.num;
  if (seconds <= 0 || static_cast<uint64_t>(kbits * 1000.0 * seconds) >= totals.header_bits) return;
  const auto least = static_cast<int64_t>(std::ceil(totals.header_bits / seconds / 1000));
  throw Error("-br", std::to_string(kbits) + " is too low for this video: its headers alone need " +
                         std::to_string(least) + " kbit/s; give at least that");
}

StatsOutput::StatsOutput(std::string name) : name_(std::move(name)), working_(name_ + kWorking) {
  // x264 opens "<working>.temp" itself; try it first for a reason the user can act on.
  const std::string probe = working_ + kTemporary;
  std::FILE* file = OpenFile(probe, "wb");
  if (file == nullptr) throw Error(name_, CannotWrite(errno));
  std::fclose(file);
}

StatsOutput::~StatsOutput() {
  if (!committed_) RemoveWorkingFiles();
}

std::vector<std::string> StatsOutput::NamesWritten(const std::string& name) {
  std::vector<std::string> names = WorkingNames(name);
  names.insert(names.begin(), {name, SideFileName(name)});
  return names;
}

std::vector<std::string> StatsOutput::WorkingNames(const std::string& name) {
  std::vector<std::string> names;
  for (const std::string& file : {name + kWorking, SideFileName(name + kWorking)})
    for (const char* suffix : {"", kTemporary}) names.push_back(file + suffix);
  return names;
}

StatsTotals StatsOutput::Verify(int64_t frames, const x264_param_t& settings) const {
  const std::string text = ReadAll(working_);
  const size_t entries = text.find('\n');
  const StatsTotals totals =
      CountEntries(entries == std::string::npos ? "" : std::string_view(text).substr(entries));
  if (totals.frames != frames || !text.ends_with(";\n")) FailWriting(working_, kProbeBytes);
  // Without macroblock-tree rate control (a keyframe every frame) x264 writes no side file.
  if (!settings.rc.b_mb_tree) return totals;
  const std::string side = SideFileName(working_);
  std::error_code error;
  const auto size = static_cast<int64_t>(std::filesystem::file_size(FilePath(side), error));
  const int64_t expected = totals.reference_frames * SideRecordBytes(settings);
  if (error) throw Error(name_, CannotWrite(error));
  if (size != expected) FailWriting(side, std::max<int64_t>(expected - size, 1));
  return totals;
}

void StatsOutput::Commit() {
  // The side file first: a statistics file under its name always has its side file, and never
  // one of other statistics.
  const std::string side = SideFileName(working_);
  std::error_code error;
  if (std::filesystem::exists(FilePath(side)))
    error = RenameOver(side, SideFileName(name_));
  else
    std::filesystem::remove(FilePath(SideFileName(name_)), error);
  if (!error) error = RenameOver(working_, name_);
  if (error) throw Error(name_, CannotWrite(error));
  committed_ = true;
}

Error StatsOutput::WriteFailure(const Error& x264_error) const {
  for (const std::string& file : {working_ + kTemporary, SideFileName(working_) + kTemporary})
    if (std::filesystem::exists(FilePath(file)))
      if (const std::string refusal = DiskRefusal(file, kProbeBytes); !refusal.empty())
        return Error(name_, "cannot be written (" + refusal + ")");
  return x264_error;
}

void StatsOutput::FailWriting(const std::string& file, int64_t missing) const {
  const std::string refusal = DiskRefusal(file, missing);
  throw Error(name_, refusal.empty() ? "could not be written whole; is the disk full?"
                                     : "cannot be written (" + refusal + ")");
}

void StatsOutput::RemoveWorkingFiles() const {
  std::error_code ignored;
  for (const std::string& file : WorkingNames(name_))
    std::filesystem::remove(FilePath(file), ignored);
}

FirstPassStats ReadFirstPassStats(const std::string& name) {
  std::ifstream file(FilePath(name), std::ios::binary);
  if (!file) throw Error(name, ReadFailure(errno));
  std::string first_line;
  std::getline(file, first_line);
  if (first_line.rfind("#options:", 0) != 0)
    throw Error(name, "holds no x264 statistics; run -npass 1 again");
  FirstPassStats stats;
  stats.settings = ParseOptionsLine(first_line);
  stats.totals = CountEntries(std::string(std::istreambuf_iterator<char>(file), {}));
  if (stats.totals.frames == 0) throw Error(name, "holds no frames; run -npass 1 again");
  if (stats.settings["mbtree"] != "0") CheckReadable(SideFileName(name));
  return stats;
}

void CheckSameSettings(const FirstPassStats& stats, const x264_param_t& first_pass,
                       const std::string& name) {
  for (const Setting& setting : kSettings) {
    auto noted = stats.settings.find(setting.key);
    if (noted == stats.settings.end()) continue;
    const std::string now = setting.value(first_pass);
    if (noted->second != now)
      throw Error(name, std::string("was made with other settings (") + setting.label + ": x264 " +
                            setting.key + " " + noted->second + " there, " + now +
                            " now); run -npass 1 again");
  }
}

}  // namespace korvu::enc
