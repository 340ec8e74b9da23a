// CExpressionNode: the base of every operator node. It gives its subclasses
// the trace points "Before interpret" and "After interpret".
#pragma once

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CITraceSink.h"
#include "class_a/exp_eval/CNonterminalNode.h"

namespace qvt {

class CExpressionNode : public CNonterminalNode {
 public:
  using CNonterminalNode::CNonterminalNode;
  bool interpret() override = 0;
  ~CExpressionNode() override;

 protected:
  // _before: checks the stack left to the thread (CExpEval::_checkStack),
  // then returns the engine's trace sink (null when tracing is off) after
  // passing it "Before interpret".
  CITraceSink* _before() const {
    if (context_ == nullptr) return nullptr;
    context_->_checkStack();
    CITraceSink* const sink = context_->traceSink();
    if (sink) sink->trace("Before interpret", *this);
    return sink;
  }
  // _after: passes "After interpret" to sink, when there is one; returns result.
  bool _after(CITraceSink* sink, bool result) const {
    if (sink) sink->trace("After interpret", *this);
    return result;
  }
  // _interpretBinary: interprets the left, then the right child; false when
  // either gives false, else apply(left value, right value) and true. Inlined
  // so that nested interpretation spends one frame per level.
  template <class TApply>
  [[gnu::always_inline]] bool _interpretBinary(TApply apply) {
    CITraceSink* const sink = _before();
    CNodeBase& left = getLeft();
    if (!left.interpret()) return _after(sink, false);
    CNodeBase& right = getRight();
    if (!right.interpret()) return _after(sink, false);
    apply(left.value(), right.value());
    return _after(sink, true);
  }
  // _setBoolean: the value becomes a boolean. Out of line, like every
  // operation that builds a value: nested interpretation should not carry a
  // variant-sized temporary per level.
  [[gnu::noinline]] void _setBoolean(bool value);
  // _failNode: raises description with reason for operation.
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _failNode(const char* operation,
                                                              const char* description,
                                                              const char* reason) const;
};

}  // namespace qvt
