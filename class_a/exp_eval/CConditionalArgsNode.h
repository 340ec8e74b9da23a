// CConditionalArgsNode: the pair of branches of "?" (left: taken when the
// condition is true; right: otherwise). The conditional node runs them.
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class CConditionalArgsNode : public CExpressionNode {
 public:
  using CExpressionNode::CExpressionNode;
  // interpret: does nothing; always true.
  bool interpret() override;
  ~CConditionalArgsNode() override;
};

}  // namespace qvt
