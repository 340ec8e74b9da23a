// CListItemExprNode: one link of a function call's argument chain.
//
// The chain hangs off the call node's right side: each link holds one
// argument (left) and the rest of the chain (right), the first link holding
// the last argument; a terminator link (end) closes it. Interpreting a link
// runs the rest of the chain before its own argument, so arguments run from
// the first written to the last. The walk is a loop, not a recursion, so a
// call with many arguments needs no more stack than a call with one.
#pragma once

#include "class_a/exp_eval/CExpressionNode.h"

namespace qvt {

class CListItemExprNode : public CExpressionNode {
 public:
  // CListItemExprNode: a link holding argument, or (end) the terminator.
  CListItemExprNode(CExpEval* context, COperator op, std::unique_ptr<CNodeBase> argument,
                    bool end) noexcept
      : CExpressionNode(context, op, std::move(argument), nullptr), end_(end) {}
  // interpret: a terminator answers true. Otherwise the rest of the chain
  // runs, then the argument; the answer is the argument's, and on true the
  // link's value becomes the argument's value.
  bool interpret() override;
  ~CListItemExprNode() override;

  bool end() const noexcept { return end_; }
  // next: the rest of the chain (right); null for the terminator.
  CListItemExprNode* next() const noexcept { return static_cast<CListItemExprNode*>(right_.get()); }
  // setNext: appends link as the rest of the chain.
  void setNext(std::unique_ptr<CListItemExprNode> link) noexcept;

 private:
  bool end_;
  CListItemExprNode* previous_ = nullptr;  // the link whose rest this is
};

}  // namespace qvt
