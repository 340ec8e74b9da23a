// CUIntegerTermNode: a leaf holding a literal of type uinteger.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CUIntegerTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CUIntegerTermNode() override;
};

}  // namespace qvt
