#include "class_a/exp_eval/CBitwiseExprNode.h"

namespace qvt {

bool CBitwiseExprNode::interpret() {
  CITraceSink* const sink = _before();
  CNodeBase& left = getLeft();
  if (!left.interpret()) return _after(sink, false);
  CNodeBase& right = getRight();
  if (!right.interpret()) return _after(sink, false);
  _apply(left.value(), right.value());
  return _after(sink, true);
}

CBitwiseExprNode::~CBitwiseExprNode() = default;

void CBitwiseExprNode::_apply(const CVariant& left, const CVariant& right) {
  switch (op_.code()) {
    case COperator::kBitAnd:
      value_ = left & right;
      break;
    case COperator::kBitXor:
      value_ = left ^ right;
      break;
    case COperator::kBitOr:
      value_ = left | right;
      break;
    default:
      _failNode("CBitwiseExprNode::interpret", "Cannot process bitwise sub-expression.",
                "Invalid opcode.");
  }
}

}  // namespace qvt
