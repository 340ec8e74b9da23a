#include "tools/dhcp-eval/CExpressionFile.h"

#include <sys/stat.h>

#include <cerrno>

#include "class_a/standard/BoundedLine.h"
#include "class_a/standard/CMessage.h"
#include "class_a/standard/Fail.h"

namespace qvt::tool {

void CExpressionFile::CCloser::operator()(std::FILE* file) const {
  if (file != stdin) std::fclose(file);
}

CExpressionFile::CExpressionFile(const std::string& path) : path_(path) {
  const char* const operation = "CExpressionFile::CExpressionFile";
  const CMessage description("Cannot read expression file '%1'.", path);
  file_.reset(path == "-" ? stdin : std::fopen(path.c_str(), "r"));
  if (!file_) failSystem(CRaiser::of(*this), "dhcp-eval", operation, description);
  struct stat status {};
  if (fstat(fileno(file_.get()), &status) != 0) {
    failSystem(CRaiser::of(*this), "dhcp-eval", operation, description);
  }
  // A directory opens for reading but yields no lines; say so instead.
  if (S_ISDIR(status.st_mode)) {
    failSystem(CRaiser::of(*this), "dhcp-eval", operation, description, EISDIR);
  }
}

bool CExpressionFile::next(std::string& expression) {
  while (nextLine(expression)) {
    if (!isSkipped(expression)) return true;
  }
  return false;
}

bool CExpressionFile::nextLine(std::string& line) {
  const CLineRead read = readBoundedLine(file_.get(), line);
  ++lines_;
  if (std::ferror(file_.get())) {
    failSystem(CRaiser::of(*this), "dhcp-eval", "CExpressionFile::next",
               {"Cannot read expression file '%1'.", path_});
  }
  if (read == CLineRead::kEnd) return false;
  if (read == CLineRead::kTooLong) {
    fail(CRaiser::of(*this), "dhcp-eval", "CExpressionFile::next",
         {"Cannot read expression file '%1'.", path_},
         {"Line %1 is longer than %2 bytes.", lines_, static_cast<std::uint64_t>(kMaxLineLength)});
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool CExpressionFile::isSkipped(const std::string& line) noexcept {
  const std::size_t first = line.find_first_not_of(" \t");
  return first == std::string::npos || line[first] == '#';
}

}  // namespace qvt::tool
