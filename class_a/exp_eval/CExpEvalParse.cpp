// CExpEval::parse: expression text to postfix tokens, in one left-to-right
// scan with an operator stack.
#include <cstddef>
#include <memory_resource>
#include <string_view>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CITraceSink.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

struct CSpelling {
  COperator::Code code;
  std::size_t length;
};

// spellingAt: the operator spelled at the start of text, 0 when none. The
// two-character spellings are tried before their one-character prefixes.
CSpelling spellingAt(std::string_view text) noexcept {
  const char next = text.size() > 1 ? text[1] : '\0';
  switch (text[0]) {
    case '<':
      return next == '=' ? CSpelling{COperator::kLessEqual, 2} : CSpelling{COperator::kLess, 1};
    case '$':
      return {COperator::kCall, 1};
    case '>':
      return next == '=' ? CSpelling{COperator::kGreaterEqual, 2}
                         : CSpelling{COperator::kGreater, 1};
    case '+':
      return {COperator::kAdd, 1};
    case '-':
      return {COperator::kSubtract, 1};
    case '*':
      return {COperator::kMultiply, 1};
    case '/':
      return {COperator::kDivide, 1};
    case '(':
      return {COperator::kOpenParen, 1};
    case ')':
      return {COperator::kCloseParen, 1};
    case '&':
      return next == '&' ? CSpelling{COperator::kAnd, 2} : CSpelling{COperator::kBitAnd, 1};
    case '|':
      return next == '|' ? CSpelling{COperator::kOr, 2} : CSpelling{COperator::kBitOr, 1};
    case '!':
      return next == '=' ? CSpelling{COperator::kNotEqual, 2} : CSpelling{COperator::kNot, 1};
    case '=':
      return next == '=' ? CSpelling{COperator::kEqual, 2} : CSpelling{COperator::kAssign, 1};
    case '^':
      return {COperator::kBitXor, 1};
    case '~':
      return {COperator::kComplement, 1};
    case '?':
      return {COperator::kConditional, 1};
    case ':':
      return {COperator::kColon, 1};
    case ',':
      return {COperator::kComma, 1};
    default:
      return {COperator::kNone, 0};
  }
}

