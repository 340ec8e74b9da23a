// CRelationalExprNode: the relational operators ("<", "<=", ">", ">=", "==", "!=").
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class CRelationalExprNode : public CExpressionNode {
 public:
  using CExpressionNode::CExpressionNode;
  // interpret: left, then right; false when either gives false. The value is
  // a boolean holding left op right by the CVariant comparison. Raises "Cannot process relational
  // sub-expression." ("Invalid opcode.") for another code, and the CVariant operator's errors.
  bool interpret() override;
  ~CRelationalExprNode() override;

 private:
  // _apply: kept out of interpret so that nested interpretation does not
  // carry the temporaries of the operation on the stack.
  [[gnu::noinline]] void _apply(const CVariant& left, const CVariant& right);
};

}  // namespace qvt
