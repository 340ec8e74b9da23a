// CUnknownTermNode: a leaf holding a literal of type unknown.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CUnknownTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CUnknownTermNode() override;
};

}  // namespace qvt
