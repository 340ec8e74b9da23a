// CEvalCommand: evaluates expressions the way the server does and prints the
// outcome.
//
// One engine serves the whole run: built with the host, its cipher keyed
// with the host's shared server key. Each expression is compiled with the
// engine's compile and run with the single form of execute, so a failure is
// the engine's own exception:
//
//   CEvalCommand command(host, CEvalCommand::COptions{}, std::cout, std::cerr);
//   command.evaluate("$LEFT('abcdef', 2) + 'x'");   // prints: string "abx"
//   command.evaluate("$NOSUCH()");
//   // stderr: error: $NOSUCH(): Runtime error. (Unknown function 'NOSUCH'.)
//   command.failures();                              // 1
//
// Output forms:
//   plain  one line per expression with the value's type and text
//          (ValueText.h); a failure as "error: <expression>: <text>" on the
//          error stream.
//   json   one object per expression per line on the output stream:
//          {"expression": E, "type": T, "subtype": S, "value": V} or
//          {"expression": E, "error": {...}} (ExceptionJson.h). V is the
//          value converted to string, "" for unknown.
//   trace  (plain only) before the value: the expression, its postfix
//          tokens and its syntax tree with each node's value after the run
//          (TreeText.h).
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <ostream>
#include <string>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/CTraceRecorder.h"

namespace qvt::tool {

class CEvalCommand {
 public:
  struct COptions {
    bool json = false;
    bool trace = false;
  };

  // CEvalCommand: an engine over host (which must outlive the command) with
  // its cipher keyed. Writes results to out and plain errors to err. Raises
  // the errors of the host's shared server key and of keying the cipher.
  CEvalCommand(CIHostContext& host, COptions options, std::ostream& out, std::ostream& err);
  CEvalCommand(const CEvalCommand&) = delete;
  CEvalCommand& operator=(const CEvalCommand&) = delete;

  // evaluate: compiles and runs expression and prints the outcome; true when
  // it gave a value. Never raises for a failing expression.
  bool evaluate(const std::string& expression);

  // evaluated, failures: how many expressions gave a value and how many failed.
  std::size_t evaluated() const noexcept { return evaluated_; }
  std::size_t failures() const noexcept { return failures_; }

 private:
  void _printValue(const std::string& expression, const CVariant& value);
  void _printError(const std::string& expression, const CException& e);
  void _printError(const std::string& expression, const std::exception& e);
  // _printError: text on standard error, or the error object writeError
  // writes in a JSON line.
  void _printError(const std::string& expression, const std::string& text,
                   const std::function<void(CJsonWriter&)>& writeError);
  // _printTrace: the postfix and, once compiled, the tree with its values.
  void _printTrace(const CGeneralPtr<CSyntaxTreeProxy>& tree);

  COptions options_;
  std::ostream& out_;
  std::ostream& err_;
  CExpEval engine_;
  CTraceRecorder recorder_;
  CVariant result_;
  std::size_t evaluated_ = 0;
  std::size_t failures_ = 0;
};

}  // namespace qvt::tool
