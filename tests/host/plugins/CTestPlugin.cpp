// A plugin for the loader tests. Its answers come from compile definitions
// (one module per behaviour), and it reports every call it receives through
// the host's logger, module "test_plugin", as "<name> <operation>".
#include <stdexcept>
#include <string>

#include "class_a/extended/PluginExports.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/Severity.h"

namespace {

class CTestPlugin : public qvt::CPlugin {
 public:
  ~CTestPlugin() override { _record("destroyed"); }

  bool prepare(const qvt::CPluginList& plugins) override {
    std::string names;
    for (const qvt::CPlugin* plugin : plugins)
      names += (names.empty() ? "" : ",") + plugin->name();
    _record("prepare " + names);
    return TEST_PLUGIN_PREPARE;
  }
  std::int32_t initialize() override {
    _record("initialize");
    if (TEST_PLUGIN_INITIALIZE_THROWS) throw std::runtime_error("boom");
    return TEST_PLUGIN_INITIALIZE;
  }
  void finalize() override { _record("finalize"); }
  std::uint8_t runOrder() const override { return TEST_PLUGIN_RUN_ORDER; }
  std::int32_t run() override {
    _record("run");
    return TEST_PLUGIN_RUN;
  }
  void stop() override { _record("stop"); }
  void configure() override { _record("configure"); }
  void reconfigure() override { _record("reconfigure"); }
  std::string name() const override { return TEST_PLUGIN_NAME; }
  std::int32_t version() const override { return TEST_PLUGIN_VERSION; }
  std::string types() const override { return TEST_PLUGIN_TYPES; }
  std::string dependencies() const override { return TEST_PLUGIN_DEPENDENCIES; }

 private:
  void _record(const std::string& operation) const {
    if (host() != nullptr)
      host()->logger().log(name() + " " + operation, "test_plugin", qvt::kSeverityDebug);
  }
};

}  // namespace

qvt::CPlugin* pluginCreator() {
  return new CTestPlugin;
}

int pluginDestroyer(qvt::CPlugin* plugin) {
  delete plugin;
  return 0;
}
