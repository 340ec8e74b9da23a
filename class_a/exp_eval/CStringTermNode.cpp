#include "class_a/exp_eval/CStringTermNode.h"

namespace qvt {

bool CStringTermNode::interpret() {
  return true;
}

CStringTermNode::~CStringTermNode() = default;

}  // namespace qvt
