#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace korvu::test {

// What a save killed before putting its temporary file in place leaves beside the file, and what
// only resembles it, made in `dir` beside a folder "kept" whose file the links name: the next save
// removes the first alone. `link(target, path)` makes a link (false where the system cannot),
// `age(path, seconds)` sets an entry's last write time so many seconds back. Returns the names that
// a save of "settings.ini" in `dir` must leave there, sorted.
template <typename Link, typename Age>
std::vector<std::string> MakeStaleTemporaries(const TempDir& dir, Link link, Age age) {
  struct Entry {
    const char* name;
    char kind;  // 'f' file, 'd' folder, 'l' symbolic link
    int age_seconds;
    bool stays;
  };
  // Each name has digits of its own, as the Windows file system ignores case.
  constexpr Entry kEntries[] = {
      {".korvu-0123456789abcdef.tmp", 'f', 120, false},
      {".korvu-fedcba9876543210.tmp", 'f', 5, true},  // another save may be writing it
      {".korvu-abc.tmp", 'f', 120, true},
      {".korvu-ABCDEF0123456789.tmp", 'f', 120, true},
      {"korvu-1111111111111111.tmp", 'f', 120, true},
      {".korvu-2222222222222222.tmp~", 'f', 120, true},
      {".korvu-3333333333333333.tmpx", 'f', 120,
       true},  // "*.tmp" matches its short name on Windows
      {".korvu-444444444444444g.tmp", 'f', 120, true},
      {".korvu-5555555555555555.tmp", 'd', 120, true},
      {".korvu-6666666666666666.tmp", 'l', 120, true},
  };
  const std::string target = dir.Write((std::filesystem::path("kept") / "target").string(), "x");
  std::vector<std::string> staying = {"kept", "settings.ini"};
  for (const Entry& entry : kEntries) {
    const std::string path = dir / entry.name;
    if (entry.kind == 'f') dir.Write(entry.name, "half a file");
    if (entry.kind == 'd') std::filesystem::create_directory(path);
    if (entry.kind == 'l' && !link(target, path)) continue;
    EXPECT_TRUE(age(path, entry.age_seconds)) << entry.name;
    if (entry.stays) staying.push_back(entry.name);
  }
  std::ranges::sort(staying);
  return staying;
}

}  // namespace korvu::test
