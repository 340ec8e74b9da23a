// CEvaluatorPlugin: the evaluator module, loaded the way a DHCP server loads
// it, and the evaluator factory it offers.
//
// The host's plugin loader (host::CPluginLoader) loads the system bus module
// (system_bus.so, which offers "CISystemBusFactory", the evaluator plugin's
// dependency) and then the evaluator module (dhcp_eval.so), and drives both
// to running; the factory is the plugin that offers "CIDHCPEvalFactory":
//
//   CEvaluatorPlugin plugin(host, "");            // the module is searched for
//   plugin.factory().instance(context, &node, &reply);
//
// Where the modules are searched for (the first file that exists wins):
//   dhcp_eval.so   --module FILE when given; else, relative to the directory
//                  of the program: ./dhcp_eval.so, ../lib/dhcp_eval/dhcp_eval.so
//                  (the installed layout: bin/ and lib/dhcp_eval/, or the
//                  install directories chosen at configure time:
//                  host::installedModuleDirectory), and
//                  ../class_b/dhcp/dhcp_eval/dhcp_eval.so (the build tree)
//   system_bus.so  next to the evaluator module; else ./system_bus.so,
//                  ../lib/dhcp_eval/system_bus.so, ../host/system_bus/system_bus.so
// The loader logs through the host: its errors reach the user as they
// happen; its life-cycle steps are debug messages.
#pragma once

#include <string>
#include <vector>

#include "class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h"
#include "host/CPluginLoader.h"

namespace qvt::tool {

class CEvaluatorPlugin {
 public:
  // CEvaluatorPlugin: loads and starts the modules for host (which must
  // outlive the plugin); module overrides the search for dhcp_eval.so.
  // Raises (module "dhcp-eval", operation "CEvaluatorPlugin::CEvaluatorPlugin")
  // "Cannot find the evaluator module '%1'." with the reason "Looked in:
  // %2." (the places searched), "Cannot find the system bus module '%1'."
  // likewise, and "The evaluator module '%1' did not start." with the reason
  // "No loaded plugin offers 'CIDHCPEvalFactory'." when the loader refused
  // it (its own error was logged).
  CEvaluatorPlugin(CIHostContext& host, const std::string& module);
  CEvaluatorPlugin(const CEvaluatorPlugin&) = delete;
  CEvaluatorPlugin& operator=(const CEvaluatorPlugin&) = delete;
  // Stops and unloads both modules.
  ~CEvaluatorPlugin();

  CIDHCPEvalFactory& factory() const { return *factory_; }
  const std::string& modulePath() const { return modulePath_; }

  // evaluatorCandidates, systemBusCandidates: the places searched, in order,
  // for a program in programDirectory.
  static std::vector<std::string> evaluatorCandidates(const std::string& programDirectory);
  static std::vector<std::string> systemBusCandidates(const std::string& programDirectory,
                                                      const std::string& evaluatorModule);

 private:
  host::CPluginLoader loader_;
  std::string modulePath_;
  CIDHCPEvalFactory* factory_ = nullptr;
};

}  // namespace qvt::tool
