// Reading generated files of 1, 4 and 16 MB: settings files of short lines in each line-end style
// through LoadSettings into a job (and SaveSettings over them), registry export files (many values
// in the encoder's key, many tiny values, or many empty lines) through the registry file's reader,
// fed in the chunks the per-user registry reads; the registry reads no file above its size limit,
// so the reader is timed on its own to show its growth. All files are written, and flushed to the
// disk, before the first case runs, so that no write-back runs while a case is timed; a registry
// case reads its file once before it is timed, so that every size starts from the page cache and a
// heap as warm as the others.
//
// Besides the mean time, each case reports the median time of one read (median_ms), which a few
// reads held up by other programs on the machine do not move; compare sizes by it, in one run with
// --benchmark_enable_random_interleaving=true and a few repetitions. And it reports the peak of the
// bytes the program holds on its heap during one read, above what it held before (peak_bytes), and
// that peak per byte of the file (peak_per_file_byte). Heap bytes are counted by the global
// operator new of this program, so the figures do not depend on the machine's load.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "job/job.h"
#include "job/path_rules.h"
#include "job/settings_file.h"
#include "platform/file_system.h"
#include "platform/posix/registry_file.h"

namespace {

std::atomic<std::size_t> live_bytes{0};
std::atomic<std::size_t> peak_bytes{0};

void* Allocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  const std::size_t now = live_bytes += malloc_usable_size(block);
  std::size_t peak = peak_bytes.load();
  while (now > peak && !peak_bytes.compare_exchange_weak(peak, now)) {
  }
  return block;
}

void Release(void* block) {
  if (block == nullptr) return;
  live_bytes -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* block) noexcept {
  Release(block);
}
void operator delete[](void* block) noexcept {
  Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
  Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  Release(block);
}

namespace korvu {
namespace {

constexpr std::size_t kMiB = 1 << 20;
constexpr std::string_view kEncoderKey = R"(Software\DivXNetworks\DivX Codec H.264)";

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    // One folder per process, so that two runs at the same time do not remove each other's files.
    auto path =
        std::filesystem::temp_directory_path() / ("korvu-bench-files-" + std::to_string(getpid()));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// Writes the file and waits until it is on the disk.
void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool written = fd >= 0;
  for (std::string_view rest = bytes; written && !rest.empty();) {
    const ssize_t got = write(fd, rest.data(), rest.size());
    written = got > 0;
    if (written) rest.remove_prefix(static_cast<std::size_t>(got));
  }
  written = written && fsync(fd) == 0;
  if (fd >= 0) close(fd);
  if (!written) throw std::runtime_error("cannot write " + path.string());
}

// Measures each call of `read`: its time, of which the median of a run is reported, and the heap's
// growth over it, of which the largest of a run is reported.
class ReadMeter {
 public:
  explicit ReadMeter(const benchmark::State& state) {
    times_.reserve(static_cast<std::size_t>(state.max_iterations));
  }

  template <typename Read>
  void Measure(Read&& read) {
    const std::size_t before = live_bytes.load();
    peak_bytes = before;
    const auto start = std::chrono::steady_clock::now();
    read();
    const std::chrono::duration<double, std::milli> time = std::chrono::steady_clock::now() - start;
    largest_ = std::max(largest_, peak_bytes.load() - before);
    times_.push_back(time.count());
  }

  void Report(benchmark::State& state, std::size_t file_bytes) {
    if (!times_.empty()) {
      const auto middle = times_.begin() + static_cast<std::ptrdiff_t>(times_.size() / 2);
      std::nth_element(times_.begin(), middle, times_.end());
      state.counters["median_ms"] = *middle;
    }
    state.counters["peak_bytes"] = static_cast<double>(largest_);
    state.counters["peak_per_file_byte"] =
        static_cast<double>(largest_) / static_cast<double>(file_bytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_bytes));
  }

 private:
  std::size_t largest_ = 0;
  std::vector<double> times_;  // of each read, in milliseconds
};

// The settings files: "a=b" lines up to the size, under the section "Korvu" with one real key
// (what a load reads, and a save replaces), or under another section that a save keeps, with that
// key in a short "Korvu" after it.
struct LineEnds {
  std::string name;
  std::vector<std::string_view> cycle;  // the ends, used in turn
};

std::string SettingsFile(const LineEnds& ends, std::size_t size, bool kept) {
  std::string text;
  text.reserve(size + 32);
  std::size_t turn = 0;
  const auto line = [&](std::string_view body) {
    text.append(body).append(ends.cycle[turn++ % ends.cycle.size()]);
  };
  line(kept ? "[Other]" : "[Korvu]");
  if (!kept) line("Bitrate=700");
  while (text.size() < size) line("a=b");
  if (kept) {
    line("[Korvu]");
    line("Bitrate=700");
  }
  return text;
}

