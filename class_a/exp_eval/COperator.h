// COperator: an operator code of the expression language.
//
// The code is also the precedence: a lower code binds tighter. Codes 3 (":"),
// 24 (","), 25 ("(") and 26 (")") only steer the parser and never reach a
// postfix sequence; code 5 (unary "-") is made by the parser from code 10.
//
//   COperator op;          // code 0, no operator
//   op = "<=";             // code 12
//   op.spelling();         // "<="
//   COperator(27);         // raises "Cannot set variant operator type '27'."
#pragma once

#include <cstdint>
#include <string>

namespace qvt {

class COperator {
 public:
  enum Code : std::int32_t {
    kNone = 0,
    kCall = 1,           // "$"
    kExtendedCall = 2,   // "$$"
    kColon = 3,          // ":"
    kNot = 4,            // "!"
    kNegate = 5,         // unary "-"
    kComplement = 6,     // "~"
    kMultiply = 7,       // "*"
    kDivide = 8,         // "/"
    kAdd = 9,            // "+"
    kSubtract = 10,      // "-"
    kLess = 11,          // "<"
    kLessEqual = 12,     // "<="
    kGreater = 13,       // ">"
    kGreaterEqual = 14,  // ">="
    kEqual = 15,         // "=="
    kNotEqual = 16,      // "!="
    kBitAnd = 17,        // "&"
    kBitXor = 18,        // "^"
    kBitOr = 19,         // "|"
    kAnd = 20,           // "&&"
    kOr = 21,            // "||"
    kConditional = 22,   // "?"
    kAssign = 23,        // "="
    kComma = 24,         // ","
    kOpenParen = 25,     // "("
    kCloseParen = 26,    // ")"
  };
  // kCount: number of valid codes (0 to kCount - 1).
  static constexpr std::int32_t kCount = 27;

  // COperator: code 0.
  constexpr COperator() noexcept = default;
  // COperator(code): one of the named codes; never fails.
  constexpr COperator(Code code) noexcept : code_(code) {}  // NOLINT(runtime/explicit)
  // COperator(value): a numeric code. Raises "Cannot set variant operator type
  // '%1'." ("Illegal value.", operation "COperator::_checkValidity") outside 0..26.
  explicit COperator(std::int32_t value) : code_(_checkValidity(value)) {}
  // COperator(text): the code of a spelling; raises as operator=(text).
  explicit COperator(const std::string& text) { *this = text; }

  // operator=(text): the code whose spelling is exactly text ("$", ":" to ")";
  // "-" gives subtraction). Raises "Cannot assign operator from text '%1'."
  // ("Illegal value.", operation "COperator::operator=") for any other text;
  // the code is then unchanged.
  COperator& operator=(const std::string& text);
  // set: replaces the code; raises as the numeric constructor.
  void set(std::int32_t value) { code_ = _checkValidity(value); }

  constexpr Code code() const noexcept { return code_; }
  constexpr std::int32_t value() const noexcept { return code_; }
  constexpr operator Code() const noexcept { return code_; }  // NOLINT(runtime/explicit)

  // spelling: the operator's text; "-" for both minus codes, "" for code 0.
  const char* spelling() const noexcept { return spelling(code_); }
  // spelling(code): as above, "unknown" for a code outside the table.
  static const char* spelling(std::int32_t code) noexcept;
  // string: the spelling as a std::string.
  std::string string() const { return spelling(code_); }

  // _checkValidity: the value as a code; raises outside 0..26.
  static Code _checkValidity(std::int32_t value);

 private:
  Code code_ = kNone;
};

}  // namespace qvt
