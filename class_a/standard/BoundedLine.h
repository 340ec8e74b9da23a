// BoundedLine: reading a text file line by line without letting one line
// grow without end.
//
// The readers of configuration and record files take their input line by
// line; a file that is no text file (/dev/zero, a binary file, a device)
// could otherwise hold one line longer than memory. readBoundedLine stops
// such a line at kMaxLineLength bytes and says so, and the reader refuses
// the file:
//
//   std::string line;
//   for (CLineRead read; (read = readBoundedLine(stream, line)) != CLineRead::kEnd;) {
//     if (read == CLineRead::kTooLong) fail(...);   // "Line %1 is longer than %2 bytes."
//     use(line);
//   }
#pragma once

#include <cstddef>
#include <cstdio>
#include <istream>
#include <string>

namespace qvt {

// kMaxLineLength: the longest line (16 MiB, as large as the largest rules
// file) the line-based readers accept.
constexpr std::size_t kMaxLineLength = 1 << 24;

enum class CLineRead {
  kLine,     // line holds the next line (without its line feed)
  kEnd,      // nothing was left to read
  kTooLong,  // the line goes on beyond limit bytes; the rest is not read
};

// readBoundedLine: the next line of stream into line, as std::getline reads
// it (a last line without line feed counts; the stream's state bits are set
// the same way), of at most limit bytes.
CLineRead readBoundedLine(std::istream& stream, std::string& line,
                          std::size_t limit = kMaxLineLength);
// readBoundedLine: the same from file (read without locking it: one
// thread at a time); a read error shows in ferror(file).
CLineRead readBoundedLine(std::FILE* file, std::string& line, std::size_t limit = kMaxLineLength);

}  // namespace qvt
