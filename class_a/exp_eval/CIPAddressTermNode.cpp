#include "class_a/exp_eval/CIPAddressTermNode.h"

namespace qvt {

bool CIPAddressTermNode::interpret() {
  return true;
}

CIPAddressTermNode::~CIPAddressTermNode() = default;

}  // namespace qvt
