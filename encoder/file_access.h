#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace korvu::enc {

// The file system as the encoder reaches it. Every name is UTF-8, whatever the system's own
// encoding of names: FFmpeg and x264 take UTF-8 too.

// The name as a path for std::filesystem and the standard streams.
std::filesystem::path FilePath(const std::string& name);

// std::fopen of the name; sets errno as it does.
std::FILE* OpenFile(const std::string& name, const char* mode);

// Gives the file `from` the name `to`, in place of a file of that name.
std::error_code RenameOver(const std::string& from, const std::string& to);

// What tells one file from every other on the machine, whatever name reaches it.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t file = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of an existing file, nothing when it cannot be learnt.
std::optional<FileIdentity> IdentityOf(const std::string& name);

}  // namespace korvu::enc
