#include "class_a/exp_eval/CHexStoreTermNode.h"

namespace qvt {

bool CHexStoreTermNode::interpret() {
  return true;
}

CHexStoreTermNode::~CHexStoreTermNode() = default;

}  // namespace qvt
