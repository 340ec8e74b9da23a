// CEndpointTermNode: a leaf holding a literal of type ip endpoint.
#pragma once

#include "class_a/exp_eval/CTerminalNode.h"

namespace qvt {

class CEndpointTermNode : public CTerminalNode {
 public:
  using CTerminalNode::CTerminalNode;
  // interpret: keeps the literal; always true.
  bool interpret() override;
  ~CEndpointTermNode() override;
};

}  // namespace qvt
