// CHexStoreTermNode: a leaf holding a literal of type byte sequence.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CHexStoreTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CHexStoreTermNode() override;
};

}  // namespace qvt
