// CExpEval::parse: expression text to postfix tokens, in one left-to-right
// scan with an operator stack.
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

// CPostfixWriter: appends tokens to the postfix sequence and traces them.
class CPostfixWriter {
 public:
  CPostfixWriter(CTokenList& postfix, CITraceSink* sink) : postfix_(postfix), sink_(sink) {}

  // operand: an operand token from the buffer text, when it is not blank. A
  // name right after "$" is a string marked as function name; any other
  // operand's type is guessed from its text.
  void operand(std::string_view buffer, bool afterCall, const char* label) {
    const std::string_view text = trimBlanks(buffer);
    if (text.empty()) return;
    if (afterCall) {
      postfix_.emplace_back(CVariant::fromString(text, CVariantSubType::kFunctionName));
    } else {
      postfix_.emplace_back(CVariant::fromText(text));
    }
    if (sink_) sink_->trace(label, postfix_.back());
  }

  void op(COperator code, const char* label) {
    postfix_.emplace_back(code);
    if (sink_) sink_->trace(label, postfix_.back());
  }

 private:
  CTokenList& postfix_;
  CITraceSink* sink_;
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

  CPostfixWriter writer(postfix, traceSink_);
  std::string operand;
  std::vector<COperator> stack;
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
      // Either kind of quote opens a quote and either closes it.
      if (c == '"' || c == '\'') inQuote = !inQuote;
      operand.push_back(c);
      previous = COperator::kNone;
      ++position;
      continue;
    }

    position += current.length;
    writer.operand(operand, afterCall, "Push operand: ");
    operand.clear();
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

  writer.operand(operand, afterCall, "Final push: ");
  while (!stack.empty()) {
    const COperator top = stack.back();
    stack.pop_back();
    if (top == COperator::kOpenParen) {
      fail(CRaiser::of(*this), "exp_eval", "CExpEval::parse",
           {"Cannot parse expression '%1'.", text}, "Mismatched parentheses.");
    }
    if (!neverInPostfix(top)) writer.op(top, "Final push: ");
  }
  _isUsable(text, postfix);
}

}  // namespace qvt
