// ErrorText: how an error line quotes the expression that failed.
//
// A long expression (a file's line may hold a whole generated text) is
// quoted by its first and last kExpressionEdge bytes around a note of how
// much was left out, in the line's prefix and wherever the error's own text
// quotes it; an error text that is still long keeps its first and last
// kErrorTextEdge bytes. Cuts never split a UTF-8 sequence:
//
//   shortened(std::string(200000, 'a') + "(", 60);
//   // "aaa...a [... 199881 bytes ...] aaa...a(" (60 bytes on either side)
//   errorLineText(expression, e.text());   // {expression, text}, both shortened
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvt::tool {

// kExpressionEdge: how much of a long expression is kept at either end.
constexpr std::size_t kExpressionEdge = 60;
// kErrorTextEdge: how much of a long error text is kept at either end.
constexpr std::size_t kErrorTextEdge = 400;

// shortened: text whole when it is at most 2 * edge + 40 bytes long; else its
// first and last edge bytes (fewer where a UTF-8 sequence would be cut)
// joined by " [... N bytes ...] ".
std::string shortened(std::string_view text, std::size_t edge);

struct CErrorLineText {
  std::string expression;
  std::string text;
};

// errorLineText: expression shortened by kExpressionEdge, and errorText with
// every quotation of the whole expression shortened the same way, then
// shortened by kErrorTextEdge.
CErrorLineText errorLineText(const std::string& expression, const std::string& errorText);

}  // namespace qvt::tool
