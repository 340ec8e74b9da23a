#include "class_a/exp_eval/CFuncExprNode.h"

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CListItemExprNode.h"
#include "class_a/standard/Fail.h"

namespace qvt {

bool CFuncExprNode::interpret() {
  CITraceSink* const sink = _before();
  CNodeBase& name = getLeft();
  if (!name.interpret()) return _after(sink, false);
  CNodeBase& chain = getRight();
  if (!chain.interpret()) return _after(sink, false);
  _call(name.value());
  return _after(sink, true);
}

CFuncExprNode::~CFuncExprNode() = default;

void CFuncExprNode::_call(const CVariant& name) {
  // The factory always hangs an argument chain here; its first link holds the
  // last argument, which is therefore appended first.
  arguments_.clear();
  for (auto* link = static_cast<const CListItemExprNode*>(right_.get()); !link->end();
       link = link->next()) {
    arguments_.append(link->value());
  }
  results_.clear();
  CExpEval& engine = *context_;
  if (handlerVersion_ != engine.functionTableVersion()) {
    handler_ =
        name.isString() ? engine.handlerOf(name.stringView()) : engine.handlerOf(name.string());
    handlerVersion_ = engine.functionTableVersion();
  }
  if (handler_ != nullptr) {
    handler_(engine, results_, arguments_);
  } else if (name.isString()) {
    engine.callback(results_, name.stringView(), arguments_);  // raises: unknown name
  } else {
    engine.callback(results_, name.string(), arguments_);
  }
  if (results_.empty()) _failNoResult(name);
  const CVariant& result = results_.current();
  // Functions that lengthen their argument (base64, the text of a byte
  // sequence) would otherwise grow a value exponentially with the nesting.
  if ((result.isString() || result.isHexStore()) && result.raw_len() > CExpEval::kMaxValueSize) {
    _failTooLong(name, result.raw_len());
  }
  value_ = result;
}

void CFuncExprNode::_failTooLong(const CVariant& name, std::size_t size) const {
  fail(CRaiser::of(*this), "exp_eval", "CFuncExprNode::interpret",
       {"Failed to execute function '%1'.", name.string()},
       {"Its value of %1 bytes is longer than the %2 bytes a value may hold.", size,
        CExpEval::kMaxValueSize});
}

void CFuncExprNode::_failNoResult(const CVariant& name) const {
  fail(CRaiser::of(*this), "exp_eval", "CFuncExprNode::interpret",
       {"Failed to execute function '%1'.", name.string()}, "Function did not return a result.");
}

}  // namespace qvt
