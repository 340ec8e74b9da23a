// libFuzzer target: compiles and executes arbitrary expression text with the
// built-in functions. Functions that would sleep, touch files or write output
// are replaced by harmless stand-ins; only qvt::CException is an expected
// way to fail.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CMultiVariant.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"

namespace {

using qvt::CExpEval;
using qvt::CMultiVariant;
using qvt::CVariant;

class CQuietLogger : public qvt::CILogger {
 public:
  void log(const std::string&, const std::string&, std::uint32_t) override {}
};

class CFuzzHost : public qvt::CIHostContext {
 public:
  qvt::CILogger& logger() override { return logger_; }
  std::vector<std::uint8_t> sharedServerKey() override { return {'f', 'u', 'z', 'z'}; }

 private:
  CQuietLogger logger_;
};

// The first argument, as $DEFAULT gives it, without any output.
void quietFirst(CExpEval&, CMultiVariant& results, CMultiVariant& arguments) {
  if (arguments.empty()) {
    results.append(CVariant());
  } else {
    results.append(arguments);
  }
}

void noSleep(CExpEval&, CMultiVariant& results, CMultiVariant& arguments) {
  if (!arguments.empty()) arguments.current().integer();
  results.append(CVariant(true));
}

void noFile(CExpEval&, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(false));
}

void noValue(CExpEval&, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant());
}

CExpEval& engine() {
  static CFuzzHost host;
  static CExpEval* const instance = [] {
    auto* made = new CExpEval(&host);
    made->initCipher();
    made->registerFunction("USLEEP", &noSleep);
    made->registerFunction("FILE.EXISTS", &noFile);
    made->registerFunction("VALUE", &noValue);
    made->registerFunction("PRINT", &quietFirst);
    made->registerFunction("LOG", &quietFirst);
    return made;
  }();
  return *instance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CExpEval& evaluator = engine();
  try {
    const qvt::CGeneralPtr<qvt::CSyntaxTreeProxy> tree = evaluator.compile(text);
    CMultiVariant results;
    try {
      evaluator.execute(results, tree);
      for (std::size_t i = 0; i < results.size(); ++i)
        results[i].string();
    } catch (const qvt::CException&) {
    }
    CVariant result;
    evaluator.execute(result, tree);
  } catch (const qvt::CException&) {
  }
  return 0;
}
