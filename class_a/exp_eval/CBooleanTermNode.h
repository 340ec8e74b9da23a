// CBooleanTermNode: a leaf holding a literal of type boolean.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CBooleanTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CBooleanTermNode() override;
};

}  // namespace qvt
