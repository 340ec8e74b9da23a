#include "class_a/exp_eval/CConditionalArgsNode.h"

namespace qvt {

bool CConditionalArgsNode::interpret() {
  return _after(_before(), true);
}

CConditionalArgsNode::~CConditionalArgsNode() = default;

}  // namespace qvt
