#include "class_a/exp_eval/CUnaryExprNode.h"

namespace qvt {

bool CUnaryExprNode::interpret() {
  CITraceSink* const sink = _before();
  CNodeBase& operand = getLeft();
  if (!operand.interpret()) return _after(sink, false);
  _apply(operand.value());
  return _after(sink, true);
}

CUnaryExprNode::~CUnaryExprNode() = default;

void CUnaryExprNode::_apply(const CVariant& operand) {
  switch (op_.code()) {
    case COperator::kNot:
      value_ = !operand;
      break;
    case COperator::kNegate:
      value_ = -operand;
      break;
    case COperator::kComplement:
      value_ = ~operand;
      break;
    default:
      _failNode("CUnaryExprNode::interpret", "Cannot process unary sub-expression.",
                "Invalid opcode.");
  }
}

}  // namespace qvt
