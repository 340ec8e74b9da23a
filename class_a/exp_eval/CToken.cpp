#include "class_a/exp_eval/CToken.h"

#include "class_a/standard/CException.h"

namespace qvt {

CToken::~CToken() = default;

bool CToken::operator==(const CToken& other) const {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case kOperator:
      return op_ == other.op_;
    case kOperand:
      // Values of different types would be converted by CVariant's ==, which
      // may raise; tokens of different types are simply different.
      if (value_.type() != other.value_.type() || value_.subtype() != other.value_.subtype()) {
        return false;
      }
      try {
        return value_ == other.value_;
      } catch (const CException&) {
        return false;
      }
    default:
      return true;
  }
}

std::string CToken::string() const {
  if (kind_ == kOperator) return op_.string();
  if (kind_ != kOperand) return std::string();
  try {
    return value_.string();
  } catch (const CException&) {
    return std::string();
  }
}

}  // namespace qvt
