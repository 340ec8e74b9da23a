#include "class_a/exp_eval/CListItemExprNode.h"

namespace qvt {

bool CListItemExprNode::interpret() {
  CITraceSink* const sink = _before();
  if (end_) return _after(sink, true);
  // Walk down to the last argument link, tracing each as the nested form
  // would enter it, then run the arguments on the way back.
  CListItemExprNode* link = this;
  for (;;) {
    CListItemExprNode* const rest = static_cast<CListItemExprNode*>(&link->getRight());
    if (rest->end_) {
      rest->_after(rest->_before(), true);
      break;
    }
    link = rest;
    link->_before();
  }
  bool produced = true;
  for (;;) {
    CNodeBase& argument = link->getLeft();
    produced = argument.interpret();
    if (produced) link->value_ = argument.value();
    if (link == this) break;
    link->_after(sink, produced);
    link = link->previous_;
  }
  return _after(sink, produced);
}

CListItemExprNode::~CListItemExprNode() = default;

void CListItemExprNode::setNext(std::unique_ptr<CListItemExprNode> link) noexcept {
  link->previous_ = this;
  right_ = std::move(link);
}

}  // namespace qvt
