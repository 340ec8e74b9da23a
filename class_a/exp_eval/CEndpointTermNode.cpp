#include "class_a/exp_eval/CEndpointTermNode.h"

namespace qvt {

bool CEndpointTermNode::interpret() {
  return true;
}

CEndpointTermNode::~CEndpointTermNode() = default;

}  // namespace qvt
