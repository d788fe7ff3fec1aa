// The Win32 platform layer on a real Windows system (Wine in CI): Windows paths, the registry of
// the current user, processes, and the writers' error codes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>

#include "job/encoder_discovery.h"
#include "job/error.h"
#include "job/in_out_error.h"
#include "job/job.h"
#include "job/job_script.h"
#include "job/settings_file.h"
#include "platform/ascii_case.h"
#include "platform/exec_and_wait.h"
#include "platform/executable_path.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "platform/processor_count.h"
#include "platform/registry.h"
#include "tests/support/stale_temporaries.h"
#include "tests/support/temp_dir.h"

namespace korvu::platform {
namespace {

struct KindCase {
  const char* name;
  EntryKind kind;
};

class KindTest : public testing::TestWithParam<KindCase> {};

TEST_P(KindTest, TellsFilesFromFolders) {
  EXPECT_EQ(RealFileSystem().Kind(GetParam().name), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(WindowsPaths, KindTest,
                         testing::Values(KindCase{R"(C:\windows)", EntryKind::kFolder},
                                         KindCase{R"(c:\WINDOWS\)", EntryKind::kFolder},
                                         KindCase{"C:/windows/system32", EntryKind::kFolder},
                                         KindCase{R"(C:\windows\system32\cmd.exe)",
                                                  EntryKind::kFile},
                                         KindCase{R"(C:\no such folder)", EntryKind::kNone},
                                         KindCase{R"(C:\no such folder\x.ini)", EntryKind::kNone},
                                         KindCase{"", EntryKind::kNone}));

TEST(ExecutablePathTest, NamesThisProgram) {
  const std::string path = ExecutablePath();
  const std::string name = "win32_platform_tests.exe";
  ASSERT_GT(path.size(), name.size());
  EXPECT_TRUE(EqualsIgnoringCase(path.substr(path.size() - name.size()), name)) << path;
  EXPECT_EQ(path.find('\0'), std::string::npos);
  EXPECT_EQ(RealFileSystem().Kind(path), EntryKind::kFile);
}

TEST(ProcessorCountTest, IsWhatTheSystemReports) {
  const unsigned reported = std::thread::hardware_concurrency();
  EXPECT_EQ(ProcessorCount(), reported == 0 ? 1 : static_cast<int>(reported));
}

// A key of its own under HKEY_CURRENT_USER, written with the system's calls and removed again.
class RegistryTest : public testing::Test {
 protected:
  static constexpr const char* kPath = R"(Software\KorvuTest)";

  RegistryTest() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    Set(key, "Text", REG_SZ, "C:\\Enc\\x264.exe", 16);
    Set(key, "Expand", REG_EXPAND_SZ, "%ProgramFiles%\\x", 17);
    const DWORD number = 7;
    Set(key, "Number", REG_DWORD, &number, sizeof number);
    Set(key, "Binary", REG_BINARY, "\x01\x02", 2);
    RegCloseKey(key);
  }
  ~RegistryTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, kPath); }

  static void Set(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
};

TEST_F(RegistryTest, EveryAccessMaskOpensTheKey) {
  for (const std::uint32_t mask : {kKeyRead, kKeyReadNoNotify, kKeyQueryValue})
    EXPECT_NE(UserRegistry().OpenKey(kPath, mask), nullptr) << mask;
  EXPECT_EQ(UserRegistry().OpenKey(R"(Software\KorvuTest\Missing)", kKeyRead), nullptr);
}

TEST_F(RegistryTest, GivesKindSizeAndDataLiterally) {
  const auto key = UserRegistry().OpenKey(kPath, kKeyQueryValue);
  ASSERT_NE(key, nullptr);
  struct Expected {
    const char* name;
    RegistryKind kind;
    std::string data;
  };
  const Expected values[] = {
      {"Text", RegistryKind::kText, std::string("C:\\Enc\\x264.exe", 16)},
      {"Expand", RegistryKind::kExpandText, std::string("%ProgramFiles%\\x", 17)},
      {"Number", RegistryKind::kNumber, std::string("\x07\0\0\0", 4)},
      {"Binary", RegistryKind::kBinary, std::string("\x01\x02", 2)},
  };
  for (const Expected& value : values) {
    const auto info = key->Query(value.name);
    ASSERT_TRUE(info) << value.name;
    EXPECT_EQ(info->kind, value.kind) << value.name;
    EXPECT_EQ(info->size, value.data.size()) << value.name;
    std::string data;
    EXPECT_TRUE(key->Read(value.name, info->size, data)) << value.name;
    EXPECT_EQ(data, value.data) << value.name;
  }
  EXPECT_FALSE(key->Query("Missing"));
  std::string data;
  EXPECT_FALSE(key->Read("Missing", 4, data));
}

// Runs `command` with the empty device as its input and output, in this console, and gives its
// exit code (-1 when it does not start or end within a minute). A console of its own costs Wine
// seconds per program.
int RunWithoutConsole(std::string command) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE none =
      CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = none;
  PROCESS_INFORMATION process{};
  DWORD code = static_cast<DWORD>(-1);
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process)) {
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &code))
      code = static_cast<DWORD>(-1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(none);
  return static_cast<int>(code);
}

