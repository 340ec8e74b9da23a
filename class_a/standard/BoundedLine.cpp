#include "class_a/standard/BoundedLine.h"

namespace qvt {

CLineRead readBoundedLine(std::istream& stream, std::string& line, std::size_t limit) {
  line.clear();
  bool any = false;
  for (char c; stream.get(c);) {
    any = true;
    if (c == '\n') return CLineRead::kLine;
    if (line.size() == limit) return CLineRead::kTooLong;
    line += c;
  }
  // As std::getline: a last line without line feed sets only the end bit.
  if (any) stream.clear(stream.rdstate() & ~std::ios::failbit);
  return any ? CLineRead::kLine : CLineRead::kEnd;
}

CLineRead readBoundedLine(std::FILE* file, std::string& line, std::size_t limit) {
  line.clear();
  bool any = false;
  for (int c; (c = getc_unlocked(file)) != EOF;) {
    any = true;
    if (c == '\n') return CLineRead::kLine;
    if (line.size() == limit) return CLineRead::kTooLong;
    line += static_cast<char>(c);
  }
  return any ? CLineRead::kLine : CLineRead::kEnd;
}

}  // namespace qvt
