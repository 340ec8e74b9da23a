#include "class_a/exp_eval/CBitwiseExprNode.h"

namespace qvt {

bool CBitwiseExprNode::interpret() {
  return _interpretBinary(
      [this](const CVariant& left, const CVariant& right) { _apply(left, right); });
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
