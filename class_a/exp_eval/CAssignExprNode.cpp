#include "class_a/exp_eval/CAssignExprNode.h"

namespace qvt {

bool CAssignExprNode::interpret() {
  CITraceSink* const sink = _before();
  CNodeBase& left = getLeft();
  if (!left.interpret()) return _after(sink, false);
  CNodeBase& right = getRight();
  if (!right.interpret()) return _after(sink, false);
  const CNonterminalNode* target = CNonterminalNode::inner(&left);
  if (target == nullptr) {
    _failNode("CAssignExprNode::interpret", "Cannot execute expression assignment.",
              "Invalid node.");
  }
  op_ = target->op();
  value_ = right.value();
  return _after(sink, true);
}

CAssignExprNode::~CAssignExprNode() = default;

}  // namespace qvt
