// CPluginLoader: loads the host's plugin modules and drives their life cycle.
//
// start() takes the configured module paths and, in this order:
//   1. loads every module (CPluginModule); one that cannot be loaded is logged
//      and skipped, one built for another plugin interface version is
//      refused;
//   2. calls prepare(list of the loaded plugins) on each; false drops it;
//   3. resolves dependencies: a plugin needing an interface that no other
//      loaded plugin offers (CPlugin::isA) is logged as
//      "Dependency failure for plugin '%1'. This plugin requires: '%2'." and
//      unloaded, repeatedly until every remaining plugin is satisfied;
//   4. calls initialize on each in load order: negative logs
//      "Failed to initialize plugin '%1'." and unloads, positive unloads
//      silently;
//   5. calls configure on each in load order;
//   6. calls run in ascending runOrder (load order for equal keys): nonzero
//      logs "Failed to run plugin '%1'. This plugin will be unloaded.", then
//      finalizes and unloads it.
// Whenever a plugin goes, the dependencies of the others are resolved again,
// and a plugin that loses one is stopped and finalized as far as it got.
// shutdown() stops the running plugins in reverse run order, finalizes them
// in reverse load order and then unloads them in reverse load order.
//
// An exception leaving a plugin's operation is logged and counts as that
// operation's failure. Messages go to the host's logger with module "host";
// failures at severity error, each life-cycle step at severity debug.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "class_a/extended/CPlugin.h"
#include "class_a/standard/CMessage.h"
#include "host/CPluginModule.h"

namespace qvt {
class CIHostContext;
}

namespace qvt::host {

class CPluginLoader {
 public:
  // A loader whose plugins get host as their host object; logs to
  // host.logger().
  explicit CPluginLoader(CIHostContext& host);
  CPluginLoader(const CPluginLoader&) = delete;
  CPluginLoader& operator=(const CPluginLoader&) = delete;
  // Shuts down whatever is still loaded.
  ~CPluginLoader();

  // start: loads modulePaths and brings their plugins up to running (see
  // above). Raises nothing for a plugin's failure; may be called once only
  // before shutdown().
  void start(const std::vector<std::string>& modulePaths);
  // reconfigure: calls reconfigure on every loaded plugin in load order.
  void reconfigure();
  // shutdown: stop, finalize and unload every loaded plugin; a second call
  // does nothing.
  void shutdown();

  // plugins: the loaded plugins in load order.
  CPluginList plugins() const;
  // find: the first loaded plugin (load order) offering typeName, or null.
  CPlugin* find(const std::string& typeName) const;

 private:
  enum class CStage { kLoaded, kInitialized, kRunning };
  struct CEntry {
    std::unique_ptr<CPluginModule> module;  // null once unloaded
    std::string name;
    CStage stage = CStage::kLoaded;
  };

  void _load(const std::string& path);
  void _prepare();
  void _initialize();
  void _configure();
  void _run();
  void _resolveDependencies();
  bool _offered(const std::string& typeName, const CEntry& except) const;
  void _unload(CEntry& entry);
  // _call: runs step on entry's plugin; an exception is logged and gives false.
  bool _call(CEntry& entry, const char* operation, const std::function<void(CPlugin&)>& step);
  // _callEach: _call for every loaded plugin in load order, logging done
  // ("%1" the plugin's name) at debug level for each that succeeded.
  void _callEach(const char* operation, const std::function<void(CPlugin&)>& step,
                 const char* done);
  void _log(const CMessage& message, std::uint32_t level) const;

  CIHostContext& host_;
  std::vector<CEntry> entries_;           // load order; unloaded entries stay, empty
  std::vector<std::size_t> runSequence_;  // indexes into entries_, in the order they ran
};

}  // namespace qvt::host
