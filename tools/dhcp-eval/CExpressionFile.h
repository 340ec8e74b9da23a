// CExpressionFile: expressions read one per line from a file or from
// standard input.
//
// Blank lines and lines whose first non-blank character is "#" are skipped;
// a carriage return before the line end is dropped, so files written on
// Windows read the same. A line may be up to kMaxLineLength (16 MiB) long.
//
//   CExpressionFile file("checks.txt");   // "-" reads standard input
//   std::string expression;
//   while (file.next(expression)) command.evaluate(expression);
#pragma once

#include <cstdint>
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
  // reading fails, or with "Line %1 is longer than %2 bytes." (operation
  // "CExpressionFile::next").
  bool next(std::string& expression);
  // nextLine: the next line, skipped or not; raises as next does.
  bool nextLine(std::string& line);

  // isSkipped: whether line is blank or a comment.
  static bool isSkipped(const std::string& line) noexcept;

  const std::string& path() const noexcept { return path_; }

 private:
  struct CCloser {
    void operator()(std::FILE* file) const;
  };

  std::string path_;
  std::unique_ptr<std::FILE, CCloser> file_;
  std::uint64_t lines_ = 0;  // lines read so far
};

}  // namespace qvt::tool
