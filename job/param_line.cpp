#include "job/param_line.h"

#include "job/text_rules.h"

namespace korvu::job {
namespace {

// What the rows of the option table read, worked out once per rebuild.
struct LineInputs {
  const JobSettings& job;
  std::string_view stats;  // the statistics text, trimmed
  const std::string& input;
  bool input_is_file;
  const std::string& output;
};

// One encoder option: when it is passed, and its value (none for a switch).
struct OptionRow {
  const char* name;
  bool (*passed)(const LineInputs&);
  void (*value)(const LineInputs&, std::string& out);
};

bool Always(const LineInputs&) {
  return true;
}

// The encoder's options in the order of the command line.
constexpr OptionRow kOptions[] = {
    {"-sf", [](const LineInputs& in) { return !EqualsIgnoringCaseLower(in.stats, kDefaultStats); },
     [](const LineInputs& in, std::string& out) {
       // POSIX names are case-sensitive: only a Windows name may go in lower case.
       if (in.job.Rules().Style() == PathStyle::kWindows)
         AppendCommandLineArgument(out, LowerAscii(in.stats));
       else
         AppendCommandLineArgument(out, in.stats);
     }},
    {"-threads", [](const LineInputs& in) { return in.job.Threads.Value() > 0; },
     [](const LineInputs& in, std::string& out) { out += in.job.Threads.Text(); }},
    {"-br", [](const LineInputs& in) { return in.job.Bitrate.Value() > 0; },
     [](const LineInputs& in, std::string& out) { out += in.job.Bitrate.Text(); }},
    {"-fps", [](const LineInputs& in) { return !Trim(in.job.fps.Text()).empty(); },
     [](const LineInputs& in, std::string& out) { out += in.job.fps.Text(); }},
    {"-frames", [](const LineInputs& in) { return in.job.MaxFrames.Value() > 0; },
     [](const LineInputs& in, std::string& out) { out += in.job.MaxFrames.Text(); }},
    {"-tff", [](const LineInputs& in) { return in.job.SourceType.Index() == 1; }, nullptr},
    {"-bff", [](const LineInputs& in) { return in.job.SourceType.Index() == 2; }, nullptr},
    {"-fmode", [](const LineInputs& in) { return in.job.SourceType.Index() > 0; },
     [](const LineInputs& in, std::string& out) { out += in.job.MBAFF.Value() ? '1' : '2'; }},
    {"-aqo", Always,
     [](const LineInputs& in, std::string& out) {
       out += std::to_string(in.job.EncQuality.Index());
     }},
    {"-I", Always, [](const LineInputs& in, std::string& out) { out += in.job.GOPSec.Text(); }},
    {"-ref", Always,
     [](const LineInputs& in, std::string& out) { out += in.job.RefFrames.Text(); }},
    {"-bf", Always,
     [](const LineInputs& in, std::string& out) { out += in.job.MaxBFrames.Text(); }},
    {"-pyramid", [](const LineInputs& in) { return in.job.Pyramide.Value(); }, nullptr},
    {"-bref",
     [](const LineInputs& in) { return !in.job.Pyramide.Value() && in.job.BRef.Checked(); },
     nullptr},
    {"-i", Always,
     [](const LineInputs& in, std::string& out) { AppendCommandLineArgument(out, in.input); }},
    {"-o", Always,
     [](const LineInputs& in, std::string& out) { AppendCommandLineArgument(out, in.output); }},
};

bool IsReady(const LineInputs& in, const PathRules& rules) {
  // Every test runs on this rebuild's look-ups; their order only decides how many a job that is not
  // ready costs.
  if (in.input.empty() || in.output.empty() || in.job.Bitrate.Value() <= 0) return false;
  if (!in.input_is_file || !rules.HasFileName(in.job.Stats.Text())) return false;
  return rules.NamesFile(in.job.Encoder.Text());
}

void AppendParams(const LineInputs& in, std::string& params) {
  for (const OptionRow& row : kOptions) {
    if (!row.passed(in)) continue;
    params += ' ';
    params += row.name;
    if (row.value == nullptr) continue;
    params += ' ';
    row.value(in, params);
  }
}

}  // namespace

void BuildParamLine(const JobSettings& job, ParamLine& line) {
  const PathRules& rules = job.Rules();
  const bool input_is_file = rules.Resolve(job.Input.Text(), line.input_name);
  rules.FileName(job.Output.Text(), line.output_name);
  const LineInputs in{job, Trim(job.Stats.Text()), line.input_name, input_is_file,
                      line.output_name};
  line.ready = IsReady(in, rules);
  // Rebuilt from empty every time; only the buffers' capacity is kept.
  line.params.clear();
  AppendParams(in, line.params);
  line.preview.clear();
  // The program word: read without backslash escapes, so its backslashes stay as they are.
  AppendQuotePath(line.preview, job.Encoder.Text());
  line.preview += ' ';
  line.preview += line.params;
}

std::vector<NotReadyReason> NotReadyReasons(const JobSettings& job) {
  const PathRules& rules = job.Rules();
  std::vector<NotReadyReason> reasons;
  const std::pair<std::string_view, const TextValue*> named[] = {{"Input", &job.Input},
                                                                 {"Output", &job.Output},
                                                                 {"Encoder", &job.Encoder},
                                                                 {"Stats", &job.Stats}};
  for (const auto& [key, value] : named)
    if (!rules.HasFileName(value->Text())) reasons.push_back({key, "no file name"});
  for (const auto& [key, value] : {named[0], named[2]}) {
    if (rules.HasFileName(value->Text()) && !rules.NamesFile(value->Text()))
      reasons.push_back({key, "no such file: " + rules.FileName(value->Text())});
  }
  if (job.Bitrate.Value() <= 0) reasons.push_back({"Bitrate", "must be above 0"});
  return reasons;
}

ParamLine BuildParamLine(const JobSettings& job) {
  ParamLine line;
  BuildParamLine(job, line);
  return line;
}

}  // namespace korvu::job
