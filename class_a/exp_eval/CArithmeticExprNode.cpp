#include "class_a/exp_eval/CArithmeticExprNode.h"

namespace qvt {

bool CArithmeticExprNode::interpret() {
  return _interpretBinary(
      [this](const CVariant& left, const CVariant& right) { _apply(left, right); });
}

CArithmeticExprNode::~CArithmeticExprNode() = default;

void CArithmeticExprNode::_apply(const CVariant& left, const CVariant& right) {
  switch (op_.code()) {
    case COperator::kMultiply:
      value_ = left * right;
      break;
    case COperator::kDivide:
      value_ = left / right;
      break;
    case COperator::kAdd:
      value_ = left + right;
      break;
    case COperator::kSubtract:
      value_ = left - right;
      break;
    default:
      _failNode("CArithmeticExprNode::interpret", "Cannot process arithemetic sub-expression.",
                "Invalid opcode.");
  }
}

}  // namespace qvt
