// CEvalCommand: evaluates expressions the way the server does and prints the
// outcome.
//
// Each expression is compiled with the given evaluator's compile and run
// with the single form of execute, so a failure is the evaluator's own
// exception. The evaluator comes from the evaluator factory: the command
// itself makes none. In packet mode each outcome names the frame of the
// packet it was evaluated for:
//
//   CEvalCommand command(CEvalCommand::COptions{}, std::cout, std::cerr);
//   command.evaluate(*evaluator, "$LEFT('abcdef', 2) + 'x'");   // string "abx"
//   command.evaluate(*evaluator, "$HWADDR", 3);                  // frame 3: byte sequence ...
//   command.evaluate(*evaluator, "$UCASES('x')");
//   // stderr: error: $UCASES('x'): Runtime error. (Unknown function 'UCASES'.)
//   //         hint: did you mean $UCASE?
//   command.failures();                                          // 1
//
// Output forms:
//   plain  one line per expression with the value's type and text
//          (ValueText.h), after "frame N: " in packet mode; a failure as
//          "error: [frame N: ]<expression>: <text>" on the error stream, a
//          long expression shortened (ErrorText.h). A function name that is
//          not registered adds "hint: <hint>" (FunctionHint.h), once per
//          name and run.
//   json   one object per expression per line on the output stream:
//          {["frame": N, ]"expression": E, "type": T, "subtype": S, "value": V}
//          or {["frame": N, ]"expression": E, "error": {...}[, "hint": H]}
//          (ExceptionJson.h), the expression and error whole. V is the value
//          converted to string, "" for unknown.
//   trace  (plain only) before the value: the expression, its postfix
//          tokens and its syntax tree with each node's value after the run
//          (TreeText.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CException.h"
#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/CTraceRecorder.h"

namespace qvt::tool {

class CEvalCommand {
 public:
  struct COptions {
    bool json = false;
    bool trace = false;
  };

  // CEvalCommand: writes results to out and plain errors to err.
  CEvalCommand(COptions options, std::ostream& out, std::ostream& err);
  CEvalCommand(const CEvalCommand&) = delete;
  CEvalCommand& operator=(const CEvalCommand&) = delete;

  // evaluate: compiles and runs expression with evaluator and prints the
  // outcome (for frame, in packet mode); true when it gave a value. Never
  // raises for a failing expression.
  bool evaluate(CExpEval& evaluator, const std::string& expression,
                std::optional<std::uint64_t> frame = std::nullopt);
  // packetFailed: prints the failure of a packet that could not be read
  // (plain: "error: frame N: <text>"; JSON: {"frame": N, "error": {...}})
  // and counts it as failed.
  void packetFailed(std::uint64_t frame, const CException& e);

  const COptions& options() const noexcept { return options_; }
  // setTrace: whether the following expressions are traced.
  void setTrace(bool trace) noexcept { options_.trace = trace; }

  // evaluated, failures: how many expressions gave a value and how many failed.
  std::size_t evaluated() const noexcept { return evaluated_; }
  std::size_t failures() const noexcept { return failures_; }

 private:
  void _printValue(const std::string& expression, const CVariant& value);
  void _printError(const std::string& expression, const CException& e, const CExpEval& evaluator);
  void _printError(const std::string& expression, const std::exception& e);
  // _printError: text on standard error, or the error object writeError
  // writes in a JSON line; hint (when not empty) after it.
  void _printError(const std::string& expression, const std::string& text,
                   const std::function<void(CJsonWriter&)>& writeError,
                   const std::string& hint = std::string());
  // _printTrace: the postfix and, once compiled, the tree with its values.
  void _printTrace(const CGeneralPtr<CSyntaxTreeProxy>& tree);
  // _beginJson: "{" and the frame member in packet mode.
  void _beginJson(CJsonWriter& json) const;
  // _framePrefix: "frame N: " in packet mode, else empty.
  std::string _framePrefix() const;

  COptions options_;
  std::ostream& out_;
  std::ostream& err_;
  CTraceRecorder recorder_;
  CVariant result_;
  std::optional<std::uint64_t> frame_;
  // hinted_: the unknown names whose plain hint was printed.
  std::set<std::string> hinted_;
  std::size_t evaluated_ = 0;
  std::size_t failures_ = 0;
};

}  // namespace qvt::tool
