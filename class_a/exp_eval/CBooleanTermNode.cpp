#include "class_a/exp_eval/CBooleanTermNode.h"

namespace qvt {

bool CBooleanTermNode::interpret() {
  return true;
}

CBooleanTermNode::~CBooleanTermNode() = default;

}  // namespace qvt
