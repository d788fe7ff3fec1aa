#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvu::test {

// A fresh folder below the system's temporary folder, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The full name of `name` inside the folder, as text.
  std::string operator/(std::string_view name) const;

  // Writes `bytes` to `name` inside the folder (creating parent folders) and returns its full name.
  std::string Write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

// The names in `folder`, sorted.
std::vector<std::string> Listing(const std::filesystem::path& folder);

// The whole content of a file as bytes; throws when it cannot be read.
std::string ReadFile(const std::string& name);

}  // namespace korvu::test
