// CPlugin: the base class of every plugin object a host loads at run time.
//
// A plugin module exports pluginCreator() and pluginDestroyer(); everything
// else the host reaches through the one plugin object they create and destroy.
// The host identifies the object by name(), by the interfaces it offers
// (types()) and by those it needs from other plugins (dependencies()), and
// drives its life cycle:
//
//   pluginCreator -> setHost -> setModuleHandle -> version check -> prepare
//   -> dependencies resolved -> initialize -> configure -> run
//   ... reconfigure (any number of times) ...
//   stop -> finalize -> pluginDestroyer
//
// The virtual operations keep this declaration order: modules built apart
// from the host rely on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvt {

class CIHostContext;
class CPlugin;

// The plugins a host has just loaded, in load order; valid during the call only.
using CPluginList = std::vector<CPlugin*>;

// The plugin interface version this declaration describes; version() answers it.
constexpr std::int32_t kPluginInterfaceVersion = 1;

class CPlugin {
 public:
  CPlugin() = default;
  CPlugin(const CPlugin&) = delete;
  CPlugin& operator=(const CPlugin&) = delete;
  virtual ~CPlugin();

  // prepare: called once for every freshly loaded plugin with the list of the
  // loaded plugins, before dependencies are resolved; false drops this plugin.
  virtual bool prepare(const CPluginList& plugins) = 0;
  // initialize: called once the dependencies are loaded. 0 keeps the plugin, a
  // negative value is a failure (logged, unloaded), a positive value unloads
  // the plugin without a message.
  virtual std::int32_t initialize() = 0;
  // finalize: called at shutdown after every stop(), and before unloading a
  // plugin whose run() failed.
  virtual void finalize() = 0;
  // runOrder: plugins run in ascending order of this key (load order for
  // equal keys) and stop in the reverse order. Base: 0.
  virtual std::uint8_t runOrder() const;
  // run: starts the plugin's work; nonzero is a failure (logged, finalized,
  // unloaded). Base: 0.
  virtual std::int32_t run();
  // stop: called at shutdown for every running plugin. Base: does nothing.
  virtual void stop();
  // configure: called once every plugin is initialized and before the first
  // run(); the other plugins may be looked up from here on.
  virtual void configure() = 0;
  // reconfigure: called whenever the host has reread its configuration.
  virtual void reconfigure() = 0;
  // name: the plugin's display name, used in every host message about it.
  // Base: "<unnamed>".
  virtual std::string name() const;
  // version: the plugin interface version the module was built against
  // (kPluginInterfaceVersion); a host refuses a plugin of another version.
  virtual std::int32_t version() const = 0;
  // types: comma-separated interface names the plugin offers. Base: "CPlugin".
  virtual std::string types() const;
  // dependencies: comma-separated interface names that some other loaded
  // plugin must offer. Base: empty.
  virtual std::string dependencies() const;
  // isA: true when one piece of types(), split at "," and with spaces trimmed
  // from both ends, equals typeName exactly (case-sensitive; typeName itself
  // is not trimmed).
  virtual bool isA(const std::string& typeName) const;
  // setHost/host: the host object (not owned); null until the host sets it.
  virtual void setHost(CIHostContext* host);
  virtual CIHostContext* host() const;
  // setModuleHandle/moduleHandle: the handle of the library the plugin came
  // from (not owned); the host finds pluginDestroyer and unloads through it.
  virtual void setModuleHandle(void* handle);
  virtual void* moduleHandle() const;

 private:
  CIHostContext* host_ = nullptr;
  void* moduleHandle_ = nullptr;
};

}  // namespace qvt
