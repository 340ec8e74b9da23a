// CIPAddressTermNode: a leaf holding a literal of type ip address.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CIPAddressTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CIPAddressTermNode() override;
};

}  // namespace qvt
