// CITraceSink: receives the trace points of the parser, the node factory and
// the interpretation of a tree.
//
// An evaluator without a sink (the default) pays one test per trace point.
// Labels, in the order they arise:
//   parser (with the token appended to the postfix sequence):
//     "Push operand: "           an operand token
//     "Regular operator push: "  an operator popped by a weaker operator
//     "Right parent push: "      an operator popped by ")"
//     "Final push: "             the last operand and the operators left at the end
//   node factory (with the node):  "Push:", "Pop:"
//   interpretation of every operator node (with the node, its value as it
//   stands):  "Before interpret", "After interpret"
//
//   class CPrinter : public CITraceSink { ... };
//   CPrinter printer;
//   evaluator.setTraceSink(&printer);
#pragma once

namespace qvt {

class CNodeBase;
class CToken;

class CITraceSink {
 public:
  virtual ~CITraceSink() = default;
  // trace: a parser trace point with the token it appends.
  virtual void trace(const char* label, const CToken& token) = 0;
  // trace: a factory or interpretation trace point with its node.
  virtual void trace(const char* label, const CNodeBase& node) = 0;
};

}  // namespace qvt
