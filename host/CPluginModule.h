// CPluginModule: one loaded plugin library and the plugin object it created.
//
// Loading opens the library, creates its plugin through pluginCreator and
// hands the plugin its host and the library handle. Destroying the module is
// the one way a plugin is unloaded: pluginDestroyer, looked up through the
// library handle, deletes the plugin, and then the library is closed.
//
//   CPluginModule module("/usr/lib/dhcp/dhcp_eval.so", &host);
//   module.plugin().name();  // "Expression Evaluator"
#pragma once

#include <string>

#include "class_a/extended/CPlugin.h"

namespace qvt {
class CIHostContext;
}

namespace qvt::host {

class CPluginModule {
 public:
  // Loads the library at path (dlopen, symbols resolved now), creates its
  // plugin and calls setHost(host) and setModuleHandle. Raises (module
  // "host", operation "CPluginModule::CPluginModule"):
  //   "Cannot load plugin module '%1'." with the loader's reason;
  //   "Cannot load plugin module '%1'." with reason "The module does not
  //     export '%2'." when pluginCreator or pluginDestroyer is missing;
  //   "Cannot create the plugin of module '%1'." with reason "The module's
  //     pluginCreator returned no object." (ACE is balanced and the library
  //     closed before raising).
  CPluginModule(std::string path, CIHostContext* host);
  CPluginModule(const CPluginModule&) = delete;
  CPluginModule& operator=(const CPluginModule&) = delete;
  // Destroys the plugin through the module's pluginDestroyer, then closes the
  // library.
  ~CPluginModule();

  CPlugin& plugin() const { return *plugin_; }
  const std::string& path() const { return path_; }

 private:
  void _unload() noexcept;

  std::string path_;
  void* handle_ = nullptr;
  CPlugin* plugin_ = nullptr;  // owned through the module's pluginDestroyer
};

}  // namespace qvt::host
