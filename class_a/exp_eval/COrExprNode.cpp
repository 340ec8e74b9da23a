#include "class_a/exp_eval/COrExprNode.h"

namespace qvt {

bool COrExprNode::interpret() {
  CITraceSink* const sink = _before();
  _setBoolean(false);
  CNodeBase& left = getLeft();
  if (!left.interpret()) return _after(sink, false);
  if (!left.value().isKnown()) return _after(sink, true);
  if (left.value().boolean()) {
    _setBoolean(true);
    return _after(sink, true);
  }
  CNodeBase& right = getRight();
  if (!right.interpret()) return _after(sink, false);
  if (right.value().isKnown()) _setBoolean(right.value().boolean());
  return _after(sink, true);
}

COrExprNode::~COrExprNode() = default;

}  // namespace qvt
