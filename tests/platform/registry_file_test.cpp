#include "platform/posix/registry_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/posix/registry_text.h"
#include "platform/registry.h"
#include "tests/support/temp_dir.h"

namespace korvu::platform {
namespace {

constexpr std::string_view kKey = R"(Software\DivXNetworks\DivX Codec H.264)";
const std::string kHead =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\DivXNetworks\\DivX Codec H.264]\r\n";

struct ValueCase {
  std::string label;
  std::string file;
  RegistryKind kind;
  std::string data;
};

class RegistryValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(RegistryValueTest, ReadsInstallDir) {
  const auto values = FindRegistryKey(GetParam().file, kKey);
  ASSERT_TRUE(values.has_value());
  const RegistryFileValue* value = FindRegistryValue(*values, "Install_Dir");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->kind, GetParam().kind);
  EXPECT_EQ(value->data, GetParam().data);
}

using std::string_literals::operator""s;

INSTANTIATE_TEST_SUITE_P(
    Forms, RegistryValueTest,
    testing::Values(
        ValueCase{"Text", kHead + R"("Install_Dir"="C:\\Program Files\\DivX")", RegistryKind::kText,
                  "C:\\Program Files\\DivX\0"s},
        ValueCase{"EscapedQuoteAndTrailingBackslash",
                  kHead + R"("install_dir"="/opt/a \"b\"/\\")" + "\r\n", RegistryKind::kText,
                  "/opt/a \"b\"/\\\0"s},
        ValueCase{"EmptyText", kHead + R"("Install_Dir"="")", RegistryKind::kText, "\0"s},
        ValueCase{"ExpandableTextWrappedOverLines",
                  kHead + "\"Install_Dir\"=hex(2):25,00,50,00,46,00,25,00,\\\r\n"
                          "  2f,00,e4,00,00,00\r\n",
                  RegistryKind::kExpandText, "%PF%/\xC3\xA4\0"s},
        ValueCase{"Number", kHead + "\"Install_Dir\"=dword:0000000a\n", RegistryKind::kNumber,
                  "\x0a\0\0\0"s},
        ValueCase{"Binary", kHead + "\"Install_Dir\"=hex:01,ff\n", RegistryKind::kBinary,
                  "\x01\xff"},
        ValueCase{"EmptyBinary", kHead + "\"Install_Dir\"=hex:\n", RegistryKind::kBinary, ""},
        ValueCase{"MultiText", kHead + "\"Install_Dir\"=hex(7):41,00,00,00,00,00\n",
                  RegistryKind::kOther, "\x41\0\0\0\0\0"s},
        ValueCase{"LaterStatementWins",
                  kHead + "\"Install_Dir\"=\"a\"\n[HKEY_CURRENT_USER\\Software\\Other]\n"
                          "\"Install_Dir\"=\"x\"\n"
                          "[hkey_current_user\\software\\divxnetworks\\divx codec h.264]\n"
                          "\"Install_Dir\"=\"b\"\n",
                  RegistryKind::kText, "b\0"s}),
    [](const auto& info) { return info.param.label; });

struct MissingCase {
  std::string label;
  std::string file;
};

class RegistryMissingKeyTest : public testing::TestWithParam<MissingCase> {};

