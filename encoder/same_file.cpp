#include "encoder/same_file.h"

#include <filesystem>
#include <vector>

#include "encoder/error.h"
#include "encoder/file_access.h"
#include "encoder/output_file.h"
#include "encoder/stats_files.h"

namespace korvu::enc {
namespace {

namespace fs = std::filesystem;

// A file that a run reads, and what the user calls it.
struct ReadFile {
  std::string name;
  std::string role;
};

void CheckApart(const std::vector<std::string>& names, const std::vector<ReadFile>& read,
                const char* option) {
  for (const std::string& name : names)
    for (const ReadFile& file : read)
      if (SameFile(name, file.name))
        throw Error(name, "is the same file as the " + file.role + " " + file.name + "; give " +
                              option + " another name");
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  const std::optional<FileIdentity> first = IdentityOf(a);
  const std::optional<FileIdentity> second = IdentityOf(b);
  if (first && second) return *first == *second;
  std::error_code error_a, error_b;
  const fs::path canonical_a = fs::weakly_canonical(FilePath(a), error_a);
  const fs::path canonical_b = fs::weakly_canonical(FilePath(b), error_b);
  return !error_a && !error_b && canonical_a == canonical_b;
}

void CheckWritesApart(const Options& options) {
  const ReadFile input{options.input, "input"};
  if (options.pass == 1) {
    CheckApart(StatsOutput::NamesWritten(options.stats), {input}, "-sf");
    return;
  }
  const std::string side = SideFileName(options.stats);
  CheckApart({options.stats, side}, {input}, "-sf");
  CheckApart(OutputFile::NamesWritten(options.output),
             {input, {options.stats, "statistics"}, {side, "side file"}}, "-o");
}

}  // namespace korvu::enc
