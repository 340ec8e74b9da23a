// ValueText: how the command shows values and tokens to people.
//
// A value is shown as its type, its subtype in parentheses when it is not
// "general", and its text; strings are quoted so that blanks and empty text
// show:
//
//   describeValue(CVariant::fromText("3"));          // uinteger 3
//   describeValue(CVariant::fromString("abx"));      // string "abx"
//   describeValue(CVariant::fromText("10.0.0.1"));   // ip address (ipv4) 10.0.0.1
//   describeValue(CVariant());                       // unknown
#pragma once

#include <string>
#include <string_view>

#include "class_a/exp_eval/CToken.h"
#include "class_a/standard/CVariant.h"

namespace qvt::tool {

// quoteText: text in double quotes, safe for a terminal: '"' and '\' are
// escaped, line feed, carriage return and tab become \n, \r and \t, other
// control characters, DEL and bytes that are not well-formed UTF-8 become
// \xNN (upper-case digits); well-formed UTF-8 is kept.
std::string quoteText(std::string_view text);

// printableText: text as quoteText shows it, without the quotes and with
// '"' and '\' unchanged: safe to print, and unchanged for ordinary text.
std::string printableText(std::string_view text);

// describeValue: the type, the subtype when not "general", and the value's
// text ("unknown" alone for an unknown value). Raises the CException of
// converting the value to text.
std::string describeValue(const CVariant& value);

// describeToken: a postfix token as a person reads it: an operator's
// spelling ("u-" for the unary minus), a function name as written after
// "$", a string operand quoted, any other operand as its text ("?" when it
// has none). Never raises.
std::string describeToken(const CToken& token);

// operatorLabel: the spelling of op, "u-" for the unary minus.
std::string operatorLabel(COperator op);

}  // namespace qvt::tool
