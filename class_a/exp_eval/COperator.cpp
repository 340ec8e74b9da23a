#include "class_a/exp_eval/COperator.h"

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr const char* kSpellings[COperator::kCount] = {
    "",   "$",  "$$", ":", "!", "-", "~",  "*",  "/", "+", "-", "<", "<=", ">",
    ">=", "==", "!=", "&", "^", "|", "&&", "||", "?", "=", ",", "(", ")",
};

}  // namespace

COperator& COperator::operator=(const std::string& text) {
  // "$$" is never read from text, and "-" is always subtraction.
  for (std::int32_t code = 1; code < kCount; ++code) {
    if (code == kExtendedCall || code == kNegate) continue;
    if (text == kSpellings[code]) {
      code_ = static_cast<Code>(code);
      return *this;
    }
  }
  fail(CRaiser::of(*this), "exp_eval",
       "COperator::operator=", {"Cannot assign operator from text '%1'.", text}, "Illegal value.");
}

const char* COperator::spelling(std::int32_t code) noexcept {
  if (code < 0 || code >= kCount) return "unknown";
  return kSpellings[code];
}

COperator::Code COperator::_checkValidity(std::int32_t value) {
  if (value < 0 || value >= kCount) {
    fail(CRaiser::none(), "exp_eval", "COperator::_checkValidity",
         {"Cannot set variant operator type '%1'.", value}, "Illegal value.");
  }
  return static_cast<Code>(value);
}

}  // namespace qvt
