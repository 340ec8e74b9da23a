#include "class_a/standard/BoundedLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace qvt {
namespace {

// lines: what readBoundedLine reads from text with limit 4 ("!" marks a line
// that was too long), from a stream and from a file.
std::string lines(const std::string& text) {
  std::istringstream stream(text);
  std::string found;
  std::string line;
  for (CLineRead read; (read = readBoundedLine(stream, line, 4)) != CLineRead::kEnd;) {
    found += read == CLineRead::kTooLong ? "!" : "[" + line + "]";
    if (read == CLineRead::kTooLong) break;
  }
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  std::string fromFile;
  for (CLineRead read; (read = readBoundedLine(file, line, 4)) != CLineRead::kEnd;) {
    fromFile += read == CLineRead::kTooLong ? "!" : "[" + line + "]";
    if (read == CLineRead::kTooLong) break;
  }
  std::fclose(file);
  EXPECT_EQ(found, fromFile) << text;
  return found;
}

TEST(BoundedLineTest, ReadsLinesUpToTheLimit) {
  EXPECT_EQ(lines(""), "");
  EXPECT_EQ(lines("ab\n\ncd"), "[ab][][cd]");
  EXPECT_EQ(lines("abcd\n"), "[abcd]");
  EXPECT_EQ(lines("abcde\nx\n"), "!");
  EXPECT_EQ(lines("ab\nabcdef"), "[ab]!");
}

TEST(BoundedLineTest, StreamStateIsThatOfGetline) {
  std::istringstream stream("ab\ncd");
  std::string line;
  EXPECT_EQ(readBoundedLine(stream, line), CLineRead::kLine);
  EXPECT_TRUE(stream.good());
  EXPECT_EQ(readBoundedLine(stream, line), CLineRead::kLine);
  EXPECT_EQ(line, "cd");
  EXPECT_TRUE(stream.eof());
  EXPECT_FALSE(stream.fail());
  EXPECT_EQ(readBoundedLine(stream, line), CLineRead::kEnd);
  EXPECT_TRUE(stream.fail());
}

}  // namespace
}  // namespace qvt
