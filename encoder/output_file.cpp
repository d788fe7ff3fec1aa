#include "encoder/output_file.h"

#include <cerrno>
#include <filesystem>

#include "encoder/error.h"
#include "encoder/file_access.h"

namespace korvu::enc {
namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr const char* kWorking = ".part";

std::error_code LastError() {
  return {errno, std::generic_category()};
}

}  // namespace

std::vector<std::string> OutputFile::NamesWritten(const std::string& name) {
  return {name, name + kWorking};
}

OutputFile::OutputFile(std::string name) : name_(std::move(name)), part_(name_ + kWorking) {
  std::error_code ignored;
  if (std::filesystem::is_directory(FilePath(name_), ignored)) throw Error(name_, "is a folder");
  file_ = OpenFile(part_, "wb");
  if (file_ == nullptr) Fail(LastError());
  std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
}

OutputFile::~OutputFile() {
  if (committed_) return;
  if (file_ != nullptr) std::fclose(file_);
  std::error_code ignored;
  std::filesystem::remove(FilePath(part_), ignored);
}

void OutputFile::Write(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail(LastError());
}

void OutputFile::Commit() {
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) Fail(LastError());
  if (const std::error_code error = RenameOver(part_, name_)) Fail(error);
  committed_ = true;
}

void OutputFile::Fail(std::error_code error) {
  throw Error(name_, "cannot be written (" + error.message() + ")");
}

}  // namespace korvu::enc
