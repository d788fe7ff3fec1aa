#include "job/path_rules.h"

#include <gtest/gtest.h>

#include "job/error.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

using test::FakeFileSystem;

struct FileNameCase {
  const char* name;
  PathStyle style;
  std::string text;
  std::string file_name;
};

// Both styles see the same fake file system: one file with a blank, one folder each.
FakeFileSystem& SharedFileSystem() {
  static FakeFileSystem file_system = [] {
    FakeFileSystem fs{R"(C:\Old Videos\a.avi)", "/old videos/a.avi"};
    fs.AddFolder(R"(C:\Tools)");
    fs.AddFolder(R"(C:\Tools\)");
    fs.AddFolder("/srv/clips");
    fs.AddFolder("/srv/clips/");
    return fs;
  }();
  return file_system;
}

class FileNameTest : public testing::TestWithParam<FileNameCase> {};

TEST_P(FileNameTest, ReadsTheFileNameOfAPathText) {
  const PathRules rules(GetParam().style, SharedFileSystem());
  EXPECT_EQ(rules.FileName(GetParam().text), GetParam().file_name);
}

constexpr auto W = PathStyle::kWindows;
constexpr auto P = PathStyle::kPosix;

INSTANTIATE_TEST_SUITE_P(
    Cases, FileNameTest,
    testing::Values(
        FileNameCase{"missing_with_blank_gives_first_word", W, R"(C:\My Videos\a.avi)", R"(C:\My)"},
        FileNameCase{"existing_with_blank_gives_itself", W, R"(C:\Old Videos\a.avi)",
                     R"(C:\Old Videos\a.avi)"},
        FileNameCase{"quoted_missing_loses_quotes", W, R"("C:\My Videos\a.avi")",
                     R"(C:\My Videos\a.avi)"},
        FileNameCase{"quoted_existing_loses_quotes", W, R"("C:\Old Videos\a.avi")",
                     R"(C:\Old Videos\a.avi)"},
        FileNameCase{"folder_gets_separator", W, R"(C:\Tools)", R"(C:\Tools\)"},
        FileNameCase{"folder_keeps_its_separator", W, R"(C:\Tools\)", R"(C:\Tools\)"},
        FileNameCase{"empty", W, "", ""}, FileNameCase{"blanks_only", W, " \t ", ""},
        FileNameCase{"two_quotes", W, R"("")", ""},
        FileNameCase{"quote_pairs_and_blanks_skipped", W, R"("" "" x y)", "x"},
        FileNameCase{"quoted_runs_join", W, R"(a"b c"d e)", "ab cd"},
        FileNameCase{"unclosed_quote_runs_to_end", W, R"("C:\a b)", R"(C:\a b)"},
        FileNameCase{"tab_ends_word", W, "a\tb", "a"},
        FileNameCase{"nul_ends_text", W, std::string("a\0b c", 5), "a"},
        FileNameCase{"word_of_256_kept", W, std::string(256, 'x'), std::string(256, 'x')},
        FileNameCase{"word_past_256_refused", W, std::string(257, 'x'), ""},
        FileNameCase{"posix_missing_with_blank", P, "/my videos/a.avi", "/my"},
        FileNameCase{"posix_existing_with_blank", P, "/old videos/a.avi", "/old videos/a.avi"},
        FileNameCase{"posix_quoted", P, R"("/my videos/a.avi")", "/my videos/a.avi"},
        FileNameCase{"posix_folder_gets_slash", P, "/srv/clips", "/srv/clips/"},
        FileNameCase{"posix_folder_keeps_slash", P, "/srv/clips/", "/srv/clips/"},
        FileNameCase{"posix_long_word_kept", P, std::string(1000, 'x'), std::string(1000, 'x')}),
    [](const auto& info) { return std::string(info.param.name); });

struct PathTextCase {
  const char* name;
  PathStyle style;
  std::string file_name;
  std::string text;  // empty with `refused`
  bool refused = false;
};

class PathTextTest : public testing::TestWithParam<PathTextCase> {};

