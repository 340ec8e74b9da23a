#include "host/CPluginModule.h"

#include <dlfcn.h>

#include <memory>
#include <utility>

#include "class_a/extended/PluginExports.h"
#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

struct CDlCloser {
  void operator()(void* handle) const { dlclose(handle); }
};
using CDlHandle = std::unique_ptr<void, CDlCloser>;

std::string dlErrorText() {
  const char* text = dlerror();
  return text ? text : "Unknown dynamic loader error.";
}

}  // namespace

CPluginModule::CPluginModule(std::string path, CIHostContext* host) : path_(std::move(path)) {
  const CRaiser raiser = CRaiser::of(*this);
  const char* operation = "CPluginModule::CPluginModule";
  CDlHandle handle(dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!handle)
    fail(raiser, "host", operation, {"Cannot load plugin module '%1'.", path_}, dlErrorText());
  // Both functions are looked up now so that a module that could not be
  // unloaded cleanly is never started.
  for (const char* name : {kPluginCreatorName, kPluginDestroyerName}) {
    if (dlsym(handle.get(), name) == nullptr) {
      fail(raiser, "host", operation, {"Cannot load plugin module '%1'.", path_},
           {"The module does not export '%1'.", name});
    }
  }
  const auto create = reinterpret_cast<CPluginCreator>(dlsym(handle.get(), kPluginCreatorName));
  CPlugin* plugin = create();
  if (plugin == nullptr) {
    // pluginCreator initialised ACE before it failed; balance that.
    reinterpret_cast<CPluginDestroyer>(dlsym(handle.get(), kPluginDestroyerName))(nullptr);
    fail(raiser, "host", operation, {"Cannot create the plugin of module '%1'.", path_},
         "The module's pluginCreator returned no object.");
  }
  handle_ = handle.release();
  plugin_ = plugin;
  try {
    plugin_->setHost(host);
    plugin_->setModuleHandle(handle_);
  } catch (...) {
    _unload();
    throw;
  }
}

CPluginModule::~CPluginModule() {
  _unload();
}

void CPluginModule::_unload() noexcept {
  // The handle kept here is the one given to the plugin; it is not asked back
  // from the plugin, which could answer anything.
  const auto destroy = reinterpret_cast<CPluginDestroyer>(dlsym(handle_, kPluginDestroyerName));
  destroy(plugin_);
  dlclose(handle_);
}

}  // namespace qvt::host