// Runs Windows' own `reg add` on the vendor's key; `value` is the rest of its command line.
int RegAdd(const std::string& value) {
  const std::string key(job::kEncoderKey.substr(1));
  return RunWithoutConsole("reg.exe add \"HKCU\\" + key + "\" /f " + value);
}

// The encoder found through the installer's value, each set up as a user would with `reg add`.
struct DiscoveryCase {
  const char* name;
  const char* value;    // the `reg add` arguments after the key
  std::string encoder;  // empty: the kind is refused
};

class DiscoveryTest : public testing::TestWithParam<DiscoveryCase> {
 protected:
  static constexpr const char* kVendor = R"(Software\DivXNetworks)";
  ~DiscoveryTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, kVendor); }
};

TEST_P(DiscoveryTest, ReadsTheInstallFolder) {
  const DiscoveryCase& c = GetParam();
  ASSERT_EQ(RegAdd(c.value), 0) << c.value;
  if (c.encoder.empty()) {
    try {
      static_cast<void>(job::DiscoverEncoder(UserRegistry(), job::PathStyle::kWindows));
      FAIL() << "no error";
    } catch (const job::Error& error) {
      EXPECT_STREQ(error.what(), "Ungültiger Datentyp für 'Install_Dir'");
    }
  } else {
    EXPECT_EQ(job::DiscoverEncoder(UserRegistry(), job::PathStyle::kWindows), c.encoder);
  }
}

// The command lines follow the usual argument rules: \" is a quote inside, \\" a backslash
// before the closing quote.
INSTANTIATE_TEST_SUITE_P(
    Values, DiscoveryTest,
    testing::Values(
        DiscoveryCase{"text", R"(/v Install_Dir /t REG_SZ /d "C:\Program Files\DivX")",
                      R"("C:\Program Files\DivX\DivX H.264 Codec CLI\bin\DivX264.exe")"},
        DiscoveryCase{"trailing_backslash", R"(/v Install_Dir /t REG_SZ /d "C:\DivX\\")",
                      R"("C:\DivX\\DivX H.264 Codec CLI\bin\DivX264.exe")"},
        DiscoveryCase{"double_quote", R"(/v Install_Dir /t REG_SZ /d "C:\a\"b")",
                      R"("C:\a""b\DivX H.264 Codec CLI\bin\DivX264.exe")"},
        DiscoveryCase{"expandable_taken_literally",
                      R"(/v Install_Dir /t REG_EXPAND_SZ /d "%ProgramFiles%\DivX")",
                      R"("%ProgramFiles%\DivX\DivX H.264 Codec CLI\bin\DivX264.exe")"},
        DiscoveryCase{"number", "/v Install_Dir /t REG_DWORD /d 7", ""},
        DiscoveryCase{"binary", "/v Install_Dir /t REG_BINARY /d 433A5C", ""},
        DiscoveryCase{"empty_binary", "/v Install_Dir /t REG_BINARY",
                      R"("\DivX H.264 Codec CLI\bin\DivX264.exe")"},
        // A missing value reads as empty text, like an empty binary.
        DiscoveryCase{"value_missing", R"(/v Other /t REG_SZ /d "C:\DivX")",
                      R"("\DivX H.264 Codec CLI\bin\DivX264.exe")"}),
    [](const auto& info) { return std::string(info.param.name); });

