// CTimeTermNode: a leaf holding a literal of type time.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CTimeTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CTimeTermNode() override;
};

}  // namespace qvt
