// One full rebuild of the parameter line on real files, side by side with the stat() calls that the
// rebuild makes, replayed alone on the same names. The rebuild's own work is the difference.
// Run: build/<tree>/bin/bench-param-line  (a Release tree without sanitizers for figures)
#include <sys/stat.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "job/job.h"

namespace {

using korvu::job::Job;
using korvu::job::PathRules;
using korvu::job::PathStyle;
namespace platform = korvu::platform;

// The real file system, recording every name it is asked about.
class RecordingFileSystem final : public platform::FileSystem {
 public:
  platform::EntryKind Kind(const std::string& name) const override {
    if (recording_) names_.push_back(name);
    if (remembering_) return name == names_.front() ? kinds_.front() : kinds_.back();
    const platform::EntryKind kind = platform::RealFileSystem().Kind(name);
    if (recording_) kinds_.push_back(kind);
    return kind;
  }
  void Record(bool on) { recording_ = on; }
  // Answers from the recorded look-ups instead of the file system (a rough stand-in: the first
  // name's kind, else the last's), to show what the rebuild costs besides them.
  void Remember(bool on) { remembering_ = on; }
  const std::vector<std::string>& Names() const { return names_; }

 private:
  bool recording_ = false;
  bool remembering_ = false;
  mutable std::vector<std::string> names_;
  mutable std::vector<platform::EntryKind> kinds_;
};

struct Fixture {
  explicit Fixture(bool blanks) {
    folder = std::filesystem::temp_directory_path() /
             (blanks ? "korvu bench folder" : "korvu-bench-folder");
    std::filesystem::create_directories(folder / "Enc");
    std::filesystem::create_directories(folder / "clips");
    const std::string encoder = Touch("Enc/DivX264.exe");
    const std::string input = Touch("clips/trip.avs");
    const std::string output = Touch("clips/trip.264");
    auto& s = job.Settings();
    s.Encoder.SetText(encoder);
    s.Input.SetText(blanks ? "\"" + input + "\"" : input);
    s.Output.SetText(blanks ? "\"" + output + "\"" : output);
    s.Threads.SetMax(4);
    s.Threads.SetValue(2);
    s.Bitrate.SetText("1500");
    s.SourceType.SetIndex(1);
    s.Pyramide.SetValue(true);
    job.SetFParamsLive(true);
    file_system.Record(true);
    job.UpdateParams();
    file_system.Record(false);
    if (!job.EncodeEnabled()) throw std::runtime_error("the benchmark job is not ready");
  }
  ~Fixture() { std::filesystem::remove_all(folder); }

  std::string Touch(const std::string& name) {
    std::ofstream(folder / name).put('x');
    return (folder / name).string();
  }

  std::filesystem::path folder;
  RecordingFileSystem file_system;
  PathRules rules{PathStyle::kPosix, file_system};
  Job job{rules};
};

void BM_Rebuild(benchmark::State& state) {
  Fixture fixture(state.range(0) != 0);
  for (auto _ : state) {
    fixture.job.UpdateParams();
    benchmark::DoNotOptimize(fixture.job.FParams().data());
  }
  state.counters["stat_calls"] = static_cast<double>(fixture.file_system.Names().size());
}

void BM_StatCallsAlone(benchmark::State& state) {
  Fixture fixture(state.range(0) != 0);
  const std::vector<std::string> names = fixture.file_system.Names();
  for (auto _ : state) {
    for (const std::string& name : names) {
      struct stat info;
      benchmark::DoNotOptimize(stat(name.c_str(), &info));
    }
  }
  state.counters["stat_calls"] = static_cast<double>(names.size());
}

// The rebuild's own work: the same rebuild with every look-up answered from memory.
void BM_RebuildWithoutStat(benchmark::State& state) {
  Fixture fixture(state.range(0) != 0);
  fixture.file_system.Remember(true);
  for (auto _ : state) {
    fixture.job.UpdateParams();
    benchmark::DoNotOptimize(fixture.job.FParams().data());
  }
}

// Argument 0: plain paths; 1: quoted paths holding blanks.
BENCHMARK(BM_Rebuild)->Arg(0)->Arg(1);
BENCHMARK(BM_StatCallsAlone)->Arg(0)->Arg(1);
BENCHMARK(BM_RebuildWithoutStat)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
