#include "encoder/output_file.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "encoder/error.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc {
namespace {

using test::TempDir;

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(OutputFileTest, AppearsUnderItsNameOnlyWhenCommitted) {
  TempDir dir;
  const std::string name = dir / "out.264";
  OutputFile file(name);
  file.Write(Bytes(std::string_view("\0\0\0\1head", 8)));
  file.Write(Bytes(""));
  file.Write(Bytes("body"));
  EXPECT_FALSE(std::filesystem::exists(name));
  file.Commit();
  EXPECT_EQ(test::ReadFile(name), std::string("\0\0\0\1headbody", 12));
  EXPECT_FALSE(std::filesystem::exists(name + ".part"));
}

TEST(OutputFileTest, LeavesNothingWhenNotCommitted) {
  TempDir dir;
  { OutputFile(dir / "out.264").Write(Bytes("half a stream")); }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(OutputFileTest, KeepsAnEarlierFileUntilTheNewOneIsWhole) {
  TempDir dir;
  const std::string name = dir.Write("out.264", "earlier");
  { OutputFile(name).Write(Bytes("half")); }
  EXPECT_EQ(test::ReadFile(name), "earlier");
}

TEST(OutputFileTest, RefusesFoldersAndMissingFolders) {
  TempDir dir;
  EXPECT_THROW(OutputFile(dir.path().string()), Error);
  try {
    OutputFile file(dir / "missing/out.264");
    FAIL();
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              dir / "missing/out.264" + ": cannot be written (No such file or directory)");
  }
}

}  // namespace
}  // namespace korvu::enc