bool isBlank(char c) noexcept {
  return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) noexcept {
  while (!text.empty() && isBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// CScanned: one postfix token as the scan finds it: an operator, or (code
// none) the text of an operand, which right after "$" names a function;
// and the trace label it is reported under.
struct CScanned {
  COperator op;
  std::string_view text;
  bool afterCall;
  const char* label;
};

// CScan: the scan's tokens in postfix order. The tokens themselves are made
// afterwards, in one list of the exact size, by emit.
class CScan {
 public:
  CScan(std::size_t textLength, std::pmr::memory_resource* memory) : scanned_(memory) {
    scanned_.reserve(textLength / 2 + 2);
  }

  // operand: an operand from the buffer text, when it is not blank.
  void operand(std::string_view buffer, bool afterCall, const char* label) {
    const std::string_view text = trimBlanks(buffer);
    if (!text.empty()) scanned_.push_back({COperator::kNone, text, afterCall, label});
  }
  void op(COperator code, const char* label) {
    scanned_.push_back({code, std::string_view(), false, label});
  }

  // emit: appends the tokens to postfix in order, tracing each. A name
  // right after "$" is a string marked as function name; any other
  // operand's type is guessed from its text (raising the guess's errors,
  // with the tokens before it appended).
  void emit(CTokenList& postfix, CITraceSink* sink) const {
    postfix.reserve(scanned_.size());
    for (const CScanned& token : scanned_) {
      if (token.op != COperator::kNone) {
        postfix.emplace_back(token.op);
      } else if (token.afterCall) {
        postfix.emplace_back(CVariant::fromString(token.text, CVariantSubType::kFunctionName));
      } else {
        postfix.emplace_back(CVariant::fromText(token.text));
      }
      if (sink) sink->trace(token.label, postfix.back());
    }
  }

 private:
  std::pmr::vector<CScanned> scanned_;
};

bool neverInPostfix(COperator op) noexcept {
  return op == COperator::kComma || op == COperator::kColon || op == COperator::kOpenParen;
}

}  // namespace

void CExpEval::parse(std::string text, CTokenList& postfix) {
  postfix.clear();
  // Preparation: blanks, then square brackets, come off both ends. Scanning
  // moves a position over the text instead of erasing matched spellings; the
  // outcome is the same.
  std::string_view body(text);
  while (!body.empty() && body.front() == ' ')
    body.remove_prefix(1);
  while (!body.empty() && body.front() == '[')
    body.remove_prefix(1);
  while (!body.empty() && body.back() == ' ')
    body.remove_suffix(1);
  while (!body.empty() && body.back() == ']')
    body.remove_suffix(1);
  if (trimBlanks(body).empty()) return;

  // The scan finds the tokens; they are made when it is done, in the order
  // (and with the errors) they would have been made while scanning.
  // The scan's lists live in this frame unless the text is long.
  std::byte scratch[2048];
  std::pmr::monotonic_buffer_resource memory(scratch, sizeof scratch);
  CScan writer(body.size(), &memory);
  std::size_t operandStart = 0;
  std::pmr::vector<COperator> stack(&memory);
  stack.reserve(16);
  // A "-" after any operator but ")" is unary, also at the very start.
  COperator previous = COperator::kAssign;
  bool inQuote = false;
  bool afterCall = false;
  bool afterOperator = false;
  std::size_t position = 0;

  while (position < body.size()) {
    const char c = body[position];
    CSpelling current{COperator::kNone, 0};
    if (!inQuote) {
      current = spellingAt(body.substr(position));
      if (current.length == 0 && isExtendedOperator(afterOperator, body.substr(position))) {
        current = {COperator::kExtendedCall, 1};
      }
    }
    if (current.code != COperator::kNone) {
      afterOperator = true;
    } else if (!isBlank(c)) {
      afterOperator = false;
    }
    if (afterCall && current.code == COperator::kExtendedCall) current = {COperator::kNone, 0};

    if (current.code == COperator::kNone) {
      // Either kind of quote opens a quote and either closes it. The operand
      // is the text since the last operator, quotes included.
      if (c == '"' || c == '\'') inQuote = !inQuote;
      previous = COperator::kNone;
      ++position;
      continue;
    }

    writer.operand(body.substr(operandStart, position - operandStart), afterCall, "Push operand: ");
    position += current.length;
    operandStart = position;
    COperator op = current.code;
    // The unary rule looks only at the character before: in "2 * -3" the
    // blank makes the "-" binary.
    if (op == COperator::kSubtract && previous != COperator::kNone &&
        previous != COperator::kCloseParen) {
      op = COperator::kNegate;
    }
    previous = op;
    afterCall = op == COperator::kCall;

    if (op == COperator::kOpenParen) {
      stack.push_back(op);
    } else if (op == COperator::kCloseParen) {
      // An unmatched ")" just empties the stack.
      while (!stack.empty()) {
        const COperator top = stack.back();
        stack.pop_back();
        if (top == COperator::kOpenParen) break;
        if (!neverInPostfix(top)) writer.op(top, "Right parent push: ");
      }
    } else {
      // Only strictly lower codes are popped, so equal codes group to the
      // right: "a - b - c" is a - (b - c). Stored expressions rely on it.
      while (!stack.empty() && stack.back().value() < op.value()) {
        const COperator top = stack.back();
        stack.pop_back();
        if (!neverInPostfix(top)) writer.op(top, "Regular operator push: ");
      }
      stack.push_back(op);
    }
  }

  writer.operand(body.substr(operandStart), afterCall, "Final push: ");
  bool mismatched = false;
  while (!stack.empty()) {
    const COperator top = stack.back();
    stack.pop_back();
    if (top == COperator::kOpenParen) {
      mismatched = true;
      break;
    }
    if (!neverInPostfix(top)) writer.op(top, "Final push: ");
  }
  writer.emit(postfix, traceSink_);
  if (mismatched) {
    fail(CRaiser::of(*this), "exp_eval", "CExpEval::parse", {"Cannot parse expression '%1'.", text},
         "Mismatched parentheses.");
  }
  _isUsable(text, postfix);
}

}  // namespace qvt
