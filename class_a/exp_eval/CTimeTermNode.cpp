#include "class_a/exp_eval/CTimeTermNode.h"

namespace qvt {

bool CTimeTermNode::interpret() {
  return true;
}

CTimeTermNode::~CTimeTermNode() = default;

}  // namespace qvt
