// CConditionalExprNode: "c ? a : b"; only the chosen branch runs.
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class CConditionalExprNode : public CExpressionNode {
 public:
  using CExpressionNode::CExpressionNode;
  // interpret: the condition (left), converted to boolean, picks the true or
  // false branch of the branch pair (right); the branch's value becomes the
  // value. False when the condition or the true branch gives false. Raises
  // "Left operand not defined." / "Right operand not defined." for a
  // missing part, and the conversion errors.
  bool interpret() override;
  ~CConditionalExprNode() override;
};

}  // namespace qvt
