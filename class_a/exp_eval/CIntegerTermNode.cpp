#include "class_a/exp_eval/CIntegerTermNode.h"

namespace qvt {

bool CIntegerTermNode::interpret() {
  return true;
}

CIntegerTermNode::~CIntegerTermNode() = default;

}  // namespace qvt
