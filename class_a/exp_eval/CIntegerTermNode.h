// CIntegerTermNode: a leaf holding a literal of type integer.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CIntegerTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CIntegerTermNode() override;
};

}  // namespace qvt
