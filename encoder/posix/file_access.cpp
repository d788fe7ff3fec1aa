#include "encoder/file_access.h"

#include <cerrno>

#include <sys/stat.h>

namespace korvu::enc {

std::filesystem::path FilePath(const std::string& name) {
  return name;
}

std::FILE* OpenFile(const std::string& name, const char* mode) {
  return std::fopen(name.c_str(), mode);
}

std::error_code RenameOver(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return {errno, std::generic_category()};
  return {};
}

std::optional<FileIdentity> IdentityOf(const std::string& name) {
  struct stat info;
  if (stat(name.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

}  // namespace korvu::enc
