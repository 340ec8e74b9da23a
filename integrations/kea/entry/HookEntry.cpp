// The functions Kea looks up in the hook library: the hooks API version,
// load and unload, the multi-threading declaration, and the callouts
// pkt4_receive, pkt4_send, pkt6_receive and pkt6_send (Kea registers those
// of its own family only). No exception leaves any of them.
#include <dhcp/pkt4.h>
#include <dhcp/pkt6.h>
#include <hooks/hooks.h>
#include <hooks/server_hooks.h>

#include <exception>
#include <memory>
#include <string>

#include "class_a/standard/CException.h"
#include "integrations/kea/CKeaHook.h"
#include "integrations/kea/HookMessages.h"

namespace {

using isc::hooks::CalloutHandle;
using isc::hooks::LibraryHandle;
using qvt::kea::CKeaHook;
using qvt::kea::hookLogger;

// The hook of the current configuration; Kea calls load and unload only
// while no packet is being processed.
std::unique_ptr<CKeaHook> theHook;

// serverFamily: 4 in kea-dhcp4, 6 in kea-dhcp6 (each server declares only
// its own hook points).
int serverFamily() {
  return isc::hooks::ServerHooks::getServerHooks().findIndex("pkt4_receive") >= 0 ? 4 : 6;
}

int loadHook(LibraryHandle& handle) {
  theHook.reset();
  try {
    const int family = serverFamily();
    theHook = std::make_unique<CKeaHook>(
        qvt::kea::CHookSettings::parse(handle.getParameters(), family), family);
    hookLogger()
        .info(qvt::kea::kMsgLoaded)
        .arg(theHook->settings().module)
        .arg(theHook->settings().classes.size())
        .arg(theHook->settings().options.size());
    return 0;
  } catch (const qvt::CException& e) {
    hookLogger().error(qvt::kea::kMsgLoadFailed).arg(e.text());
  } catch (const std::exception& e) {
    hookLogger().error(qvt::kea::kMsgLoadFailed).arg(e.what());
  } catch (...) {
    hookLogger().error(qvt::kea::kMsgLoadFailed).arg("An unknown exception was raised.");
  }
  theHook.reset();
  return 1;
}

// guarded: runs action on the hook; an exception is logged (throttled).
template <class Action>
int guarded(const char* callout, Action&& action) {
  CKeaHook* const hook = theHook.get();
  if (hook == nullptr) return 0;
  try {
    action(*hook);
  } catch (const qvt::CException& e) {
    hook->calloutFailed(callout, e.text());
  } catch (const std::exception& e) {
    hook->calloutFailed(callout, e.what());
  } catch (...) {
    hook->calloutFailed(callout, "An unknown exception was raised.");
  }
  return 0;
}

template <class Packet>
int receiveCallout(const char* callout, const char* queryName, CalloutHandle& handle) {
  return guarded(callout, [&](CKeaHook& hook) {
    boost::shared_ptr<Packet> query;
    handle.getArgument(queryName, query);
    if (query) hook.receive(*query);
  });
}

template <class Packet>
int sendCallout(const char* callout, const char* queryName, const char* responseName,
                CalloutHandle& handle) {
  return guarded(callout, [&](CKeaHook& hook) {
    boost::shared_ptr<Packet> query;
    boost::shared_ptr<Packet> response;
    handle.getArgument(queryName, query);
    handle.getArgument(responseName, response);
    if (query && response) hook.send(*query, *response);
  });
}

}  // namespace

extern "C" {
#pragma GCC visibility push(default)

int version() {
  return KEA_HOOKS_VERSION;
}

int multi_threading_compatible() {
  return 1;
}

int load(LibraryHandle& handle) {
  return loadHook(handle);
}

int unload() {
  try {
    const bool loaded = theHook != nullptr;
    theHook.reset();
    if (loaded) hookLogger().info(qvt::kea::kMsgUnloaded);
  } catch (...) {
    // Nothing to be done: the library is going away.
  }
  return 0;
}

int pkt4_receive(CalloutHandle& handle) {
  return receiveCallout<isc::dhcp::Pkt4>("pkt4_receive", "query4", handle);
}

int pkt4_send(CalloutHandle& handle) {
  return sendCallout<isc::dhcp::Pkt4>("pkt4_send", "query4", "response4", handle);
}

int pkt6_receive(CalloutHandle& handle) {
  return receiveCallout<isc::dhcp::Pkt6>("pkt6_receive", "query6", handle);
}

int pkt6_send(CalloutHandle& handle) {
  return sendCallout<isc::dhcp::Pkt6>("pkt6_send", "query6", "response6", handle);
}

#pragma GCC visibility pop
}
