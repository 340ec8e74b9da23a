#include "class_a/exp_eval/CRelationalExprNode.h"

#include "class_a/standard/Fail.h"

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
      value_ = CVariant(left < right);
      break;
    case COperator::kLessEqual:
      value_ = CVariant(left <= right);
      break;
    case COperator::kGreater:
      value_ = CVariant(left > right);
      break;
    case COperator::kGreaterEqual:
      value_ = CVariant(left >= right);
      break;
    case COperator::kEqual:
      value_ = CVariant(left == right);
      break;
    case COperator::kNotEqual:
      value_ = CVariant(left != right);
      break;
    default:
      fail(CRaiser::of(*this), "exp_eval", "CRelationalExprNode::interpret",
           "Cannot process relational sub-expression.", "Invalid opcode.");
  }
}

}  // namespace qvt
