// The system bus module's two exported functions (contracts in
// PluginExports.h).
#include "class_a/extended/PluginExports.h"

#include <ace/Init_ACE.h>

#include <new>

#include "host/system_bus/CSystemBusFactory.h"

qvt::CPlugin* pluginCreator() {
  ACE::init();
  return new (std::nothrow) qvt::host::CSystemBusFactory;
}

int pluginDestroyer(qvt::CPlugin* plugin) {
  delete plugin;
  return ACE::fini();
}
