// The two functions every plugin module exports, under these plain names.
//
// A module defines both (and nothing else visible); a host finds them with
// dlsym through the names below:
//
//   auto create = reinterpret_cast<qvt::CPluginCreator>(dlsym(handle, qvt::kPluginCreatorName));
#pragma once

#include "class_a/extended/CPlugin.h"

extern "C" {

// pluginCreator: initialises ACE (counted) and creates the module's plugin
// object, which the caller owns until pluginDestroyer; null when it cannot be
// created, in which case the caller still owes one pluginDestroyer(nullptr).
__attribute__((visibility("default"))) qvt::CPlugin* pluginCreator();

// pluginDestroyer: deletes plugin (null is allowed) and then finalises ACE
// once; returns ACE::fini's result (0 for the last finalisation, 1 for an
// earlier one, -1 when ACE was not initialised).
__attribute__((visibility("default"))) int pluginDestroyer(qvt::CPlugin* plugin);

}  // extern "C"

namespace qvt {

using CPluginCreator = CPlugin* (*)();
using CPluginDestroyer = int (*)(CPlugin*);

constexpr const char* kPluginCreatorName = "pluginCreator";
constexpr const char* kPluginDestroyerName = "pluginDestroyer";

}  // namespace qvt
