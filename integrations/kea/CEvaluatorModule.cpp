#include "integrations/kea/CEvaluatorModule.h"

#include <unistd.h>

#include "class_a/standard/Fail.h"

namespace qvt::kea {

namespace {

constexpr const char* kOperation = "CEvaluatorModule::CEvaluatorModule";

// readable: path with "./" in front of a bare name, which dlopen would
// otherwise look for on the library path.
std::string readable(const std::string& path) {
  const std::string usable = path.find('/') == std::string::npos ? "./" + path : path;
  if (::access(usable.c_str(), R_OK) != 0) {
    failSystem(CRaiser::none(), "kea-hook", kOperation, {"Cannot read the module '%1'.", path});
  }
  return usable;
}

}  // namespace

CEvaluatorModule::CEvaluatorModule(CIHostContext& host, const std::string& module,
                                   const std::string& systemBus)
    : loader_(host) {
  loader_.start({readable(systemBus), readable(module)});
  CPlugin* const plugin = loader_.find("CIDHCPEvalFactory");
  if (plugin == nullptr) {
    fail(CRaiser::of(*this), "kea-hook", kOperation,
         {"The evaluator module '%1' did not start.", module},
         "No loaded plugin offers 'CIDHCPEvalFactory'.");
  }
  factory_ = static_cast<CIDHCPEvalFactory*>(plugin);
}

CEvaluatorModule::~CEvaluatorModule() {
  loader_.shutdown();
}

}  // namespace qvt::kea
