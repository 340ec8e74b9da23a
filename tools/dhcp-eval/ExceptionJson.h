// ExceptionJson: the JSON form of a failure, shared by every output of the
// command that reports errors as JSON.
//
//   CJsonWriter json;
//   json.beginObject().member("expression", text).key("error");
//   writeException(json, e);
//   json.endObject();
//   // {"expression": "$NOSUCH()", "error": {"text": "Runtime error. (Unknown
//   //  function 'NOSUCH'.)", "description": "Runtime error.", "reason":
//   //  "Unknown function 'NOSUCH'.", "operation": "CExpEval::callback",
//   //  "module": "exp_eval"}}
#pragma once

#include <exception>
#include <string>

#include "class_a/standard/CException.h"
#include "tools/dhcp-eval/CJsonWriter.h"

namespace qvt::tool {

// writeException: writes the error object of e as the next value: {"text":
// X, "description": D, "reason": R, "operation": O, "module": M}, where X is
// e.text(), D and R the texts of its description and reason (a reason taken
// from the system error code when none was given) and O, M its operation and
// module, in that order.
void writeException(CJsonWriter& json, const CException& e);

// writeException: the same object for an exception that is not a CException:
// text and description are e.what(); reason, operation and module are empty.
void writeException(CJsonWriter& json, const std::exception& e);

// exceptionJson: the error object of e as a text of its own.
std::string exceptionJson(const CException& e);

}  // namespace qvt::tool
