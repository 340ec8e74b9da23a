#include "host/CRecordFileReader.h"

#include <sstream>
#include <utility>

#include "class_a/standard/Fail.h"
#include "class_a/standard/CStringMap.h"

namespace qvt {

CRecordFileReader::CRecordFileReader(std::string operation, std::string description,
                                     Handler handler)
    : operation_(std::move(operation)),
      description_(std::move(description)),
      handler_(std::move(handler)) {}

void CRecordFileReader::load(const std::string& directory, const std::string& fileName) {
  source_ = joinPath(directory, fileName);
  execute(directory, fileName);
}

void CRecordFileReader::loadText(const std::string& text) {
  source_ = "(text)";
  std::istringstream stream(text);
  readStream(stream);
}

void CRecordFileReader::_processRecord(const std::string& record, std::uint64_t lineNumber) {
  try {
    handler_(CStringMap(record));
  } catch (const CException& e) {
    fail(CRaiser::none(), "host", operation_, {description_, source_},
         {"Record ending at line %1: %2", lineNumber, e.text()});
  }
}

}  // namespace qvt
