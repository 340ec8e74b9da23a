// CAndExprNode: the logical "&&", evaluated lazily.
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class CAndExprNode : public CExpressionNode {
 public:
  using CExpressionNode::CExpressionNode;
  // interpret: the value starts as boolean false. The right side runs only
  // when the left value is known and converts to true; the value is then the
  // right value converted to boolean (false when it is unknown). Returns the
  // answer of the last child interpreted. Raises the conversion errors.
  bool interpret() override;
  ~CAndExprNode() override;
};

}  // namespace qvt
