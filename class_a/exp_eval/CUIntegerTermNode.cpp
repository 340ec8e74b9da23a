#include "class_a/exp_eval/CUIntegerTermNode.h"

namespace qvt {

bool CUIntegerTermNode::interpret() {
  return true;
}

CUIntegerTermNode::~CUIntegerTermNode() = default;

}  // namespace qvt
