#include "tools/dhcp-eval/ErrorText.h"

namespace qvt::tool {

namespace {

// kNoteAllowance: what the note in the middle may add; text no longer than
// its edges and this is left whole, since shortening would not pay.
constexpr std::size_t kNoteAllowance = 40;

bool isContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string shortened(std::string_view text, std::size_t edge) {
  if (text.size() <= 2 * edge + kNoteAllowance) return std::string(text);
  std::size_t head = edge;
  while (head > 0 && isContinuation(text[head]))
    --head;
  std::size_t tail = text.size() - edge;
  while (tail < text.size() && isContinuation(text[tail]))
    ++tail;
  return std::string(text.substr(0, head)) + " [... " + std::to_string(tail - head) +
         " bytes ...] " + std::string(text.substr(tail));
}

CErrorLineText errorLineText(const std::string& expression, const std::string& errorText) {
  CErrorLineText line{shortened(expression, kExpressionEdge), errorText};
  if (line.expression.size() != expression.size() && !expression.empty()) {
    std::string text;
    std::size_t from = 0;
    for (std::size_t at = errorText.find(expression); at != std::string::npos;
         at = errorText.find(expression, from)) {
      text.append(errorText, from, at - from).append(line.expression);
      from = at + expression.size();
    }
    line.text = text.append(errorText, from, std::string::npos);
  }
  line.text = shortened(line.text, kErrorTextEdge);
  return line;
}

}  // namespace qvt::tool
