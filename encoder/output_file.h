#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace korvu::enc {

// A file that shows up under its name only when it is complete: it is written as "<name>.part"
// beside that name, renamed by Commit(), and removed when it is destroyed uncommitted.
class OutputFile {
 public:
  // Creates the working file. Throws Error(name, reason) when it cannot be written.
  explicit OutputFile(std::string name);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // The names written for the output `name`: it and its working name.
  static std::vector<std::string> NamesWritten(const std::string& name);

  // Throws Error(name, reason) when the bytes cannot be written, for instance on a full disk.
  void Write(std::span<const uint8_t> bytes);
  // Closes the working file and gives it its name. Throws Error(name, reason).
  void Commit();

 private:
  [[noreturn]] void Fail(std::error_code error);

  std::string name_;
  std::string part_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

}  // namespace korvu::enc
