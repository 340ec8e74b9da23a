#include "tools/dhcp-eval/ExceptionJson.h"

namespace qvt::tool {

void writeException(CJsonWriter& json, const CException& e) {
  const CMessage reason = e.reason();
  json.beginObject()
      .member("text", e.text())
      .member("description", e.description().text())
      .member("reason", reason.text())
      .member("operation", e.operation())
      .member("module", e.module())
      .endObject();
}

void writeException(CJsonWriter& json, const std::exception& e) {
  const char* const what = e.what();
  json.beginObject()
      .member("text", what)
      .member("description", what)
      .member("reason", "")
      .member("operation", "")
      .member("module", "")
      .endObject();
}

std::string exceptionJson(const CException& e) {
  CJsonWriter json;
  writeException(json, e);
  return json.text();
}

}  // namespace qvt::tool
