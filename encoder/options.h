#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <stdint.h>
#include <x264.h>

#include "encoder/frame_rate.h"

namespace korvu::enc {

enum class FieldOrder { kProgressive, kTopFirst, kBottomFirst };

inline constexpr std::string_view kDefaultStats = "divx264_stat.dat";

// One run of the encoder as its command line describes it. Options left out keep these values.
struct Options {
  bool help = false;
  int pass = 0;  // -npass: 1 analysis, 2 final; required
  std::string stats{kDefaultStats};
  int threads = 0;  // 0 = x264 decides
  int bitrate = 0;  // kbit/s; required
  std::optional<Rational> fps;
  int max_frames = 0;  // 0 = all
  FieldOrder field_order = FieldOrder::kProgressive;
  int field_mode = 0;  // -fmode: 1 MBAFF, 2 PAFF
  int quality = 1;
  int gop_seconds = 4;
  int ref_frames = 4;
  int b_frames = 2;
  bool pyramid = false;
  bool b_ref = false;
  std::string input;
  std::string output;
};

// What x264 needs beyond the options when a row applies itself.
struct ApplyContext {
  Rational frame_rate;  // of the output: -fps or the source's
  char* stats_name;     // the statistics file x264 writes or reads
};

enum class ValueKind { kFlag, kInteger, kText, kFrameRate };

// One command-line option: how it is read, what it means, and what it sets in x264. Every
// option of the program is one row of OptionTable(); there is no other list of them.
struct OptionRow {
  std::string_view name;
  ValueKind kind;
  int min;
  int max;
  std::string_view value;    // the value as the help shows it
  std::string_view meaning;  // for the help and the README
  std::string_view x264;     // the x264 setting it maps to, for the help and the README
  void (*store)(Options&, std::string_view text, int number);
  // Sets the row's part of `param` from the whole of `options`; called for every row in table
  // order, given or not, so each row also applies its default. Null for rows without one.
  void (*apply)(const Options&, const ApplyContext&, x264_param_t&);
};

std::span<const OptionRow> OptionTable();

// Reads the arguments after the program name: options in any order, each value in the argument
// after its option. Throws Error naming the option for an unknown option, a missing or bad
// value, an option given twice, or options that do not fit together.
Options ParseCommandLine(std::span<const std::string_view> args);

// The help text: usage and one line per row of the table.
std::string Usage();

}  // namespace korvu::enc
