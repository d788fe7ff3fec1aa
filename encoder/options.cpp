#include "encoder/options.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <set>

#include "encoder/error.h"

namespace korvu::enc {
namespace {

// -aqo 0, 1 and 2.
constexpr const char* kPresets[] = {"fast", "medium", "slower"};

// The limits of the H.264 profile that the encoder's streams keep to: level 4.0.
constexpr int kLevel = 40;
constexpr int kMaxRate = 20000;     // kbit/s
constexpr int kBufferSize = 25000;  // kbit

void ApplyFieldOrder(const Options& o, const ApplyContext&, x264_param_t& p) {
  p.b_interlaced = o.field_order != FieldOrder::kProgressive;
  p.b_tff = o.field_order == FieldOrder::kTopFirst;
  // x264 has no weighted P prediction for interlaced coding and would switch it off with a warning.
  if (p.b_interlaced) p.analyse.i_weighted_pred = X264_WEIGHTP_NONE;
}

void ApplyBReferences(const Options& o, const ApplyContext&, x264_param_t& p) {
  p.i_bframe_pyramid = o.pyramid ? X264_B_PYRAMID_NORMAL
                       : o.b_ref ? X264_B_PYRAMID_STRICT
                                 : X264_B_PYRAMID_NONE;
}

void StoreFieldOrder(Options& o, FieldOrder order, std::string_view name) {
  if (o.field_order != FieldOrder::kProgressive)
    throw Error(name, "cannot be given with the other field order (-tff or -bff)");
  o.field_order = order;
}

// Rows apply in this order; -aqo comes first because a preset resets every setting.
constexpr OptionRow kRows[] = {
    {"-aqo", ValueKind::kInteger, 0, 2, "0|1|2", "quality: 0 fast, 1 balanced, 2 highest",
     "preset fast / medium / slower", [](Options& o, std::string_view, int n) { o.quality = n; },
     [](const Options& o, const ApplyContext&, x264_param_t& p) {
       x264_param_default_preset(&p, kPresets[o.quality], nullptr);
     }},
    {"-npass", ValueKind::kInteger, 1, 2, "1|2",
     "pass: 1 analysis (writes the statistics, not -o), 2 final (reads them, writes -o)",
     "1: rc.b_stat_write, then x264_param_apply_fastfirstpass; 2: rc.b_stat_read",
     [](Options& o, std::string_view, int n) { o.pass = n; },
     [](const Options& o, const ApplyContext&, x264_param_t& p) {
       p.rc.b_stat_write = o.pass == 1;
       p.rc.b_stat_read = o.pass == 2;
     }},
    {"-sf", ValueKind::kText, 0, 0, "<path>",
     "statistics file (default divx264_stat.dat) and its side file, the name + .mbtree",
     "rc.psz_stat_out, rc.psz_stat_in",
     [](Options& o, std::string_view text, int) { o.stats = text; },
     [](const Options&, const ApplyContext& c, x264_param_t& p) {
       p.rc.psz_stat_out = c.stats_name;
       p.rc.psz_stat_in = c.stats_name;
     }},
    // The window offers up to twice the processor count; x264 itself uses at most 128.
    {"-threads", ValueKind::kInteger, 0, INT_MAX, "<n>", "threads, 0 = let the encoder decide",
     "i_threads (0 = X264_THREADS_AUTO; x264 uses at most 128)",
     [](Options& o, std::string_view, int n) { o.threads = n; },
     [](const Options& o, const ApplyContext&, x264_param_t& p) { p.i_threads = o.threads; }},
    {"-br", ValueKind::kInteger, 1, kMaxRate, "1..20000",
     "average bitrate over both passes, kbit/s",
     "rc.i_rc_method ABR, rc.i_bitrate; i_level_idc 40, rc.i_vbv_max_bitrate 20000, "
     "rc.i_vbv_buffer_size 25000",
     [](Options& o, std::string_view, int n) { o.bitrate = n; },
     [](const Options& o, const ApplyContext&, x264_param_t& p) {
       p.rc.i_rc_method = X264_RC_ABR;
       p.rc.i_bitrate = o.bitrate;
       p.i_level_idc = kLevel;
       p.rc.i_vbv_max_bitrate = kMaxRate;
       p.rc.i_vbv_buffer_size = kBufferSize;
     }},
    {"-fps", ValueKind::kFrameRate, 0, 0, "<rate>",
     "output frame rate (25, 29.97, 30000/1001), frames kept one for one; default: the source's",
     "i_fps_num/i_fps_den, i_timebase 1/rate, b_vfr_input 0",
     [](Options& o, std::string_view text, int) { o.fps = ParseFrameRate(text); },
     [](const Options&, const ApplyContext& c, x264_param_t& p) {
       p.i_fps_num = c.frame_rate.num;
       p.i_fps_den = c.frame_rate.den;
       p.i_timebase_num = c.frame_rate.den;
       p.i_timebase_den = c.frame_rate.num;
       p.b_vfr_input = 0;
     }},
    {"-frames", ValueKind::kInteger, 0, INT_MAX, "<n>", "encode at most n frames, 0 = all",
     "(none: korvu-enc stops reading)",
     [](Options& o, std::string_view, int n) { o.max_frames = n; }, nullptr},
    {"-tff", ValueKind::kFlag, 0, 0, "", "interlaced, top field first",
     "b_interlaced, b_tff 1, analyse.i_weighted_pred NONE",
     [](Options& o, std::string_view, int) { StoreFieldOrder(o, FieldOrder::kTopFirst, "-tff"); },
     ApplyFieldOrder},
    {"-bff", ValueKind::kFlag, 0, 0, "", "interlaced, bottom field first",
     "b_interlaced, b_tff 0, analyse.i_weighted_pred NONE",
     [](Options& o, std::string_view, int) {
       StoreFieldOrder(o, FieldOrder::kBottomFirst, "-bff");
     },
     ApplyFieldOrder},
    {"-fmode", ValueKind::kInteger, 1, 2, "1|2",
     "field coding: 1 MBAFF, 2 PAFF; needs -tff or -bff",
     "MBAFF is x264's interlaced coding; 2 codes MBAFF too (libx264 has no field pictures)",
     [](Options& o, std::string_view, int n) { o.field_mode = n; }, nullptr},
    {"-I", ValueKind::kInteger, 1, 4, "1..4", "seconds per GOP",
     "i_keyint_max = frame rate x seconds, rounded",
     [](Options& o, std::string_view, int n) { o.gop_seconds = n; },
     [](const Options& o, const ApplyContext& c, x264_param_t& p) {
       p.i_keyint_max = static_cast<int>(std::lround(c.frame_rate.Value() * o.gop_seconds));
     }},
    {"-ref", ValueKind::kInteger, 1, 4, "1..4", "maximum reference frames", "i_frame_reference",
     [](Options& o, std::string_view, int n) { o.ref_frames = n; },
     [](const Options& o, const ApplyContext&, x264_param_t& p) {
       p.i_frame_reference = o.ref_frames;
     }},
    {"-bf", ValueKind::kInteger, 1, 3, "1..3", "most consecutive B frames", "i_bframe",
     [](Options& o, std::string_view, int n) { o.b_frames = n; },
     [](const Options& o, const ApplyContext&, x264_param_t& p) { p.i_bframe = o.b_frames; }},
    {"-pyramid", ValueKind::kFlag, 0, 0, "", "B-frame reference pyramid", "i_bframe_pyramid NORMAL",
     [](Options& o, std::string_view, int) { o.pyramid = true; }, ApplyBReferences},
    {"-bref", ValueKind::kFlag, 0, 0, "", "B frames as references (without -pyramid)",
     "i_bframe_pyramid STRICT; neither flag: NONE",
     [](Options& o, std::string_view, int) { o.b_ref = true; }, ApplyBReferences},
    {"-i", ValueKind::kText, 0, 0, "<path>", "input video (AVI or anything FFmpeg reads)",
     "(none: decoded by libavformat/libavcodec, made 4:2:0 by libswscale, per field if interlaced)",
     [](Options& o, std::string_view text, int) { o.input = text; }, nullptr},
    {"-o", ValueKind::kText, 0, 0, "<path>", "output, a raw H.264 stream (pass 2 only)",
     "b_annexb 1, b_repeat_headers 1",
     [](Options& o, std::string_view text, int) { o.output = text; },
     [](const Options&, const ApplyContext&, x264_param_t& p) {
       p.b_annexb = 1;
       p.b_repeat_headers = 1;
     }},
    {"-h", ValueKind::kFlag, 0, 0, "", "show this help", "(none)",
     [](Options& o, std::string_view, int) { o.help = true; }, nullptr},
};

const OptionRow* FindRow(std::string_view name) {
  for (const OptionRow& row : kRows)
    if (row.name == name) return &row;
  return nullptr;
}

std::string AllowedValues(const OptionRow& row) {
  if (row.max - row.min > 2)
    return "give " + std::to_string(row.min) + " to " + std::to_string(row.max);
  std::string list = "give " + std::to_string(row.min);
  for (int n = row.min + 1; n <= row.max; ++n)
    list += (n == row.max ? " or " : ", ") + std::to_string(n);
  return list;
}

int ReadInteger(const OptionRow& row, std::string_view text) {
  int number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  const bool whole = !text.empty() && end == text.data() + text.size();
  if (!whole || (error != std::errc() && error != std::errc::result_out_of_range))
    throw Error(row.name, "'" + std::string(text) + "' is not a whole number; " +
                              AllowedValues(row) + " (" + std::string(row.meaning) + ")");
  if (error == std::errc::result_out_of_range || number < row.min || number > row.max)
    throw Error(row.name, std::string(text) + " is not allowed; " + AllowedValues(row) + " (" +
                              std::string(row.meaning) + ")");
  return number;
}

void StoreValue(const OptionRow& row, std::string_view text, Options& options) {
  switch (row.kind) {
    case ValueKind::kFlag:
      break;
    case ValueKind::kInteger:
      row.store(options, text, ReadInteger(row, text));
      return;
    case ValueKind::kText:
      if (text.empty()) throw Error(row.name, "needs a file name");
      break;
    case ValueKind::kFrameRate:
      if (!ParseFrameRate(text))
        throw Error(row.name, "'" + std::string(text) +
                                  "' is not a frame rate; give a number such as 25 or 29.97, "
                                  "or a fraction such as 30000/1001");
      break;
  }
  row.store(options, text, 0);
}

void CheckComplete(const Options& o) {
  if (o.help) return;
  if (o.pass == 0) throw Error("-npass", "missing; give 1 (analysis) or 2 (final)");
  if (o.input.empty()) throw Error("-i", "missing; give the input video");
  if (o.bitrate == 0) throw Error("-br", "missing; give the average bitrate in kbit/s");
  if (o.pass == 2 && o.output.empty()) throw Error("-o", "missing; give the output file");
  if (o.field_mode != 0 && o.field_order == FieldOrder::kProgressive)
    throw Error("-fmode", "needs -tff or -bff: field coding is for interlaced sources");
}

}  // namespace

std::span<const OptionRow> OptionTable() {
  return kRows;
}

Options ParseCommandLine(std::span<const std::string_view> args) {
  Options options;
  std::set<std::string_view> seen;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i] == "--help" ? "-h" : args[i];
    const OptionRow* row = FindRow(name);
    if (row == nullptr) throw Error(args[i], "unknown option; see korvu-enc -h");
    if (!seen.insert(row->name).second) throw Error(row->name, "given twice");
    std::string_view value;
    if (row->kind != ValueKind::kFlag) {
      if (i + 1 == args.size()) throw Error(row->name, "needs a value");
      value = args[++i];
    }
    StoreValue(*row, value, options);
  }
  CheckComplete(options);
  return options;
}

std::string Usage() {
  std::string text =
      "usage: korvu-enc -npass 1|2 -br <kbit/s> -i <input> -o <output> [options]\n"
      "Encodes a video to a raw H.264 stream with libx264, one pass of two per run.\n\n";
  for (const OptionRow& row : kRows) {
    std::string head = "  " + std::string(row.name) + " " + std::string(row.value);
    head.resize(std::max<size_t>(head.size() + 1, 22), ' ');
    text += head + std::string(row.meaning) + "\n" + std::string(22, ' ') +
            "x264: " + std::string(row.x264) + "\n";
  }
  return text;
}

}  // namespace korvu::enc
