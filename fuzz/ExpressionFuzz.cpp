// ExpressionFuzz: arbitrary text compiled and executed by the bare
// expression engine with its built-in functions (the ones that would sleep,
// print or read any file replaced by stand-ins; $VALUE reads one fixed value
// file). One engine serves every input, as a long-lived evaluator does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static qvt::fuzz::CQuietHost host;
  static qvt::CExpEval& engine = *[] {
    auto* made = new qvt::CExpEval(&host);
    made->initCipher();
    qvt::fuzz::tame(*made);
    return made;
  }();
  qvt::fuzz::run(engine, std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
