// The module's two exported functions (contracts in PluginExports.h).
#include "class_a/extended/PluginExports.h"

#include <ace/Init_ACE.h>

#include <new>

#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"

qvt::CPlugin* pluginCreator() {
  ACE::init();
  return new (std::nothrow) qvt::CDHCPEvalFactory;
}

int pluginDestroyer(qvt::CPlugin* plugin) {
  delete plugin;
  return ACE::fini();
}
