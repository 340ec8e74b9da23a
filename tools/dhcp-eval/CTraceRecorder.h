// CTraceRecorder: the trace sink of the dhcp-eval command.
//
// It listens to the engine's trace points while one expression is compiled
// and run: it collects the postfix tokens as the parser appends them (so a
// text that fails to compile still shows how far the parser got), and it
// notes for every operator node whether its interpretation began and ended.
// The tree printout uses that to tell a value computed in this run from a
// node that was never run (the untaken side of "&&", "||" or "?:") or that
// failed:
//
//   CTraceRecorder recorder;
//   engine.setTraceSink(&recorder);
//   engine.execute(result, tree);
//   recorder.state(*tree->_find(0));   // CTraceRecorder::kFinished
#pragma once

#include <unordered_map>

#include "class_a/exp_eval/CITraceSink.h"
#include "class_a/exp_eval/CNodeBase.h"
#include "class_a/exp_eval/CToken.h"

namespace qvt::tool {

class CTraceRecorder : public CITraceSink {
 public:
  // CNodeState: how far the interpretation of a node came.
  enum CNodeState { kNotRun, kStarted, kFinished };

  // clear: forgets the tokens and node states of the previous expression.
  void clear();

  // trace: a parser trace point; the token is the one appended to the postfix.
  void trace(const char* label, const CToken& token) override;
  // trace: "Before interpret" marks node started, "After interpret" finished;
  // the factory's points are ignored.
  void trace(const char* label, const CNodeBase& node) override;

  // postfix: the tokens the parser appended since clear.
  const CTokenList& postfix() const noexcept { return postfix_; }
  // state: how far the interpretation of node came since clear.
  CNodeState state(const CNodeBase& node) const;

 private:
  CTokenList postfix_;
  std::unordered_map<const CNodeBase*, CNodeState> states_;
};

}  // namespace qvt::tool
