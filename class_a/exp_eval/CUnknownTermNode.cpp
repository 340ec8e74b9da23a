#include "class_a/exp_eval/CUnknownTermNode.h"

namespace qvt {

bool CUnknownTermNode::interpret() {
  return true;
}

CUnknownTermNode::~CUnknownTermNode() = default;

}  // namespace qvt
