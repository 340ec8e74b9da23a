#include "class_a/exp_eval/CConditionalExprNode.h"

namespace qvt {

bool CConditionalExprNode::interpret() {
  CITraceSink* const sink = _before();
  CNodeBase& condition = getLeft();
  if (!condition.interpret()) return _after(sink, false);
  // The factory always puts a branch pair (CConditionalArgsNode) here.
  const auto& branches = static_cast<const CNonterminalNode&>(getRight());
  if (condition.value().boolean()) {
    CNodeBase& taken = branches.getLeft();
    const bool produced = taken.interpret();
    if (produced) value_ = taken.value();
    return _after(sink, produced);
  }
  CNodeBase& taken = branches.getRight();
  if (taken.interpret()) value_ = taken.value();
  return _after(sink, true);
}

CConditionalExprNode::~CConditionalExprNode() = default;

}  // namespace qvt
