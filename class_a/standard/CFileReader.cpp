#include "class_a/standard/CFileReader.h"

#include <fstream>

#include "class_a/standard/BoundedLine.h"
#include "class_a/standard/Fail.h"

using qvt::CRaiser;

namespace {

const char* const kBlanks = " \t";
const char* const kTrailing = " \t\r\n";

}  // namespace

std::string CFileReader::joinPath(const std::string& directory, const std::string& fileName) {
  const std::size_t nameStart = fileName.find_first_not_of(' ');
  const std::string name =
      nameStart == std::string::npos ? std::string() : fileName.substr(nameStart);
  if (!name.empty() && (name[0] == '/' || name[0] == '\\')) return name;
  const std::size_t directoryEnd = directory.find_last_not_of("\\ /");
  if (directoryEnd == std::string::npos) {
    // Nothing but separators is the root; no directory at all is the
    // working directory.
    return directory.find_first_of("\\/") == std::string::npos ? name : "/" + name;
  }
  return directory.substr(0, directoryEnd + 1) + "/" + name;
}

void CFileReader::execute(const std::string& directory, const std::string& fileName) {
  path_ = joinPath(directory, fileName);
  std::ifstream stream(path_, std::ios::in | std::ios::binary);
  if (!stream.is_open()) {
    const std::uint32_t code = qvt::lastSystemError();
    failSystem(CRaiser::of(*this), "standard", "CFileReader::execute",
               {"Cannot open file '%1'.", path_}, code);
  }
  readStream(stream);
}

void CFileReader::readStream(std::istream& stream) {
  linesRead_ = 0;
  _beforeFirstRecord();
  std::string record;
  while (readRecord(stream, record)) {
    if (!record.empty()) _processRecord(record, linesRead_);
  }
  if (stream.bad()) {
    // For instance a directory given as the file: it opens, but reads fail.
    const std::uint32_t code = qvt::lastSystemError();
    failSystem(CRaiser::of(*this), "standard", "CFileReader::execute",
               {"Cannot read file '%1'.", path_}, code);
  }
  if (stream.eof()) {
    _afterLastRecordAtEnd();
  } else {
    _afterLastRecordOtherwise();
  }
}

bool CFileReader::readRecord(std::istream& stream, std::string& record) {
  record.clear();
  std::string line;
  bool readAny = false;
  for (qvt::CLineRead read; (read = qvt::readBoundedLine(stream, line)) != qvt::CLineRead::kEnd;) {
    if (read == qvt::CLineRead::kTooLong) {
      qvt::fail(CRaiser::of(*this), "standard", "CFileReader::execute",
                {"Cannot read file '%1'.", path_},
                {"Line %1 is longer than %2 bytes.", linesRead_ + 1,
                 static_cast<std::uint64_t>(qvt::kMaxLineLength)});
    }
    readAny = true;
    ++linesRead_;
    const std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string::npos) return true;  // a blank line ends the record
    if (commentCharacters_.find(line[start]) != std::string::npos) continue;
    const std::size_t end = line.find_last_not_of(kTrailing);
    if (end == std::string::npos || end < start) return true;
    record.append(line, start, end - start + 1);
    record += '\n';
  }
  return readAny;
}
