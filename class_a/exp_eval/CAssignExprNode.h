// CAssignExprNode: "=". The language has no variables, so a value cannot be
// assigned to a name; the node only accepts an operator node on its left.
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class CAssignExprNode : public CExpressionNode {
 public:
  using CExpressionNode::CExpressionNode;
  // interpret: left, then right; false when either gives false. Raises
  // "Cannot execute expression assignment." ("Invalid node.") unless the
  // left child is an operator node; otherwise takes over the left child's
  // operator code, and the value is the right side's value.
  bool interpret() override;
  ~CAssignExprNode() override;
};

}  // namespace qvt