TEST_P(PathTextTest, SetsAPathFromAFileName) {
  const PathTextCase& c = GetParam();
  const PathRules rules(c.style, SharedFileSystem());
  if (!c.refused) {
    EXPECT_EQ(rules.PathText(c.file_name), c.text);
    return;
  }
  try {
    rules.PathText(c.file_name);
    FAIL() << "accepted " << c.file_name;
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Ungültiger Dateiname - " + c.file_name);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathTextTest,
    testing::Values(
        PathTextCase{"blank_gets_quotes", W, R"(C:\My Videos\a.264)", R"("C:\My Videos\a.264")"},
        PathTextCase{"plain_stays", W, R"(C:\v\clip.264)", R"(C:\v\clip.264)"},
        PathTextCase{"quoted_stays", W, R"("C:\My Videos\a.264")", R"("C:\My Videos\a.264")"},
        PathTextCase{"empty_clears", W, "", ""},
        PathTextCase{"question_mark", W, R"(C:\a?.264)", "", true},
        PathTextCase{"asterisk", W, R"(C:\a*.264)", "", true},
        PathTextCase{"slash_in_windows_name", W, "C:/v/a.264", "", true},
        PathTextCase{"less_than", W, "a<b", "", true}, PathTextCase{"pipe", W, "a|b", "", true},
        PathTextCase{"quote_inside_word", W, R"(a"b"c)", R"(a"b"c)"},
        PathTextCase{"quoted_question_mark", W, R"("C:\a?.264")", "", true},
        PathTextCase{"blanks_only", W, "   ", "", true},
        PathTextCase{"bad_character_after_first_word_passes", W, R"(C:\ok x?.264)",
                     R"("C:\ok x?.264")"},
        PathTextCase{"posix_slash_allowed", P, "/v/a.264", "/v/a.264"},
        PathTextCase{"posix_blank_gets_quotes", P, "/my videos/a.264", R"("/my videos/a.264")"},
        PathTextCase{"posix_asterisk", P, "/v/a*.264", "", true},
        PathTextCase{"posix_greater_than", P, "/v/a>b", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExtensionCase {
  PathStyle style;
  std::string name;
  std::string extension;
  std::string result;
};

class ReplaceExtensionTest : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ReplaceExtensionTest, Replaces) {
  const ExtensionCase& c = GetParam();
  EXPECT_EQ(ReplaceExtension(c.name, c.extension, c.style), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceExtensionTest,
    testing::Values(ExtensionCase{W, R"(C:\v\clip.avs)", ".264", R"(C:\v\clip.264)"},
                    ExtensionCase{W, R"(C:\Tools\Korvu.exe)", ".ini", R"(C:\Tools\Korvu.ini)"},
                    ExtensionCase{W, R"(C:\Apps\x.y\tool)", ".ini", R"(C:\Apps\x.y\tool.ini)"},
                    ExtensionCase{W, R"(C:\a.)", ".ini", R"(C:\a.ini)"},
                    ExtensionCase{W, "", ".264", ".264"},
                    ExtensionCase{W, "x.y:z", ".ini", "x.y:z.ini"},
                    ExtensionCase{W, "a.b/c", ".ini", "a.ini"},
                    ExtensionCase{W, "a.tar.gz", ".264", "a.tar.264"},
                    ExtensionCase{P, "/opt/x.y/tool", ".ini", "/opt/x.y/tool.ini"},
                    ExtensionCase{P, "/opt/korvu/Korvu", ".bat", "/opt/korvu/Korvu.bat"},
                    ExtensionCase{P, "/v/clip.avs", ".264", "/v/clip.264"},
                    ExtensionCase{P, "/v/.hidden", ".264", "/v/.264"},
                    ExtensionCase{P, "x.y:z", ".ini", "x.ini"}));

TEST(PathRulesTest, OnlyFilesExistAndQuotedNamesNever) {
  FakeFileSystem fs{R"(C:\a.avi)", R"("C:\a.avi")"};
  fs.AddFolder(R"(C:\Tools)");
  const PathRules rules(W, fs);
  EXPECT_TRUE(rules.FileExists(R"(C:\a.avi)"));
  EXPECT_FALSE(rules.FileExists(R"("C:\a.avi")"));
  EXPECT_FALSE(rules.FileExists(""));
  EXPECT_FALSE(rules.FileExists(R"(C:\Tools)"));
  EXPECT_TRUE(rules.FolderExists(R"(C:\Tools)"));
  EXPECT_FALSE(rules.Resolve(R"(C:\Tools)").is_file);
}

TEST(PathRulesTest, ResolvesRealFiles) {
  test::TempDir dir;
  const std::string clip = dir.Write("my clips/a b.avi", "x");
  const PathRules rules(P, platform::RealFileSystem());
  EXPECT_EQ(rules.Resolve(clip).name, clip);
  EXPECT_TRUE(rules.Resolve(clip).is_file);
  EXPECT_TRUE(rules.Resolve("\"" + clip + "\"").is_file);
  EXPECT_EQ(rules.FileName(dir / "my clips"), dir / "my clips/");
  EXPECT_FALSE(rules.Resolve(dir / "my clips/missing.avi").is_file);
  // A first word that is itself an existing file counts, even when more follows it.
  const std::string tool = dir.Write("tool", "x");
  EXPECT_TRUE(rules.Resolve(tool + " --flag").is_file);
}

}  // namespace
}  // namespace korvu::job