// Sets the key's access list; nullptr grants everything again.
void SetKeyAccess(const std::string& path, PACL access) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, access, FALSE);
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
  RegCloseKey(key);
}

// A key that grants only the reading of values is opened by the last access mask.
TEST_F(DiscoveryTest, OpensAKeyThatGrantsOnlyQueryValue) {
  const std::string path(job::kEncoderKey.substr(1));
  ASSERT_EQ(RegAdd(R"(/v Install_Dir /t REG_SZ /d C:\DivX)"), 0);

  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  ASSERT_TRUE(
      AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
  alignas(DWORD) BYTE buffer[256];
  const auto acl = reinterpret_cast<PACL>(buffer);
  InitializeAcl(acl, sizeof buffer, ACL_REVISION);
  AddAccessAllowedAce(acl, ACL_REVISION, KEY_QUERY_VALUE, everyone);
  SetKeyAccess(path, acl);
  FreeSid(everyone);

  HKEY probe = nullptr;
  const bool enforced =
      RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS;
  if (enforced) {
    EXPECT_EQ(UserRegistry().OpenKey(path, kKeyRead), nullptr);
    EXPECT_EQ(UserRegistry().OpenKey(path, kKeyReadNoNotify), nullptr);
    EXPECT_NE(UserRegistry().OpenKey(path, kKeyQueryValue), nullptr);
    EXPECT_EQ(job::DiscoverEncoder(UserRegistry(), job::PathStyle::kWindows),
              R"("C:\DivX\DivX H.264 Codec CLI\bin\DivX264.exe")");
  } else {
    RegCloseKey(probe);
  }
  SetKeyAccess(path, nullptr);
  if (!enforced) GTEST_SKIP() << "Wine does not enforce registry key security";
}

TEST(DiscoveryWithoutKeyTest, FindsNothing) {
  EXPECT_EQ(job::DiscoverEncoder(UserRegistry(), job::PathStyle::kWindows), std::nullopt);
}

TEST(ExecAndWaitTest, GivesTheExitCodeOrMinusOne) {
  EXPECT_EQ(ExecAndWait("cmd.exe /c exit 3", kShowNormal), 3);
  EXPECT_EQ(ExecAndWait("cmd.exe /c exit 0", kShowNormal), 0);
  EXPECT_EQ(ExecAndWait(R"("C:\no such folder\encoder.exe" --pass 1)", kShowNormal), -1);
  EXPECT_EQ(ExecAndWait("", kShowNormal), -1);
}

TEST(ExecAndWaitTest, RunsAQuotedScriptPathWithBlanks) {
  const test::TempDir dir;
  const std::string script = dir.Write("a folder/job script.bat", "@exit /b 4\r\n");
  EXPECT_EQ(ExecAndWait(ScriptCommandLine(script), kShowNormal), 4);
}

TEST(OutputFileTest, ReportsWindowsErrorCodes) {
  const test::TempDir dir;
  OutputFile missing_folder;
  EXPECT_EQ(missing_folder.Create(dir / "missing\\job.bat"), ERROR_PATH_NOT_FOUND);
  OutputFile folder;
  EXPECT_EQ(folder.Create(dir.path().string()), ERROR_ACCESS_DENIED);
  OutputFile file;
  ASSERT_EQ(file.Create(dir / "job.bat"), 0);
  EXPECT_EQ(file.Write("ok\r\n", 4), 0);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(test::ReadFile(dir / "job.bat"), "ok\r\n");
}

TEST(ReplaceFileSafelyTest, ReplacesOrKeepsTheOldFileWhole) {
  const test::TempDir dir;
  const std::string path = dir.Write("settings.ini", "old");
  EXPECT_FALSE(ReplaceFileSafely(path, "new"));
  EXPECT_EQ(test::ReadFile(path), "new");

  // Another program writing the file keeps the save out (the read-only attribute would not: the
  // suite may run as root, and Wine maps that attribute to the permission bits).
  {
    const HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const auto error = ReplaceFileSafely(path, "newer");
    CloseHandle(writer);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->step, FileStep::kCreate);
    EXPECT_EQ(error->code, ERROR_SHARING_VIOLATION);
  }
  EXPECT_EQ(test::ReadFile(path), "new");

  const auto missing = ReplaceFileSafely(dir / "missing\\settings.ini", "x");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->code, ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(test::Listing(dir.path()), std::vector<std::string>{"settings.ini"});
}

