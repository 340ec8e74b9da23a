// CNonterminalNode: an inner node of a syntax tree, owning up to two children
// and recording the operator that made it.
//
// Either child may be missing when the expression lacked an operand ("2 * -");
// that surfaces only when the node is interpreted, through getLeft and
// getRight. Destroying a node destroys its subtree without recursion, so trees
// of any depth are released safely.
#pragma once

#include <memory>

#include "class_a/exp_eval/CNodeBase.h"
#include "class_a/exp_eval/COperator.h"

namespace qvt {

class CNonterminalNode : public CNodeBase {
 public:
  CNonterminalNode(CExpEval* context, COperator op, std::unique_ptr<CNodeBase> left,
                   std::unique_ptr<CNodeBase> right) noexcept
      : CNodeBase(context), left_(std::move(left)), right_(std::move(right)), op_(op) {
    inner_ = true;
  }
  // inner: node as a nonterminal node; null for any other node.
  static CNonterminalNode* inner(CNodeBase* node) noexcept {
    return node != nullptr && node->isInner() ? static_cast<CNonterminalNode*>(node) : nullptr;
  }
  static const CNonterminalNode* inner(const CNodeBase* node) noexcept {
    return node != nullptr && node->isInner() ? static_cast<const CNonterminalNode*>(node)
                                              : nullptr;
  }
  bool interpret() override = 0;
  ~CNonterminalNode() override;

  // getLeft, getRight: the child. Raise "Left operand not defined." /
  // "Right operand not defined." (reason "Parse fail.", operations
  // "CNonterminalNode::getLeft" / "CNonterminalNode::getRight") when missing.
  CNodeBase& getLeft() const {
    if (!left_) _missingLeft();
    return *left_;
  }
  CNodeBase& getRight() const {
    if (!right_) _missingRight();
    return *right_;
  }
  // left, right: the child or null; never raise.
  CNodeBase* left() const noexcept { return left_.get(); }
  CNodeBase* right() const noexcept { return right_.get(); }
  COperator op() const noexcept { return op_; }

  // destroy: deletes a subtree of any depth with constant stack use.
  static void destroy(std::unique_ptr<CNodeBase> node) noexcept;

 protected:
  std::unique_ptr<CNodeBase> left_;
  std::unique_ptr<CNodeBase> right_;
  COperator op_;

 private:
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _missingLeft() const;
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _missingRight() const;
};

}  // namespace qvt
