// A host built against the installed dhcp_eval: it evaluates an expression
// with an engine of its own, then loads the evaluator module through
// pluginCreator and has the factory make a DHCPv4 evaluator bound to its
// contexts. Prints one line per check and "consumer: ok" at the end; exits 1
// at the first check that fails.
#include <dlfcn.h>

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/extended/PluginExports.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"
#include "class_b/dhcp/dhcp_eval/COutputContext.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"

namespace {

class CHost : public qvt::CIHostContext, public qvt::CILogger {
 public:
  qvt::CILogger& logger() override { return *this; }
  std::vector<std::uint8_t> sharedServerKey() override { return {'c', 'o', 'n', 's', 'u', 'm'}; }
  void log(const std::string& message, const std::string& module, std::uint32_t) override {
    std::cerr << module << ": " << message << '\n';
  }
};

class CContext : public CProtocolContext {
 public:
  explicit CContext(qvt::CIHostContext* host) : CProtocolContext(host, "consumer") {}
  qvt::CProtocolFamily protocolFamily() const override { return qvt::CProtocolFamily(4u); }
};

class CReply : public COutputContext {
 public:
  qvt::CGeneralPtr<qvt::COption> outgoingMessage() const override { return {}; }
};

bool check(const std::string& what, const std::string& got, const std::string& expected) {
  std::cout << what << ": " << got << '\n';
  if (got == expected) return true;
  std::cout << "  expected: " << expected << '\n';
  return false;
}

std::string evaluate(qvt::CExpEval& evaluator, const std::string& text) {
  qvt::CVariant result;
  evaluator.execute(result, evaluator.compile(text));
  return result.string();
}

int run() {
  CHost host;
  qvt::CExpEval engine(&host);
  if (!check("engine", evaluate(engine, "$LEFT('abcdef', 2) + 'x'"), "abx")) return 1;

  void* module = ::dlopen(DHCP_EVAL_MODULE, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    std::cout << "dlopen: " << ::dlerror() << '\n';
    return 1;
  }
  const auto create =
      reinterpret_cast<qvt::CPluginCreator>(::dlsym(module, qvt::kPluginCreatorName));
  const auto destroy =
      reinterpret_cast<qvt::CPluginDestroyer>(::dlsym(module, qvt::kPluginDestroyerName));
  if (create == nullptr || destroy == nullptr) {
    std::cout << "the module lacks its entry points\n";
    return 1;
  }
  qvt::CPlugin* const plugin = create();
  plugin->setHost(&host);
  plugin->setModuleHandle(module);
  bool ok = check("plugin", plugin->name(), "Expression Evaluator") &&
            check("factory", plugin->isA("CIDHCPEvalFactory") ? "yes" : "no", "yes");
  if (ok) {
    CContext context(&host);
    CNodeContext node(nullptr, {}, {}, qvt::CIPAddress("10.0.0.1"), qvt::CIPAddress("10.0.0.2"));
    CReply reply;
    auto& factory = static_cast<qvt::CIDHCPEvalFactory&>(*plugin);
    qvt::CGeneralPtr<qvt::CExpEval> evaluator = factory.instance(context, &node, &reply);
    ok = check("DHCPv4 evaluator", evaluator->hasFunction("HWADDR") ? "HWADDR" : "-", "HWADDR") &&
         check("$SERVER.IP", evaluate(*evaluator, "$SERVER.IP"), "10.0.0.1") &&
         check("cipher", evaluate(*evaluator, "$SDECRYPT($SENCRYPT('x'))"), "x");
  }
  destroy(plugin);
  ::dlclose(module);
  if (!ok) return 1;
  std::cout << "consumer: ok\n";
  return 0;
}

}  // namespace

int main() {
  try {
    return run();
  } catch (const qvt::CException& e) {
    std::cout << "consumer: " << e.text() << '\n';
  }
  return 1;
}
