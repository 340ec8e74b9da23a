#include "class_a/exp_eval/CRelationalExprNode.h"

namespace qvt {

bool CRelationalExprNode::interpret() {
  CITraceSink* const sink = _before();
  CNodeBase& left = getLeft();
  if (!left.interpret()) return _after(sink, false);
  CNodeBase& right = getRight();
  if (!right.interpret()) return _after(sink, false);
  _apply(left.value(), right.value());
  return _after(sink, true);
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
