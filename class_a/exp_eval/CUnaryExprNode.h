// CUnaryExprNode: the unary operators "!", "-" and "~".
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class CUnaryExprNode : public CExpressionNode {
 public:
  // CUnaryExprNode: op applied to operand (may be missing).
  CUnaryExprNode(CExpEval* context, COperator op, std::unique_ptr<CNodeBase> operand) noexcept
      : CExpressionNode(context, op, std::move(operand), nullptr) {}
  // interpret: the operand; false when it gives false. The value is the
  // logical not, negation or bitwise complement of the operand's value.
  // Raises "Cannot process unary sub-expression." ("Invalid opcode.") for
  // another code, and the CVariant operator's errors.
  bool interpret() override;
  ~CUnaryExprNode() override;

 private:
  [[gnu::noinline]] void _apply(const CVariant& operand);
};

}  // namespace qvt
