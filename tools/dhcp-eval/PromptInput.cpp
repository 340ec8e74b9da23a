#include "tools/dhcp-eval/PromptInput.h"

namespace qvt::tool {

void CInputBalance::scan(std::string_view text) noexcept {
  for (const char c : text) {
    if (c == '\'' || c == '"') {
      inQuote = !inQuote;
    } else if (inQuote) {
      continue;
    } else if (c == '(') {
      ++openParens;
    } else if (c == ')' && openParens > 0) {
      --openParens;
    }
  }
}

CInputBalance inputBalance(std::string_view text) noexcept {
  CInputBalance balance;
  balance.scan(text);
  return balance;
}

void continueInput(std::string& text, CInputBalance& balance, const std::string& line) {
  text += balance.inQuote ? '\n' : ' ';
  text += line;
  balance.scan(line);
}

}  // namespace qvt::tool
