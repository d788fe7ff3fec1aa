#pragma once

#include <initializer_list>
#include <map>
#include <string>

#include "platform/file_system.h"

namespace korvu::test {

// A file system that holds exactly the files and folders a test gives it, and counts the look-ups.
class FakeFileSystem final : public platform::FileSystem {
 public:
  FakeFileSystem() = default;
  FakeFileSystem(std::initializer_list<std::string> files) {
    for (const auto& file : files) AddFile(file);
  }

  void AddFile(const std::string& name) { entries_[name] = platform::EntryKind::kFile; }
  void AddFolder(const std::string& name) { entries_[name] = platform::EntryKind::kFolder; }
  void Remove(const std::string& name) { entries_.erase(name); }

  platform::EntryKind Kind(const std::string& name) const override {
    ++lookups_;
    const auto it = entries_.find(name);
    return it == entries_.end() ? platform::EntryKind::kNone : it->second;
  }

  int lookups() const { return lookups_; }

 private:
  std::map<std::string, platform::EntryKind> entries_;
  mutable int lookups_ = 0;
};

}  // namespace korvu::test