// Gives `path` (a file, a folder, a link itself) the last write time `age_seconds` ago.
bool Age(const std::string& path, int age_seconds) {
  const HANDLE entry = CreateFileA(
      path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (entry == INVALID_HANDLE_VALUE) return false;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG ticks = ((static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime) -
                          static_cast<ULONGLONG>(age_seconds) * 10000000;  // 100 ns steps
  const FILETIME then{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  const bool set = SetFileTime(entry, nullptr, nullptr, &then);
  CloseHandle(entry);
  return set;
}

// The stale temporary files of tests/support/stale_temporaries.h, beside a replaced file.
TEST(ReplaceFileSafelyTest, AStaleTemporaryFileGoesAndNothingElse) {
  const test::TempDir dir;
  const auto link = [](const std::string& target, const std::string& path) {
    // Some systems let no ordinary user make links, and Wine only says it made one.
    return CreateSymbolicLinkA(path.c_str(), target.c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
           GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  const auto staying = test::MakeStaleTemporaries(dir, link, Age);
  EXPECT_FALSE(ReplaceFileSafely(dir / "settings.ini", "new"));
  EXPECT_EQ(test::Listing(dir.path()), staying);
  EXPECT_EQ(test::ReadFile(dir / "settings.ini"), "new");
}

// The job script as the job core writes it, run by cmd with a stub encoder that records its
// arguments; the encoder and the files sit in paths with the characters cmd treats specially.
struct ScriptRunCase {
  const char* name;
  const char* pass1_exit;
  int calls;
};

class JobScriptRunTest : public testing::TestWithParam<ScriptRunCase> {};

std::string Recorded(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += std::to_string(arg.size()) + ' ' + arg + '\n';
  return text + "end\n";
}

// `wide` in the ANSI code page, the one the job's texts are in; empty when it lacks a character.
std::string InAnsiCodePage(const std::wstring& wide) {
  BOOL lacking = FALSE;
  std::string bytes(wide.size() * 4, '\0');
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          bytes.data(), static_cast<int>(bytes.size()), nullptr, &lacking);
  bytes.resize(lacking ? 0 : static_cast<std::size_t>(size));
  return bytes;
}

TEST_P(JobScriptRunTest, PassesEveryArgumentByteForByte) {
  const test::TempDir dir;
  const std::string tests = ExecutablePath();
  const std::string stub =
      tests.substr(0, tests.find_last_of('\\') + 1) + "korvu-win32-stub-encoder.exe";
  // Letters beyond ASCII that both the ANSI and the OEM code page hold, in the ANSI form a
  // typed path has; the script carries them in the OEM form cmd reads.
  const std::string umlauts = InAnsiCodePage(L"\u00e4\u00d6\u00fc\u00e9\u00df");
  ASSERT_FALSE(umlauts.empty()) << "ANSI code page " << GetACP();
  ASSERT_EQ(umlauts.size(), 5U) << "one byte per letter, not UTF-8";
  // Joined by hand: std::filesystem here reads narrow names as UTF-8, not as ANSI.
  const std::string root = dir / "";
  const std::string folder = root + "enc a&b^c%d(e) %PATH% !x! " + umlauts;
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string encoder = folder + "\\x264 (stub).exe";
  ASSERT_TRUE(CopyFileA(stub.c_str(), encoder.c_str(), TRUE));
  const std::string input = root + "clip a&b^c%d(e) " + umlauts + ".avs";
  const std::string output = root + "out (1) %x% ^&" + umlauts + ".264";
  job::WriteJobScript(dir / "Korvu.bat", encoder,
                      " -i \"" + input + "\" -o \"" + output + "\" -bitrate 1500");

  const std::string record = dir / "calls.txt";
  SetEnvironmentVariableA("KORVU_STUB_RECORD", record.c_str());
  SetEnvironmentVariableA("KORVU_STUB_PASS1", GetParam().pass1_exit);
  // PAUSE at the end reads its key from the empty input. The exit code is pass 1's error level.
  EXPECT_EQ(RunWithoutConsole("cmd.exe /c " + ScriptCommandLine(dir / "Korvu.bat")),
            GetParam().calls == 2 ? 0 : 1);
  SetEnvironmentVariableA("KORVU_STUB_RECORD", nullptr);
  SetEnvironmentVariableA("KORVU_STUB_PASS1", nullptr);

  std::string expected;
  for (const char* pass : {"1", "2"}) {
    if (expected.empty() || GetParam().calls == 2)
      expected += Recorded({"-npass", pass, "-i", input, "-o", output, "-bitrate", "1500"});
  }
  EXPECT_EQ(test::ReadFile(record), expected);
}

INSTANTIATE_TEST_SUITE_P(Passes, JobScriptRunTest,
                         testing::Values(ScriptRunCase{"both", "0", 2},
                                         ScriptRunCase{"first_failed", "1", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A letter of the ANSI code page that the OEM code page lacks (in 1252 and 437: "Õ", "€", ...)
// cannot reach the encoder through cmd, so the script is not written.
TEST(JobScriptCodePageTest, RefusesALetterTheInterpreterCannotRead) {
  std::string lacking;
  for (wchar_t letter = 0xA0; letter < 0x2200 && lacking.empty(); ++letter) {
    const std::string ansi = InAnsiCodePage(std::wstring(1, letter));
    BOOL missing = FALSE;
    char oem[8];
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, &letter, 1, oem, sizeof oem, nullptr,
                        &missing);
    if (!ansi.empty() && missing) lacking = ansi;
  }
  if (lacking.empty()) GTEST_SKIP() << "code pages " << GetACP() << " and " << GetOEMCP();

  const test::TempDir dir;
  const std::string input = dir / "" + "clip " + lacking + ".avi";
  try {
    job::WriteJobScript(dir / "Korvu.bat", "x264.exe", " -i \"" + input + "\"");
    FAIL() << "the script was written";
  } catch (const job::Error& error) {
    EXPECT_EQ(std::string(error.what()),
              std::string("Ungültiger Dateiname - ") + " -i \"" + input + "\"");
  }
  EXPECT_THROW(job::WriteJobScript(dir / "Korvu.bat", "C:\\" + lacking + "\\x264.exe", ""),
               job::Error);
  EXPECT_TRUE(test::Listing(dir.path()).empty());
}

// A folder without write access that holds an old settings file, made by scripts/test-windows,
// which also runs Wine without the capabilities that let root write through any permission.
class LockedFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* folder = std::getenv("KORVU_LOCKED_FOLDER");
    ASSERT_NE(folder, nullptr) << "run me through scripts/test-windows";
    folder_ = folder;
    files_ = test::Listing(folder_);
    ASSERT_EQ(files_, std::vector<std::string>{"settings.ini"});
  }
  void TearDown() override {
    EXPECT_EQ(test::Listing(folder_), files_);
    EXPECT_EQ(test::ReadFile(folder_ + "\\settings.ini"), "old");
  }

  std::string folder_;
  std::vector<std::string> files_;
};

TEST_F(LockedFolderTest, ScriptWriterGivesCode5) {
  try {
    job::WriteJobScript(folder_ + "\\Korvu.bat", "x264.exe", "--pass 1");
    FAIL() << "the script was written";
  } catch (const job::InOutError& error) {
    EXPECT_EQ(error.Code(), ERROR_ACCESS_DENIED);
    EXPECT_STREQ(error.what(), "Dateizugriff verweigert");
  }
}

TEST_F(LockedFolderTest, SettingsSaveFailsAndKeepsTheOldFile) {
  const job::PathRules rules{job::PathStyle::kWindows, RealFileSystem()};
  job::Job job{rules};
  EXPECT_THROW(job::SaveSettings(job, folder_ + "\\settings.ini"), job::Error);
}

}  // namespace
}  // namespace korvu::platform
