// CExpressionFile: expressions read one per line from a file or from
// standard input.
//
// Blank lines and lines whose first non-blank character is "#" are skipped;
// a carriage return before the line end is dropped, so files written on
// Windows read the same. Lines may be of any length.
//
//   CExpressionFile file("checks.txt");   // "-" reads standard input
//   std::string expression;
//   while (file.next(expression)) command.evaluate(expression);
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace qvt::tool {

class CExpressionFile {
 public:
  // CExpressionFile: opens path ("-" for standard input, which stays open
  // afterwards). Raises "Cannot read expression file '%1'." (module
  // "dhcp-eval", operation "CExpressionFile::CExpressionFile") with the
  // system's reason when the file cannot be opened, or with "Is a
  // directory" for a directory.
  explicit CExpressionFile(const std::string& path);

  // next: the next expression; false at the end of the file. Raises
  // "Cannot read expression file '%1'." with the system's reason when
  // reading fails (operation "CExpressionFile::next").
  bool next(std::string& expression);

  // isSkipped: whether line is blank or a comment.
  static bool isSkipped(const std::string& line) noexcept;

  const std::string& path() const noexcept { return path_; }

 private:
  struct CCloser {
    void operator()(std::FILE* file) const;
  };
  struct CFreer {
    void operator()(char* buffer) const;
  };

  std::string path_;
  std::unique_ptr<std::FILE, CCloser> file_;
  std::unique_ptr<char, CFreer> buffer_;  // getline's buffer, reused
  std::size_t capacity_ = 0;
};

}  // namespace qvt::tool
