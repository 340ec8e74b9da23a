#include "class_a/exp_eval/COrExprNode.h"

namespace qvt {

bool COrExprNode::interpret() {
  CITraceSink* const sink = _before();
  value_ = CVariant(false);
  CNodeBase& left = getLeft();
  if (!left.interpret()) return _after(sink, false);
  if (!left.value().isKnown()) return _after(sink, true);
  if (left.value().boolean()) {
    value_ = CVariant(true);
    return _after(sink, true);
  }
  CNodeBase& right = getRight();
  if (!right.interpret()) return _after(sink, false);
  if (right.value().isKnown()) value_ = CVariant(right.value().boolean());
  return _after(sink, true);
}

COrExprNode::~COrExprNode() = default;

}  // namespace qvt
