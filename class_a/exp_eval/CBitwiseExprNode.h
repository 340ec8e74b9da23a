// CBitwiseExprNode: the bitwise operators ("&", "^", "|").
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class CBitwiseExprNode : public CExpressionNode {
 public:
  using CExpressionNode::CExpressionNode;
  // interpret: left, then right; false when either gives false. The value is
  // left op right by the CVariant operator. Raises "Cannot process bitwise sub-expression."
  // ("Invalid opcode.") for another code, and the CVariant operator's errors.
  bool interpret() override;
  ~CBitwiseExprNode() override;

 private:
  // _apply: kept out of interpret so that nested interpretation does not
  // carry the temporaries of the operation on the stack.
  [[gnu::noinline]] void _apply(const CVariant& left, const CVariant& right);
};

}  // namespace qvt
