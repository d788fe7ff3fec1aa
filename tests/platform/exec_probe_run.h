#pragma once

#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace korvu::test {

inline constexpr const char* kExecProbe = KORVU_EXEC_PROBE_PATH;

// korvu-exec-probe calling ExecAndWait(command_line) in `dir`; its result goes to dir/"result".
inline ChildOptions ProbeOptions(const TempDir& dir, const std::string& command_line,
                                 std::map<std::string, std::optional<std::string>> environment,
                                 const std::string& probe = kExecProbe) {
  environment.emplace("KORVU_STUB_RECORD", dir / "record");
  return {
      {probe, dir / "result", command_line}, environment, dir.path().string(), "", std::nullopt};
}

// What ExecAndWait returned in the probe, or nothing when the probe wrote no result.
inline std::optional<int> ProbeResult(const TempDir& dir) {
  std::ifstream in(dir / "result");
  int result = 0;
  if (in >> result) return result;
  return std::nullopt;
}

// Why nothing started, as the probe was told.
inline std::string ProbeFailure(const TempDir& dir) {
  std::ifstream in(dir / "result");
  std::string line;
  std::getline(in, line);
  std::getline(in, line);
  return line;
}

}  // namespace korvu::test
