#include "class_a/exp_eval/CRelationalExprNode.h"

namespace qvt {

bool CRelationalExprNode::interpret() {
  return _interpretBinary(
      [this](const CVariant& left, const CVariant& right) { _apply(left, right); });
}

CRelationalExprNode::~CRelationalExprNode() = default;

void CRelationalExprNode::_apply(const CVariant& left, const CVariant& right) {
  switch (op_.code()) {
    case COperator::kLess:
      _setBoolean(left < right);
      break;
    case COperator::kLessEqual:
      _setBoolean(left <= right);
      break;
    case COperator::kGreater:
      _setBoolean(left > right);
      break;
    case COperator::kGreaterEqual:
      _setBoolean(left >= right);
      break;
    case COperator::kEqual:
      _setBoolean(left == right);
      break;
    case COperator::kNotEqual:
      _setBoolean(left != right);
      break;
    default:
      _failNode("CRelationalExprNode::interpret", "Cannot process relational sub-expression.",
                "Invalid opcode.");
  }
}

}  // namespace qvt
