#include "encoder/stats_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>

#include "encoder/error.h"

namespace korvu::enc {
namespace {

// x264's names for the files around a statistics file, which its rate control fixes.
constexpr const char* kSideFile = ".mbtree";
constexpr const char* kTemporary = ".temp";

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
  std::ifstream file(name, std::ios::binary);
  if (!file) throw Error(name, ReadFailure(errno));
}

}  // namespace

StatsOutput::StatsOutput(std::string name) : name_(std::move(name)), working_(name_ + ".part") {
  // x264 opens "<working>.temp" itself; try it first for a reason the user can act on.
  const std::string probe = working_ + kTemporary;
  std::FILE* file = std::fopen(probe.c_str(), "wb");
  if (file == nullptr)
    throw Error(name_, std::string("cannot be written (") + std::strerror(errno) + ")");
  std::fclose(file);
}

StatsOutput::~StatsOutput() {
  if (!committed_) RemoveWorkingFiles();
}

void StatsOutput::Commit(int64_t frames) {
  std::ifstream written(working_, std::ios::binary);
  std::istreambuf_iterator<char> begin(written), end;
  if (std::count(begin, end, ';') != frames)
    throw Error(name_, "could not be written whole; is the disk full?");
  // The side file first: a statistics file under its name always has its side file.
  const std::string side = working_ + kSideFile;
  if (std::rename(side.c_str(), (name_ + kSideFile).c_str()) != 0 ||
      std::rename(working_.c_str(), name_.c_str()) != 0)
    throw Error(name_, std::string("cannot be written (") + std::strerror(errno) + ")");
  committed_ = true;
}

void StatsOutput::RemoveWorkingFiles() const {
  for (const char* suffix : {"", kTemporary}) {
    std::remove((working_ + suffix).c_str());
    std::remove((working_ + kSideFile + suffix).c_str());
  }
}

FirstPassStats ReadFirstPassStats(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  if (!file) throw Error(name, ReadFailure(errno));
  std::string first_line;
  std::getline(file, first_line);
  if (first_line.rfind("#options:", 0) != 0)
    throw Error(name, "holds no x264 statistics; run -npass 1 again");
  FirstPassStats stats;
  stats.settings = ParseOptionsLine(first_line);
  std::istreambuf_iterator<char> begin(file), end;
  stats.frames = std::count(begin, end, ';');
  if (stats.frames == 0) throw Error(name, "holds no frames; run -npass 1 again");
  CheckReadable(name + kSideFile);
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
