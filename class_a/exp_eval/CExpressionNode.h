// CExpressionNode: the base of every operator node. It gives its subclasses
// the trace points "Before interpret" and "After interpret".
#pragma once

#include <memory>

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
  // either gives false, else apply(left value, right operand (_operand))
  // and true. Inlined so that nested interpretation spends one frame per
  // level.
  template <class TApply>
  [[gnu::always_inline]] bool _interpretBinary(TApply apply) {
    CITraceSink* const sink = _before();
    CNodeBase& left = getLeft();
    if (!left.interpret()) return _after(sink, false);
    CNodeBase& right = getRight();
    if (!right.interpret()) return _after(sink, false);
    apply(left.value(), _operand(left.value(), right));
    return _after(sink, true);
  }
  // _operand: the right operand of a binary operator on left: right's value,
  // or for a literal whose type or subtype differs from a known left, that
  // literal already converted to left's type and subtype, which the
  // operator would otherwise convert on every run. The conversion is made
  // on the first run that needs it and kept while left keeps its type and
  // subtype; a conversion to an endpoint (it may resolve a host name) and
  // one whose result does not match left exactly are never kept. Raises the
  // conversion's error, which the operator would raise first.
  const CVariant& _operand(const CVariant& left, const CNodeBase& right) {
    const CVariant& literal = right.value();
    if (!right.isLiteral() || !left.isKnown() || !literal.isKnown() ||
        (literal.type() == left.type() && literal.subtype() == left.subtype())) {
      return literal;
    }
    if (aligned_ && aligned_->type() == left.type() && aligned_->subtype() == left.subtype()) {
      return *aligned_;
    }
    return _align(left, literal);
  }
  [[gnu::noinline]] const CVariant& _align(const CVariant& left, const CVariant& literal);
  // _setBoolean: the value becomes a boolean, in place (no variant-sized
  // temporary in the frames of nested interpretation).
  void _setBoolean(bool value) noexcept { value_.setBoolean(value); }
  // _failNode: raises description with reason for operation.
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _failNode(const char* operation,
                                                              const char* description,
                                                              const char* reason) const;

 private:
  std::unique_ptr<CVariant> aligned_;  // the kept conversion of _operand
};

}  // namespace qvt
