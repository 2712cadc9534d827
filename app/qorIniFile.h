// The settings file: a small reader and writer of INI text (sections in
// brackets, key=value lines) of our own. A general-purpose settings class
// would rewrite backslashes in values (a Windows path would be damaged) and
// reorder keys; this one keeps every line it does not change, in its order,
// with the file's own line breaks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

class TIniFile {
 public:
  // Reads the file when it exists; a missing or unreadable file reads as
  // empty (every value its default).
  explicit TIniFile(std::string FileName);

  const std::string& FileName() const { return fileName_; }

  // Sections and keys match without case. A value is the text after the
  // first "=" with surrounding blanks trimmed; one pair of enclosing double
  // quotes is removed.
  bool ValueExists(std::string_view Section, std::string_view Key) const;
  std::string ReadString(std::string_view Section, std::string_view Key,
                         std::string_view Default) const;
  // The default when the value is missing or not a whole decimal number.
  std::int32_t ReadInteger(std::string_view Section, std::string_view Key,
                           std::int32_t Default) const;
  // A number: true unless it is 0; anything else gives the default.
  bool ReadBool(std::string_view Section, std::string_view Key, bool Default) const;

  // Changes the value in place or adds the key at the end of its section
  // (the section at the end of the file). A value that reading would not
  // give back as it is (blanks at either end, enclosing quotes) is written
  // in quotes; line breaks cannot be stored and are dropped.
  void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);
  void WriteInteger(std::string_view Section, std::string_view Key, std::int32_t Value);
  void WriteBool(std::string_view Section, std::string_view Key, bool Value);

  // Writes the text to a temporary file readable by its owner only and
  // renames it over the file, so that a failed write leaves the old file
  // whole and the password in it is never readable by others. On failure
  // the result is false and `Error` says why.
  bool UpdateFile(std::string& Error) const;

  // The whole text as UpdateFile writes it.
  std::string Text() const;

 private:
  // Index of the section header line, or -1.
  int FindSection(std::string_view Section) const;
  // Index of the key's line inside the section starting at `header`, or -1.
  int FindKey(int header, std::string_view Key) const;
  // Index after the last key line of the section starting at `header`.
  int SectionEnd(int header) const;

  std::string fileName_;
  std::vector<std::string> lines_;
  std::string lineBreak_ = "\r\n";
};

}  // namespace qor
