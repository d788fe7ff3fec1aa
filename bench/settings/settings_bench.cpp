// Reading a generated settings file of about 20 MB (thousands of sections, CR LF, comments) as a
// load does, for the sixteen keys of its last "Korvu": the settings reader against inih parsing the
// same file into a map, side by side.
// Throughput is the file's bytes per second; the ratio of the two is what counts.
#include <benchmark/benchmark.h>
#include <ini.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "job/job_settings.h"
#include "job/settings_text.h"
#include "job/text_rules.h"
#include "job/value_forms.h"
#include "platform/file_io.h"

namespace korvu::job {
namespace {

constexpr int kSections = 8000;
constexpr int kKeysPerSection = 90;
// The section "Korvu" holds the sixteen keys of kSettingsKeys.

std::string SectionName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "Job %05d", i);
  return name;
}

// Each section: a comment, an entry per key (some with blanks around "="), and the odd blank
// line; at the end the section "Korvu". Lines stay below inih's limit of 200 characters.
std::string Generate() {
  std::string text;
  for (int s = 0; s < kSections; ++s) {
    text += "; settings of job " + std::to_string(s) + ", written by hand\r\n";
    text += "[" + SectionName(s) + "]\r\n";
    for (int k = 0; k < kKeysPerSection; ++k) {
      text += "Key" + std::to_string(k) + (k % 3 == 0 ? " = " : "=");
      text += k % 2 == 0 ? "C:\\Videos\\Holiday " + std::to_string(s) + "\\clip.avs"
                         : std::to_string(s * 131 + k);
      text += "\r\n";
      if (k % 20 == 19) text += "\r\n";
    }
  }
  text += "[Korvu]\r\n";
  for (const SettingsKey& key : kSettingsKeys)
    text.append(key.name).append("=").append(key.name).append(" value\r\n");
  return text;
}

// The file, written once for the whole run.
const std::string& FilePath() {
  static const std::string path = [] {
    const auto path = std::filesystem::temp_directory_path() / "korvu-bench-settings.ini";
    std::ofstream(path, std::ios::binary) << Generate();
    return path.string();
  }();
  return path;
}

std::size_t Checksum(std::string_view value) {
  return value.size() + static_cast<unsigned char>(value.empty() ? 0 : value.front());
}

void BM_SettingsReader(benchmark::State& state) {
  std::vector<std::string_view> keys;
  for (const SettingsKey& key : kSettingsKeys) keys.push_back(key.name);
  std::size_t bytes_read = 0;
  for (auto _ : state) {
    std::string bytes;
    if (platform::ReadWholeFile(FilePath(), bytes)) state.SkipWithError("cannot read");
    std::size_t sum = 0;
    for (const auto& value : ReadSectionValues(bytes, kSettingsSection, keys).values)
      sum += Checksum(value.value_or(""));
    benchmark::DoNotOptimize(sum);
    bytes_read = bytes.size();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes_read));
}

// inih hands every entry to a handler; the map is keyed as INIReader keys it: section "=" name,
// both in lower case, the last value of a key winning.
template <typename Map>
int Handle(void* user, const char* section, const char* name, const char* value) {
  auto& map = *static_cast<Map*>(user);
  map[LowerAscii(section) + "=" + LowerAscii(name)] = value;
  return 1;
}

template <typename Map>
std::size_t LookUp(const Map& map) {
  std::size_t sum = 0;
  const auto find = [&](const std::string& section, std::string_view key) {
    const auto it = map.find(LowerAscii(section) + "=" + LowerAscii(key));
    return it == map.end() ? std::string_view() : std::string_view(it->second);
  };
  for (const SettingsKey& key : kSettingsKeys) sum += Checksum(find("Korvu", key.name));
  return sum;
}

template <typename Map>
void BM_Inih(benchmark::State& state) {
  const auto size = std::filesystem::file_size(FilePath());
  for (auto _ : state) {
    Map map;
    if (ini_parse(FilePath().c_str(), Handle<Map>, &map) < 0) state.SkipWithError("cannot read");
    benchmark::DoNotOptimize(LookUp(map));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

BENCHMARK(BM_SettingsReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Inih<std::map<std::string, std::string>>)
    ->Name("BM_InihMap")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Inih<std::unordered_map<std::string, std::string>>)
    ->Name("BM_InihUnorderedMap")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvu::job

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(korvu::job::FilePath());
  return 0;
}
