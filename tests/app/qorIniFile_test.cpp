// The settings file reader and writer: values come back as they were
// written (Windows paths with backslashes, blanks, quotes), lines it does
// not change stay where they were, and the file is written for its owner
// only, replacing the old one whole.
#include "app/qorIniFile.h"

#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace qor {
namespace {

std::string WriteFile(std::string_view name, std::string_view text) {
  const std::string path = test::FreshTestFile(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

unsigned Mode(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 0777u;
}

TEST(IniFileRead, ValuesKeysAndSections) {
  struct Case {
    const char* name;
    const char* text;
    const char* section;
    const char* key;
    const char* expected;  // ReadString with default "<none>"
  };
  // clang-format off
  const Case cases[] = {
      {"crlf", "[Databases]\r\nDBNameM=C:\\Data\\EMP.FDB\r\n", "Databases", "DBNameM",
       "C:\\Data\\EMP.FDB"},
      {"lf and no final break", "[Databases]\nDBNameM=a.fdb", "Databases", "DBNameM", "a.fdb"},
      {"section and key without case", "[databases]\r\ndbnamem=x\r\n", "Databases", "DBNameM",
       "x"},
      {"blanks around key and value", "[ Databases ]\r\n  DBNameM =  x y  \r\n", "Databases",
       "DBNameM", "x y"},
      {"one pair of quotes removed", "[Databases]\r\nPasswordM=\" pw \"\r\n", "Databases",
       "PasswordM", " pw "},
      {"first equals sign splits", "[Databases]\r\nPasswordM=a=b\r\n", "Databases", "PasswordM",
       "a=b"},
      {"key of another section", "[Other]\r\nDBNameM=x\r\n[Databases]\r\n", "Databases",
       "DBNameM", "<none>"},
      {"comment line is no key", "[Databases]\r\n;DBNameM=x\r\n", "Databases", "DBNameM",
       "<none>"},
      {"utf-8 byte order mark", "\xEF\xBB\xBF[Databases]\r\nDBNameM=x\r\n", "Databases",
       "DBNameM", "x"},
      {"empty value", "[Databases]\r\nDBNameM=\r\n", "Databases", "DBNameM", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TIniFile ini(WriteFile("read.ini", c.text));
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<none>"), c.expected);
  }
}

TEST(IniFileRead, NumbersAndFlagsFallBackOnBadText) {
  const TIniFile ini(WriteFile("numbers.ini",
                               "[Databases]\r\nA=5\r\nB=-3\r\nC=5x\r\nD=\r\nE=99999999999\r\n"
                               "F=1\r\nG=0\r\nH=yes\r\nI=2\r\n"));
  EXPECT_EQ(ini.ReadInteger("Databases", "A", 1), 5);
  EXPECT_EQ(ini.ReadInteger("Databases", "B", 1), -3);
  EXPECT_EQ(ini.ReadInteger("Databases", "C", 1), 1);
  EXPECT_EQ(ini.ReadInteger("Databases", "D", 1), 1);
  EXPECT_EQ(ini.ReadInteger("Databases", "E", 1), 1);
  EXPECT_EQ(ini.ReadInteger("Databases", "Missing", 7), 7);
  EXPECT_TRUE(ini.ReadBool("Databases", "F", false));
  EXPECT_FALSE(ini.ReadBool("Databases", "G", true));
  EXPECT_TRUE(ini.ReadBool("Databases", "H", true));
  EXPECT_FALSE(ini.ReadBool("Databases", "H", false));
  EXPECT_TRUE(ini.ReadBool("Databases", "I", false));
}

TEST(IniFileRead, MissingFileReadsAsEmpty) {
  const TIniFile ini(test::FreshTestFile("absent.ini"));
  EXPECT_FALSE(ini.ValueExists("Databases", "DBNameM"));
  EXPECT_EQ(ini.ReadInteger("Databases", "DatabaseTypeM", 1), 1);
  EXPECT_EQ(ini.Text(), "");
}

TEST(IniFileWrite, ValuesComeBackAsWritten) {
  // clang-format off
  const char* values[] = {"C:\\Program Files\\DB\\EMPLOYEE.FDB", " leading", "trailing ",
                          "\"quoted\"", "\"", "a=b;c#d", "", "caf\xC3\xA9 ok",
                          "[not a section]"};
  // clang-format on
  const std::string path = test::FreshTestFile("values.ini");
  {
    TIniFile ini(path);
    int i = 0;
    for (const char* v : values) ini.WriteString("Databases", "K" + std::to_string(i++), v);
    std::string error;
    ASSERT_TRUE(ini.UpdateFile(error)) << error;
  }
  const TIniFile back(path);
  int i = 0;
  for (const char* v : values) {
    SCOPED_TRACE(v);
    EXPECT_EQ(back.ReadString("Databases", "K" + std::to_string(i++), "<none>"), v);
  }
}

TEST(IniFileWrite, LineBreaksInAValueCannotBreakTheFile) {
  TIniFile ini(test::FreshTestFile("breaks.ini"));
  ini.WriteString("Databases", "PasswordM", "pw\r\n[Evil]\nDBNameM=x");
  ini.WriteString("Databases", "DBNameM", "db");
  EXPECT_EQ(ini.ReadString("Databases", "PasswordM", ""), "pw[Evil]DBNameM=x");
  EXPECT_EQ(ini.ReadString("Databases", "DBNameM", ""), "db");
  EXPECT_EQ(ini.Text(), "[Databases]\r\nPasswordM=pw[Evil]DBNameM=x\r\nDBNameM=db\r\n");
}

TEST(IniFileWrite, KeepsOtherLinesInTheirOrderAndTheFilesLineBreaks) {
  TIniFile ini(
      WriteFile("keep.ini", "; settings\n[Databases]\nDBNameM=old\nUserNameM=u\n\n[Other]\nX=1\n"));
  ini.WriteString("databases", "dbnamem", "new");
  ini.WriteString("Databases", "PasswordM", "p");
  ini.WriteInteger("Other", "Y", 2);
  ini.WriteBool("Third", "Z", true);
  EXPECT_EQ(ini.Text(),
            "; settings\n[Databases]\ndbnamem=new\nUserNameM=u\nPasswordM=p\n\n"
            "[Other]\nX=1\nY=2\n\n[Third]\nZ=1\n");
}

TEST(IniFileWrite, FileIsForItsOwnerOnlyAndReplacedWhole) {
  const std::string path = WriteFile("mode.ini", "[Databases]\r\nPasswordM=old\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  TIniFile ini(path);
  ini.WriteString("Databases", "PasswordM", "secret");
  std::string error;
  ASSERT_TRUE(ini.UpdateFile(error)) << error;
  EXPECT_EQ(Mode(path), 0600u);
  EXPECT_EQ(ReadFile(path), "[Databases]\r\nPasswordM=secret\r\n");
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& e :
       std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
    if (e.path().filename().string().rfind("mode.ini", 0) == 0) ++files;
  EXPECT_EQ(files, 1);
}

TEST(IniFileWrite, FailureIsReportedAndLeavesNothingBehind) {
  const std::string dir = test::FreshTestFile("no-such-folder");
  TIniFile ini(dir + "/Quorvane.Ini");
  ini.WriteString("Databases", "DBNameM", "x");
  std::string error;
  EXPECT_FALSE(ini.UpdateFile(error));
  EXPECT_NE(error.find("Quorvane.Ini"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(dir));
}

}  // namespace
}  // namespace qor
