#include "tools/dhcp-eval/PromptInput.h"

namespace qvt::tool {

CInputBalance inputBalance(std::string_view text) noexcept {
  CInputBalance balance;
  for (const char c : text) {
    if (c == '\'' || c == '"') {
      balance.inQuote = !balance.inQuote;
    } else if (balance.inQuote) {
      continue;
    } else if (c == '(') {
      ++balance.openParens;
    } else if (c == ')' && balance.openParens > 0) {
      --balance.openParens;
    }
  }
  return balance;
}

void continueInput(std::string& text, const std::string& line) {
  text += inputBalance(text).inQuote ? '\n' : ' ';
  text += line;
}

}  // namespace qvt::tool