void LoadSettingsFile(benchmark::State& state, const std::string& path, std::size_t size) {
  const job::PathRules rules(job::PathStyle::kPosix, platform::RealFileSystem());
  job::Job job(rules);
  job.SetFParamsLive(true);
  ReadMeter meter(state);
  for (auto _ : state) meter.Measure([&] { job::LoadSettings(job, path, nullptr); });
  if (job.Settings().Bitrate.Value() != 700) state.SkipWithError("not loaded");
  meter.Report(state, size);
}

// The registry files: many values in the encoder's key, many tiny values ("12"=""), or one value
// and many empty lines.
enum class RegistryLines { kValues, kTinyValues, kEmptyLines };

std::string RegistryFile(RegistryLines lines, std::size_t size) {
  std::string text =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\DivXNetworks\\DivX Codec H.264]\r\n"
      "\"Install_Dir\"=\"C:\\\\Program Files\\\\DivX\"\r\n";
  text.reserve(size + 128);
  for (std::size_t i = 0; text.size() < size; ++i) {
    switch (lines) {
      case RegistryLines::kValues:
        text += "\"Setting " + std::to_string(i) + "\"=\"C:\\\\Videos\\\\Holiday\\\\clip.avs\"\r\n";
        break;
      case RegistryLines::kTinyValues:
        text += "\"" + std::to_string(i) + "\"=\"\"\r\n";
        break;
      case RegistryLines::kEmptyLines:
        text += "\r\n";
        break;
    }
  }
  return text;
}

// The key's values as the per-user registry reads them: the file in chunks of 64 KiB through the
// reader, then the one value Korvu asks for.
bool ReadRegistryKey(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  platform::RegistryKeyReader reader(kEncoderKey);
  std::vector<char> chunk(std::size_t{64} << 10);
  for (ssize_t got; (got = read(fd, chunk.data(), chunk.size())) > 0;)
    reader.Feed({chunk.data(), static_cast<std::size_t>(got)});
  close(fd);
  const auto values = reader.Finish();
  return values && platform::FindRegistryValue(*values, "Install_Dir") != nullptr;
}

// The file is read once before the timing.
void ReadRegistryFile(benchmark::State& state, const std::string& path, std::size_t size) {
  if (!ReadRegistryKey(path)) state.SkipWithError("no key");
  ReadMeter meter(state);
  for (auto _ : state) meter.Measure([&] { benchmark::DoNotOptimize(ReadRegistryKey(path)); });
  meter.Report(state, size);
}

template <typename Run>
benchmark::internal::Benchmark* Add(const std::string& name, Run run) {
  return benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
}

// A save reads the whole file and writes it back with its own section anew: each save over a
// fresh copy of the file as generated.
void SaveSettingsFile(benchmark::State& state, const std::string& path, std::size_t size) {
  const job::PathRules rules(job::PathStyle::kPosix, platform::RealFileSystem());
  const job::Job job(rules);
  const std::string target = path + ".saved";
  ReadMeter meter(state);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(path, target, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    meter.Measure([&] { job::SaveSettings(job, target); });
  }
  meter.Report(state, size);
}

void Register() {
  const LineEnds styles[] = {
      {"crlf", {"\r\n"}}, {"lf", {"\n"}}, {"cr", {"\r"}}, {"mixed", {"\r\n", "\n", "\r"}}};
  const std::pair<RegistryLines, std::string> registry_files[] = {
      {RegistryLines::kValues, "values"},
      {RegistryLines::kTinyValues, "tiny-values"},
      {RegistryLines::kEmptyLines, "empty-lines"}};
  for (const std::size_t megabytes : {1, 4, 16}) {
    const std::size_t size = megabytes * kMiB;
    const std::string mb = "-" + std::to_string(megabytes) + "MB";
    for (const LineEnds& ends : styles) {
      const std::string path = (Folder() / (ends.name + mb + ".ini")).string();
      WriteFile(path, SettingsFile(ends, size, false));
      Add("LoadSettings/" + ends.name + mb,
          [path, size](benchmark::State& state) { LoadSettingsFile(state, path, size); });
      Add("SaveSettings/" + ends.name + mb,
          [path, size](benchmark::State& state) { SaveSettingsFile(state, path, size); });
      // The lines stay, and are written anew with CR LF.
      const std::string kept = (Folder() / ("kept-" + ends.name + mb + ".ini")).string();
      WriteFile(kept, SettingsFile(ends, size, true));
      Add("SaveSettingsKept/" + ends.name + mb,
          [kept, size](benchmark::State& state) { SaveSettingsFile(state, kept, size); });
    }
    for (const auto& [lines, name] : registry_files) {
      const std::string bytes = RegistryFile(lines, size);
      const std::string path = (Folder() / (name + mb + ".reg")).string();
      WriteFile(path, bytes);
      // Some ten reads of the largest file, not two or three.
      Add("RegistryRead/" + name + mb, [path, size = bytes.size()](benchmark::State& state) {
        ReadRegistryFile(state, path, size);
      })->MinTime(2.0);
    }
  }
}

}  // namespace
}  // namespace korvu

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  korvu::Register();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(korvu::Folder());
  return 0;
}
