// COrExprNode: the logical "||", evaluated lazily.
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class COrExprNode : public CExpressionNode {
 public:
  using CExpressionNode::CExpressionNode;
  // interpret: the value starts as boolean false. A known left value that
  // converts to true makes it true without running the right side; a known
  // false left value runs the right side, whose value converted to boolean
  // (false when unknown) becomes the value. An unknown left value leaves
  // false. Returns the answer of the last child interpreted.
  bool interpret() override;
  ~COrExprNode() override;
};

}  // namespace qvt
