// Built-in functions of control and expressions: $IF, $COND, $DEFAULT,
// $UNKNOWN, $PRINT, $LOG and $EVAL.
#include <cstdio>
#include <string>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CExpression.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "class_a/standard/Severity.h"

namespace qvt {

void CExpEval::_if(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_if", "Failed to execute function $IF()."};
  _requireArguments(evaluator, arguments, kCall, 3, 3);
  const bool condition = arguments.current().boolean();
  arguments.advance();
  if (!condition) arguments.advance();
  results.append(arguments.current());
}

void CExpEval::COND(CExpEval& /*evaluator*/, CMultiVariant& results, CMultiVariant& arguments) {
  for (; !arguments.empty(); arguments.advance()) {
    if (arguments.current().boolean()) {
      results.append(arguments.current());
      return;
    }
  }
  results.append(CVariant());
}

void CExpEval::DEFAULT(CExpEval& /*evaluator*/, CMultiVariant& results, CMultiVariant& arguments) {
  if (arguments.empty()) {
    results.append(CVariant());
    return;
  }
  results.append(arguments);
}

void CExpEval::UNKNOWN(CExpEval& /*evaluator*/, CMultiVariant& results,
                       CMultiVariant& /*arguments*/) {
  results.append(CVariant());
}

void CExpEval::PRINT(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  DEFAULT(evaluator, results, arguments);
  std::string out;
  for (std::size_t number = 1; number <= arguments.size(); ++number) {
    const CVariant& argument = arguments[arguments.size() - number];
    out += "arg_num=" + std::to_string(number) + "\n";
    out += std::string("type=") + argument.type().name() + "\n";
    out += "value=" + argument.string() + "\n";
  }
  out += "\n";
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
}

void CExpEval::LOG(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  DEFAULT(evaluator, results, arguments);
  std::string message;
  for (std::size_t index = arguments.size(); index > 0; --index) {
    message += arguments[index - 1].string();
  }
  if (evaluator.hostContext() != nullptr) {
    evaluator.hostContext()->logger().log(message, "exp_eval", kSeverityAudit);
    return;
  }
  // Without a host the message goes to the standard error stream.
  message.push_back('\n');
  std::fwrite(message.data(), 1, message.size(), stderr);
}

void CExpEval::_eval(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_eval", "Failed to execute function $EVAL()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  for (; !arguments.empty(); arguments.advance()) {
    CExpression expression(&evaluator, arguments.current().string());
    results.append(*expression);
  }
}

}  // namespace qvt
