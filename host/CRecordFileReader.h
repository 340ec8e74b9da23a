// CRecordFileReader: reads a file (or a text) of key=value records and hands
// each record, as a CStringMap, to a function. A CException raised by the
// function becomes the reader's own failure, naming the source and the line
// where the record ends:
//
//   CRecordFileReader reader("CVendorFile::load", "Cannot read vendor classes from '%1'.",
//                            [&](const CStringMap& record) { add(record); });
//   reader.load(directory, "vendors.defs");   // or reader.loadText(text)
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "class_a/standard/CFileReader.h"

namespace qvt {

class CStringMap;

class CRecordFileReader : public CFileReader {
 public:
  using Handler = std::function<void(const CStringMap& record)>;

  // CRecordFileReader: failures are raised under operation (module "host")
  // with description, whose "%1" is the source.
  CRecordFileReader(std::string operation, std::string description, Handler handler);

  // load: the records of directory/fileName (CFileReader's path rule; the
  // source is the joined path). Raises the reader's "Cannot open file '%1'."
  // and, for a record the handler refuses, description with the reason
  // "Record ending at line %1: %2" (the line number and the handler's error
  // text). Records handled before the failure stay handled.
  void load(const std::string& directory, const std::string& fileName);
  // loadText: as load, reading text; the source is "(text)".
  void loadText(const std::string& text);

 protected:
  void _processRecord(const std::string& record, std::uint64_t lineNumber) override;

 private:
  std::string operation_;
  std::string description_;
  Handler handler_;
  std::string source_;
};

}  // namespace qvt
