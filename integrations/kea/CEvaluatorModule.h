// CEvaluatorModule: the evaluator module inside Kea, loaded the way the
// reference host loads it: the host's plugin loader loads the system bus
// module (which offers "CISystemBusFactory", the evaluator plugin's
// dependency) and the evaluator module (dhcp_eval.so), drives both to
// running, and the plugin that offers "CIDHCPEvalFactory" is the factory:
//
//   CEvaluatorModule module(host, "/usr/lib/dhcp_eval/dhcp_eval.so",
//                           "/usr/lib/dhcp_eval/system_bus.so");
//   module.factory().instance(context, &node, &reply);
//
// The loader logs through the host (so into Kea's log).
#pragma once

#include <string>

#include "class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h"
#include "host/CPluginLoader.h"

namespace qvt::kea {

class CEvaluatorModule {
 public:
  // CEvaluatorModule: loads and starts both modules for host (which must
  // outlive this object). Raises (module "kea-hook", operation
  // "CEvaluatorModule::CEvaluatorModule") "Cannot read the module '%1'."
  // with the system's reason, and "The evaluator module '%1' did not
  // start." with the reason "No loaded plugin offers 'CIDHCPEvalFactory'."
  // (the loader logged why).
  CEvaluatorModule(CIHostContext& host, const std::string& module, const std::string& systemBus);
  CEvaluatorModule(const CEvaluatorModule&) = delete;
  CEvaluatorModule& operator=(const CEvaluatorModule&) = delete;
  // Stops and unloads both modules.
  ~CEvaluatorModule();

  CIDHCPEvalFactory& factory() const { return *factory_; }

 private:
  host::CPluginLoader loader_;
  CIDHCPEvalFactory* factory_ = nullptr;
};

}  // namespace qvt::kea
