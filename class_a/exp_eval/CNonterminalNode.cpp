#include "class_a/exp_eval/CNonterminalNode.h"

#include "class_a/standard/Fail.h"

namespace qvt {

CNonterminalNode::~CNonterminalNode() {
  destroy(std::move(left_));
  destroy(std::move(right_));
}

void CNonterminalNode::destroy(std::unique_ptr<CNodeBase> node) noexcept {
  // Rotates each left subtree up until the node at hand has no left child;
  // then it is deleted with at most its right child detached, so no
  // destructor ever finds children to recurse into.
  while (node) {
    CNonterminalNode* const inner = CNonterminalNode::inner(node.get());
    if (inner == nullptr) return;  // a leaf: deleted when node goes
    if (!inner->left_) {
      std::unique_ptr<CNodeBase> right = std::move(inner->right_);
      node = std::move(right);
      continue;
    }
    std::unique_ptr<CNodeBase> left = std::move(inner->left_);
    CNonterminalNode* const leftInner = CNonterminalNode::inner(left.get());
    if (leftInner == nullptr) continue;  // a leaf: deleted when left goes
    inner->left_ = std::move(leftInner->right_);
    leftInner->right_ = std::move(node);
    node = std::move(left);
  }
}

void CNonterminalNode::_missingLeft() const {
  fail(CRaiser::of(*this), "exp_eval", "CNonterminalNode::getLeft", "Left operand not defined.",
       "Parse fail.");
}

void CNonterminalNode::_missingRight() const {
  fail(CRaiser::of(*this), "exp_eval", "CNonterminalNode::getRight", "Right operand not defined.",
       "Parse fail.");
}

}  // namespace qvt