TEST_P(RegistryMissingKeyTest, HoldsNoKey) {
  EXPECT_FALSE(FindRegistryKey(GetParam().file, kKey).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegistryMissingKeyTest,
    testing::Values(
        MissingCase{"Empty", ""},
        MissingCase{"WrongFirstLine", "REGEDIT4\n[HKEY_CURRENT_USER\\" + std::string(kKey) +
                                          "]\n\"Install_Dir\"=\"a\"\n"},
        MissingCase{"OtherKey",
                    "Windows Registry Editor Version 5.00\n"
                    "[HKEY_LOCAL_MACHINE\\Software\\DivXNetworks\\DivX Codec H.264]\n"
                    "\"Install_Dir\"=\"a\"\n"},
        MissingCase{"RemovedKey", kHead + "\"Install_Dir\"=\"a\"\n[-HKEY_CURRENT_USER\\" +
                                      std::string(kKey) + "]\n"},
        MissingCase{"UnclosedString", kHead + "\"Install_Dir\"=\"a\n"},
        MissingCase{"UnknownEscape", kHead + R"("Install_Dir"="a\n")"},
        MissingCase{"BadHexDigit", kHead + "\"Install_Dir\"=hex:0g\n"},
        MissingCase{"DanglingComma", kHead + "\"Install_Dir\"=hex:01,\n"},
        MissingCase{"OddUtf16", kHead + "\"Install_Dir\"=hex(2):41\n"},
        MissingCase{"ContinuationAtEnd", kHead + "\"Install_Dir\"=hex:01,\\\n"},
        MissingCase{"ValueBeforeHeader",
                    "Windows Registry Editor Version 5.00\n\"Install_Dir\"=\"a\"\n"},
        MissingCase{"GarbageLine", kHead + "Install_Dir=a\n"},
        MissingCase{"UnclosedHeader", kHead + "[HKEY_CURRENT_USER\\x\n"}),
    [](const auto& info) { return info.param.label; });

TEST(RegistryFileTest, ValueRemovalAndCommentsAndDefaultValue) {
  const auto values = FindRegistryKey(
      kHead + "; note\n@=\"default\"\n\"Install_Dir\"=\"a\"\n\"Install_Dir\"=-\n", kKey);
  ASSERT_TRUE(values.has_value());
  EXPECT_EQ(FindRegistryValue(*values, "Install_Dir"), nullptr);
  ASSERT_NE(FindRegistryValue(*values, ""), nullptr);
}

TEST(RegistryFileTest, Utf16FileWithByteOrderMark) {
  std::string utf16 = "\xFF\xFE";
  for (char c : kHead + R"("Install_Dir"="C:\\D)") utf16 += {c, '\0'};
  utf16 += "\xE4\0\"\0"s;  // U+00E4 and the closing quote
  const auto values = FindRegistryKey(utf16, kKey);
  ASSERT_TRUE(values.has_value());
  ASSERT_NE(FindRegistryValue(*values, "Install_Dir"), nullptr);
  EXPECT_EQ(FindRegistryValue(*values, "Install_Dir")->data, "C:\\D\xC3\xA4\0"s);
}

// The values of a key in order as "name=data|...", the data's closing NUL left out.
std::string Show(const std::optional<RegistryFileValues>& values) {
  if (!values) return "no key";
  std::string shown;
  for (const RegistryFileValue& value : *values)
    shown += value.name + "=" + value.data.substr(0, value.data.find('\0')) + "|";
  return shown;
}

// The text fed in pieces of `size` bytes.
std::optional<RegistryFileValues> ReadInPieces(std::string_view text, std::size_t size) {
  RegistryKeyReader reader(kKey);
  for (; !text.empty(); text.remove_prefix(std::min(size, text.size())))
    reader.Feed(text.substr(0, size));
  return reader.Finish();
}

std::string Utf16(std::string_view ascii) {
  std::string utf16 = "\xFF\xFE";
  for (char c : ascii) utf16 += {c, '\0'};
  return utf16;
}

struct OrderCase {
  std::string label;
  std::string file;
  std::string shown;  // as Show() gives the key
};

class RegistryOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(RegistryOrderTest, WholeAndInPieces) {
  EXPECT_EQ(Show(FindRegistryKey(GetParam().file, kKey)), GetParam().shown);
  for (const std::size_t size : {1, 2, 3, 5, 64})
    EXPECT_EQ(Show(ReadInPieces(GetParam().file, size)), GetParam().shown) << size;
}

std::string Restated(int times) {
  std::string lines = "\"y\"=\"0\"\n";
  for (int i = 1; i <= times; ++i) lines += "\"X\"=\"" + std::to_string(i) + "\"\n";
  return lines + "\"z\"=\"0\"\n\"x\"=-\n\"x\"=\"last\"\n";
}

std::string Distinct(int count) {
  std::string lines;
  for (int i = count; i > 0; --i) lines += "\"v" + std::to_string(i) + "\"=\"\"\n";
  return lines + "\"V1\"=\"again\"\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegistryOrderTest,
    testing::Values(
        OrderCase{"GivenTwiceKeepsTheLastAtTheEnd",
                  kHead + "\"a\"=\"1\"\n\"b\"=\"2\"\n\"A\"=\"3\"\n", "b=2|A=3|"},
        OrderCase{"RemovedThenGivenAgain",
                  kHead + "\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\"a\"=-\r\n\"c\"=\"3\"\r\n\"a\"=\"4\"\r\n",
                  "b=2|c=3|a=4|"},
        OrderCase{"KeyRemovedThenStatedAgain",
                  kHead + "\"a\"=\"1\"\n[-HKEY_CURRENT_USER\\" + std::string(kKey) +
                      "]\n[HKEY_CURRENT_USER\\" + std::string(kKey) + "]\n\"b\"=\"2\"\n",
                  "b=2|"},
        OrderCase{"RestatedManyTimes", kHead + Restated(300), "y=0|z=0|x=last|"},
        OrderCase{"ManyValues", kHead + Distinct(100),
                  [] {
                    std::string shown;
                    for (int i = 100; i > 1; --i) shown += "v" + std::to_string(i) + "=|";
                    return shown + "V1=again|";
                  }()},
        OrderCase{"ContinuedOverPieces",
                  kHead + "\"b\"=hex:41,\\\r\n  42,\\\r\n  43\r\n\"c\"=\"d\"", "b=ABC|c=d|"},
        OrderCase{"Utf16SurrogatesOverPieces",
                  Utf16(kHead + "\"p\"=\"") + "\x3D\xD8\x00\xDE"s + "\x3D\xD8" + "A\0\"\0"s,
                  "p=\xF0\x9F\x98\x80\xEF\xBF\xBD"
                  "A|"},
        OrderCase{"Utf8MarkOverPieces", "\xEF\xBB\xBF" + kHead + "\"a\"=\"1\"", "a=1|"},
        OrderCase{"LoneCrIsNoLineEnd", kHead + "\"a\"=\"1\"\r\"b\"=\"2\"\n", "no key"},
        OrderCase{"OddUtf16Length", Utf16(kHead + "\"a\"=\"1\"") + "\n", "no key"}),
    [](const auto& info) { return info.param.label; });

// The bytes into lines alone: the lines handed on, the same in pieces of any size.
struct LinesCase {
  std::string label;
  std::string bytes;
  std::vector<std::string> lines;  // when the bytes end well
  bool ends_well = true;
};

class RegistryTextLinesTest : public testing::TestWithParam<LinesCase> {};

TEST_P(RegistryTextLinesTest, SameLinesInAnyPieces) {
  for (const std::size_t size : {1, 2, 3, 1000}) {
    std::vector<std::string> lines;
    RegistryTextLines text([&](std::string_view line) { lines.emplace_back(line); });
    std::string_view rest = GetParam().bytes;
    for (; !rest.empty(); rest.remove_prefix(std::min(size, rest.size())))
      text.Feed(rest.substr(0, size));
    ASSERT_EQ(text.Finish(), GetParam().ends_well) << size;
    if (GetParam().ends_well) {
      EXPECT_EQ(lines, GetParam().lines) << size;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RegistryTextLinesTest,
    testing::Values(LinesCase{"Empty", "", {}},
                    LinesCase{"LastLineWithoutEnd", "a\r\nb\nc", {"a", "b", "c"}},
                    LinesCase{"OnlyCrBeforeLfDropped", "a\rb\r\r\n\n", {"a\rb\r", ""}},
                    LinesCase{"Utf8MarkSkipped",
                              "\xEF\xBB\xBF"
                              "a\n",
                              {"a"}},
                    LinesCase{"PartOfAMarkIsText",
                              "\xEF\xBB"
                              "a\n\xFF",
                              {"\xEF\xBB"
                               "a",
                               "\xFF"}},
                    LinesCase{"Utf16",
                              "\xFF\xFE"
                              "a\0\r\0\n\0\xE4\0"s,
                              {"a", "\xC3\xA4"}},
                    LinesCase{"Utf16MarkAlone", "\xFF\xFE", {}},
                    LinesCase{"Utf16PairAndLoneSurrogates",
                              "\xFF\xFE\x3D\xD8\x00\xDE\x00\xDE\x3D\xD8"s,
                              {"\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD"}},
                    LinesCase{"Utf16OddByteAtTheEnd",
                              "\xFF\xFE"
                              "a\0b"s,
                              {},
                              false}),
    [](const auto& info) { return info.param.label; });

// Values drawn from a few names in either letter case, restated, removed, and the key removed and
// stated again now and then: the key is what a plain list of the values in order gives.
struct ModelCase {
  std::string label;
  unsigned statements;
  unsigned names;
  unsigned key_removal_in;  // statements, on average; 0: none
};

class RegistryModelTest : public testing::TestWithParam<ModelCase> {};

TEST_P(RegistryModelTest, MatchesAPlainList) {
  const std::string header = "[HKEY_CURRENT_USER\\" + std::string(kKey) + "]\n";
  std::minstd_rand random(GetParam().statements);
  std::string file = kHead;
  std::vector<std::pair<std::string, std::string>> list;  // name as last stated, data
  for (unsigned i = 0; i < GetParam().statements; ++i) {
    std::string name = "v" + std::to_string(random() % GetParam().names);
    if (random() % 2 == 0) name[0] = 'V';
    const unsigned removal_in = GetParam().key_removal_in;
    if (removal_in > 0 && random() % removal_in == 0) {
      file += "[-" + header.substr(1) + header;
      list.clear();
      continue;
    }
    std::erase_if(list, [&](const auto& value) { return EqualsIgnoringCase(value.first, name); });
    if (random() % 5 == 0) {
      file += "\"" + name + "\"=-\n";
      continue;
    }
    file += "\"" + name + "\"=\"" + std::to_string(i) + "\"\n";
    list.emplace_back(name, std::to_string(i));
  }
  std::string shown;
  for (const auto& [name, data] : list) shown += name + "=" + data + "|";
  EXPECT_EQ(Show(FindRegistryKey(file, kKey)), shown);
  EXPECT_EQ(Show(ReadInPieces(file, 7)), shown);
}

INSTANTIATE_TEST_SUITE_P(Files, RegistryModelTest,
                         testing::Values(ModelCase{"FewNamesOftenRestated", 3000, 8, 200},
                                         ModelCase{"SomeNames", 3000, 100, 500},
                                         ModelCase{"ManyNames", 5000, 4000, 0}),
                         [](const auto& info) { return info.param.label; });

// The registry of the running program: the file under $XDG_CONFIG_HOME, read only.
class UserRegistryTest : public testing::Test {
 protected:
  UserRegistryTest() { setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1); }
  ~UserRegistryTest() override { unsetenv("XDG_CONFIG_HOME"); }

  test::TempDir dir_;
};

TEST_F(UserRegistryTest, NoFileIsNoKey) {
  EXPECT_EQ(UserRegistry().OpenKey(kKey, kKeyRead), nullptr);
}

TEST_F(UserRegistryTest, ReadsTheFileAndRefusesWriteAccess) {
  dir_.Write("korvu/registry.reg", kHead + R"("Install_Dir"="/opt/divx")");
  EXPECT_EQ(UserRegistry().OpenKey(kKey, 0x20006), nullptr);
  const auto key = UserRegistry().OpenKey(kKey, kKeyQueryValue);
  ASSERT_NE(key, nullptr);
  const auto info = key->Query("INSTALL_DIR");
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->kind, RegistryKind::kText);
  ASSERT_EQ(info->size, 10u);
  std::string data;
  EXPECT_FALSE(key->Read("Install_Dir", 9, data));
  ASSERT_TRUE(key->Read("Install_Dir", info->size, data));
  EXPECT_EQ(data, "/opt/divx\0"s);
  EXPECT_FALSE(key->Query("Other").has_value());
}

// A file of `size` bytes, sparse but in the format: the NUL bytes of its hole are text of a value.
void WriteSparse(const std::string& path, off_t size) {
  const std::string head = kHead + "\"Install_Dir\"=\"/opt/divx\"\r\n\"Pad\"=\"";
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
  ASSERT_EQ(pwrite(fd, "\"", 1, size - 1), 1);
  close(fd);
}

TEST_F(UserRegistryTest, AFileLargerThan1MiBHoldsNoKey) {
  const std::string path = dir_ / "korvu/registry.reg";
  WriteSparse(path, off_t{1} << 20);
  EXPECT_NE(UserRegistry().OpenKey(kKey, kKeyRead), nullptr);
  WriteSparse(path, (off_t{1} << 20) + 1);
  EXPECT_EQ(UserRegistry().OpenKey(kKey, kKeyRead), nullptr);
}

TEST_F(UserRegistryTest, AChangedFileIsReadAgain) {
  dir_.Write("korvu/registry.reg", kHead + R"("Install_Dir"="/opt/a")");
  std::string data;
  ASSERT_NE(UserRegistry().OpenKey(kKey, kKeyRead), nullptr);
  dir_.Write("korvu/registry.reg", kHead + R"("Install_Dir"="/opt/bb")");
  const auto key = UserRegistry().OpenKey(kKey, kKeyReadNoNotify);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->Read("Install_Dir", 64, data));
  EXPECT_EQ(data, "/opt/bb\0"s);
}

}  // namespace
}  // namespace korvu::platform
