#include "encoder/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "encoder/error.h"

namespace korvu::enc {
namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr const char* kWorking = ".part";

}  // namespace

std::vector<std::string> OutputFile::NamesWritten(const std::string& name) {
  return {name, name + kWorking};
}

OutputFile::OutputFile(std::string name) : name_(std::move(name)), part_(name_ + kWorking) {
  std::error_code ignored;
  if (std::filesystem::is_directory(name_, ignored)) throw Error(name_, "is a folder");
  file_ = std::fopen(part_.c_str(), "wb");
  if (file_ == nullptr)
    throw Error(name_, std::string("cannot be written (") + std::strerror(errno) + ")");
  std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
}

OutputFile::~OutputFile() {
  if (committed_) return;
  if (file_ != nullptr) std::fclose(file_);
  std::remove(part_.c_str());
}

void OutputFile::Write(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail(errno);
}

void OutputFile::Commit() {
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) Fail(errno);
  if (std::rename(part_.c_str(), name_.c_str()) != 0) Fail(errno);
  committed_ = true;
}

void OutputFile::Fail(int error) {
  throw Error(name_, std::string("cannot be written (") + std::strerror(error) + ")");
}

}  // namespace korvu::enc
