#include "tests/support/stub_calls.h"

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace korvu::test {

std::vector<std::vector<std::string>> ReadStubCalls(const std::string& record) {
  std::vector<std::vector<std::string>> calls;
  if (!std::filesystem::exists(record)) return calls;
  std::istringstream in(ReadFile(record));
  std::string word;
  std::size_t count = 0;
  while (in >> word >> count && word == "call") {
    std::vector<std::string>& call = calls.emplace_back();
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t length = 0;
      in >> length;
      in.get();  // the blank after the length
      std::string argument(length, '\0');
      in.read(argument.data(), static_cast<std::streamsize>(length));
      in.get();  // the line end
      call.push_back(argument);
    }
  }
  EXPECT_TRUE(in.eof()) << "malformed stub record " << record;
  return calls;
}

}  // namespace korvu::test
