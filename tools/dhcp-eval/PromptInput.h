// PromptInput: when an expression typed at the prompt is complete, and how
// the lines of one typed over several lines are joined.
//
// The test follows the expression parser: a quote of either kind opens a
// quote and a quote of either kind closes it; parentheses count only outside
// quotes, and a ")" without its "(" is left for the parser to refuse:
//
//   inputBalance("$LEFT('abc',").complete();   // false: one "(" open
//   inputBalance("'it's'").inQuote;             // true: the third quote opens
//   std::string text = "$LEFT('a";
//   CInputBalance balance = inputBalance(text);
//   continueInput(text, balance, "b', 1)");     // "$LEFT('a\nb', 1)", complete
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvt::tool {

struct CInputBalance {
  bool inQuote = false;
  // openParens: "(" outside quotes not yet closed.
  std::size_t openParens = 0;

  bool complete() const noexcept { return !inQuote && openParens == 0; }
  // scan: what is open after text follows what was scanned so far.
  void scan(std::string_view text) noexcept;
};

// inputBalance: the quotes and parentheses of text left open at its end.
CInputBalance inputBalance(std::string_view text) noexcept;

// continueInput: appends line to text, the expression so far, whose balance
// is balance (brought up to date). A line break
// inside a quote stays in the string as a line feed; elsewhere it joins as
// a blank, since the parser reads a line feed outside quotes as part of an
// operand.
void continueInput(std::string& text, CInputBalance& balance, const std::string& line);

}  // namespace qvt::tool
