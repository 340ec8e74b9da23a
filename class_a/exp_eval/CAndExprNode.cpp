#include "class_a/exp_eval/CAndExprNode.h"

namespace qvt {

bool CAndExprNode::interpret() {
  CITraceSink* const sink = _before();
  _setBoolean(false);
  CNodeBase& left = getLeft();
  if (!left.interpret()) return _after(sink, false);
  if (!left.value().isKnown() || !left.value().boolean()) return _after(sink, true);
  CNodeBase& right = getRight();
  if (!right.interpret()) return _after(sink, false);
  if (right.value().isKnown()) _setBoolean(right.value().boolean());
  return _after(sink, true);
}

CAndExprNode::~CAndExprNode() = default;

}  // namespace qvt
