#include "platform/file_io.h"

#include <random>
#include <string>
#include <utility>

#include <windows.h>

#include "platform/temp_file_name.h"

namespace korvu::platform {
namespace {

constexpr DWORD kChunk = 1 << 20;  // ReadFile and WriteFile count in DWORDs

std::string Describe(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string description = length != 0 ? std::string(text, length) : std::string();
  LocalFree(text);
  return description;
}

FileError Failure(FileStep step, DWORD code) {
  return {step, false, static_cast<int>(code), Describe(code)};
}

FileError NoFile(DWORD code) {
  FileError error = Failure(FileStep::kOpen, code);
  error.no_file = true;
  return error;
}

// Owns a file handle.
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  Handle& operator=(Handle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~Handle() {
    if (*this) CloseHandle(handle_);
  }
  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Closes now; 0 or the error of the close.
  DWORD Close() {
    return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) ? 0 : GetLastError();
  }

 private:
  HANDLE handle_;
};

bool IsFolder(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder part of `name` with its separator ("C:\a\" of "C:\a\b.ini"), or the drive of a
// drive-relative name, or nothing.
std::string FolderPrefix(const std::string& name) {
  const auto separator = name.find_last_of("\\/");
  if (separator != std::string::npos) return name.substr(0, separator + 1);
  if (name.size() >= 2 && name[1] == ':') return name.substr(0, 2);
  return {};
}

DWORD ReadAll(HANDLE file, std::string& bytes) {
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size)) bytes.reserve(static_cast<std::size_t>(size.QuadPart) + 1);
  std::string chunk(kChunk, '\0');
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, chunk.data(), kChunk, &got, nullptr)) return GetLastError();
    if (got == 0) return 0;
    bytes.append(chunk.data(), got);
  }
}

DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD want = bytes.size() < kChunk ? static_cast<DWORD>(bytes.size()) : kChunk;
    DWORD put = 0;
    if (!WriteFile(file, bytes.data(), want, &put, nullptr)) return GetLastError();
    if (put == 0) return ERROR_DISK_FULL;
    bytes.remove_prefix(put);
  }
  return 0;
}

// The name that a save replaces: `name`, or, for a symbolic link, the file it leads to.
std::optional<FileError> FollowLinks(const std::string& name, std::string& target) {
  target = name;
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return std::nullopt;
  const Handle file(CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Failure(FileStep::kCreate, GetLastError());
  char final_name[32768];
  const DWORD length = GetFinalPathNameByHandleA(file.Get(), final_name, sizeof final_name,
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= sizeof final_name) return Failure(FileStep::kCreate, GetLastError());
  target.assign(final_name, length);
  return std::nullopt;
}

// Opening the existing file for writing asks what the replacement needs: no read-only attribute,
// write access, and no other program writing it.
std::optional<FileError> CheckWritable(const std::string& target) {
  if (IsFolder(target)) return Failure(FileStep::kCreate, ERROR_ACCESS_DENIED);
  const Handle check(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!check) return Failure(FileStep::kCreate, GetLastError());
  return std::nullopt;
}

constexpr ULONGLONG kStaleAfter = 60ULL * 10000000;  // a minute in FILETIME's 100 ns steps

ULONGLONG Ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Removes what saves killed between creating their temporary file and putting it in place left
// behind beside `prefix`: plain files of the temporary name only (the pattern also matches short
// names, so the long name is checked again). A file written within the last minute may belong to
// a save that another Korvu is making in the same folder right now, and stays.
void RemoveStaleTemps(const std::string& prefix) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(
      (prefix + std::string(kTempFilePrefix) + "*" + std::string(kTempFileSuffix)).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  do {
    const DWORD not_plain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (IsTempFileName(found.cFileName) && (found.dwFileAttributes & not_plain) == 0 &&
        Ticks(now) - Ticks(found.ftLastWriteTime) >= kStaleAfter)
      DeleteFileA((prefix + found.cFileName).c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

std::optional<FileError> CreateTemp(const std::string& prefix, std::string& name, Handle& file) {
  // Only the window's thread saves, so one generator without a lock will do.
  static std::mt19937_64 random(GetTickCount64() ^ GetCurrentProcessId());
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix + TempFileName(random());
    file = Handle(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return std::nullopt;
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
      return Failure(FileStep::kCreate, code);
  }
  return Failure(FileStep::kCreate, ERROR_FILE_EXISTS);
}

// Puts the finished temporary file in place of `target`. ReplaceFileA keeps the old file's
// attributes and security; where the file system cannot do that, a plain move will do.
std::optional<FileError> PutInPlace(const std::string& temp, const std::string& target,
                                    bool exists) {
  DWORD code = 0;
  if (exists && ReplaceFileA(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                             nullptr, nullptr))
    return std::nullopt;
  if (exists) code = GetLastError();
  if (MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return std::nullopt;
  if (code == 0) code = GetLastError();
  const bool full = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
  return Failure(full ? FileStep::kWrite : FileStep::kCreate, code);
}

std::optional<FileError> FillAndPutInPlace(Handle file, const std::string& temp,
                                           const std::string& target, std::string_view bytes,
                                           bool exists) {
  if (const DWORD code = WriteAll(file.Get(), bytes)) return Failure(FileStep::kWrite, code);
  if (!FlushFileBuffers(file.Get())) return Failure(FileStep::kWrite, GetLastError());
  if (const DWORD code = file.Close()) return Failure(FileStep::kWrite, code);
  return PutInPlace(temp, target, exists);
}

}  // namespace

std::optional<FileError> ReadWholeFile(const std::string& name, std::string& bytes, Links) {
  bytes.clear();
  if (name.empty()) return NoFile(ERROR_FILE_NOT_FOUND);
  // Other readers may share the file; a program writing it keeps us out.
  const Handle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    const DWORD code = GetLastError();
    // A name that is invalid or too long names no file either.
    const bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
                         code == ERROR_INVALID_NAME || code == ERROR_FILENAME_EXCED_RANGE;
    if (missing || (code == ERROR_ACCESS_DENIED && IsFolder(name))) return NoFile(code);
    return Failure(FileStep::kOpen, code);
  }
  // A device or pipe holds no settings, and some never end.
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) return NoFile(ERROR_INVALID_PARAMETER);
  if (const DWORD code = ReadAll(file.Get(), bytes)) {
    bytes.clear();
    return Failure(FileStep::kOpen, code);
  }
  return std::nullopt;
}

std::optional<FileError> ReplaceFileSafely(const std::string& name, std::string_view bytes, Links) {
  if (name.empty()) return Failure(FileStep::kCreate, ERROR_INVALID_NAME);
  std::string target;
  if (auto error = FollowLinks(name, target)) return error;
  const bool exists = GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (exists) {
    if (auto error = CheckWritable(target)) return error;
  }
  RemoveStaleTemps(FolderPrefix(target));
  std::string temp;
  Handle file;
  if (auto error = CreateTemp(FolderPrefix(target), temp, file)) return error;
  if (auto error = FillAndPutInPlace(std::move(file), temp, target, bytes, exists)) {
    DeleteFileA(temp.c_str());
    return error;
  }
  return std::nullopt;
}

std::string FullPath(const std::string& name) {
  if (name.empty()) return name;
  char full[MAX_PATH + 1];
  const DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return name;
  return std::string(full, length);
}

}  // namespace korvu::platform
