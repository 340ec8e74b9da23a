#include "host/kvstore/KeyValueRecordCheck.h"

#include "class_a/standard/CMessage.h"

namespace qvt::host {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string fieldReason(const char* name, const std::string& field, bool required) {
  if (field.empty()) return required ? CMessage("The record's %1 is empty.", name).text() : "";
  if (field.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
    return CMessage("The record's %1 holds a line break or a NUL character.", name).text();
  }
  if (isBlank(field.front()) || isBlank(field.back())) {
    return CMessage("The record's %1 begins or ends with a blank.", name).text();
  }
  return "";
}

}  // namespace

std::string unstorableReason(const CPrstKeyValue& record) {
  for (std::string reason :
       {fieldReason("class", record.kclass(), true),
        fieldReason("subclass", record.subclass(), false), fieldReason("key", record.key(), true),
        fieldReason("value", record.value(), true)}) {
    if (!reason.empty()) return reason;
  }
  return "";
}

std::string recordName(const CPrstKeyValue& record) {
  return "class '" + record.kclass() + "', subclass '" + record.subclass() + "', key '" +
         record.key() + "'";
}

}  // namespace qvt::host
