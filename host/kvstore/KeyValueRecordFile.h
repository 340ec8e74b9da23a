// The text form of a list of key-value records: each record is the record's
// own key=value text (CPrstKeyValue), records are separated by blank lines,
// lines starting with "#" are comments:
//
//   class=pool
//   subclass=cm
//   key=00-11-22-33-44-55
//   value=10.1.0.0
//
//   class=pool
//   key=default
//   value=10.9.0.0
//   enabled=false
//
// writeRecords then readRecords gives the same records back.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "class_a/prst_generic/CPrstKeyValue.h"

namespace qvt::host {

// readRecords: the records of text; name names the text in errors. Raises
// "Cannot read key-value records from '%1'." with the reason "Record %1
// (line %2: '%3'): %4" (the record's number from 1, the line and text of
// its first line, the record's own error text).
std::vector<CPrstKeyValue> readRecords(const std::string& text, const std::string& name);
// readRecordStream: readRecords of what file holds (read to its end), named
// name. Raises "Cannot open file '%1'." with the system's reason when
// reading fails, and "Cannot read key-value records from '%1'." with "Line
// %1 is longer than %2 bytes." for a line beyond kMaxLineLength
// (BoundedLine.h), such as a device that never ends its line.
std::vector<CPrstKeyValue> readRecordStream(std::FILE* file, const std::string& name);
// readRecordFile: readRecordStream of the file at path; raises "Cannot open
// file '%1'." with the system's reason when it cannot be opened.
std::vector<CPrstKeyValue> readRecordFile(const std::string& path);
// writeRecords: the text form of records, one blank line between records.
std::string writeRecords(const std::vector<CPrstKeyValue>& records);

}  // namespace qvt::host
