// CStringTermNode: a leaf holding a literal of type string.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CStringTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CStringTermNode() override;
};

}  // namespace qvt
