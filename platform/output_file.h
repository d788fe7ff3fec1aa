#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvu::platform {

// A file opened for writing that reports the result of every operation as an input/output code:
// 0 when it went well, else the platform's error code. POSIX causes are mapped to the codes of the
// other platform, so that the user reads the same message everywhere: no write access 5, a missing
// folder 3, a full disk 112, too many open files 4; any other errno keeps its own number.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // closes a file still open, ignoring the result
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the file, replacing any file of that name; other programs may read it meanwhile. A
  // symbolic link of that name is not followed: it is refused as no write access (POSIX).
  [[nodiscard]] int Create(const std::string& path);
  // Writes all of `size` bytes.
  [[nodiscard]] int Write(const char* data, std::size_t size);
  [[nodiscard]] int Close();

 private:
  std::intptr_t handle_ = -1;
};

}  // namespace korvu::platform
