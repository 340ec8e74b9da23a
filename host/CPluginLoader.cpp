#include "host/CPluginLoader.h"

#include <algorithm>
#include <exception>
#include <numeric>

#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/Severity.h"

namespace qvt::host {

namespace {

const char* const kModule = "host";

// The pieces of a comma-separated list, trimmed of spaces; empty pieces are
// left out.
std::vector<std::string> splitList(const std::string& list) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    std::size_t first = start;
    std::size_t last = comma;
    while (first < last && list[first] == ' ')
      ++first;
    while (last > first && list[last - 1] == ' ')
      --last;
    if (last > first) pieces.push_back(list.substr(first, last - first));
    start = comma + 1;
  }
  return pieces;
}

}  // namespace

CPluginLoader::CPluginLoader(CIHostContext& host) : host_(host) {}

CPluginLoader::~CPluginLoader() {
  shutdown();
}

void CPluginLoader::start(const std::vector<std::string>& modulePaths) {
  for (const std::string& path : modulePaths)
    _load(path);
  _prepare();
  _resolveDependencies();
  _initialize();
  _configure();
  _run();
}

void CPluginLoader::reconfigure() {
  _callEach(
      "reconfigure", [](CPlugin& p) { p.reconfigure(); }, "Reconfigured plugin '%1'.");
}

void CPluginLoader::shutdown() {
  for (auto it = runSequence_.rbegin(); it != runSequence_.rend(); ++it) {
    CEntry& entry = entries_[*it];
    if (!entry.module || entry.stage != CStage::kRunning) continue;
    entry.stage = CStage::kInitialized;
    if (_call(entry, "stop", [](CPlugin& p) { p.stop(); })) {
      _log({"Stopped plugin '%1'.", entry.name}, kSeverityDebug);
    }
  }
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (!it->module || it->stage != CStage::kInitialized) continue;
    it->stage = CStage::kLoaded;
    if (_call(*it, "finalize", [](CPlugin& p) { p.finalize(); })) {
      _log({"Finalized plugin '%1'.", it->name}, kSeverityDebug);
    }
  }
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->module) _unload(*it);
  }
  entries_.clear();
  runSequence_.clear();
}

CPluginList CPluginLoader::plugins() const {
  CPluginList list;
  for (const CEntry& entry : entries_) {
    if (entry.module) list.push_back(&entry.module->plugin());
  }
  return list;
}

CPlugin* CPluginLoader::find(const std::string& typeName) const {
  for (const CEntry& entry : entries_) {
    if (entry.module && entry.module->plugin().isA(typeName)) return &entry.module->plugin();
  }
  return nullptr;
}

void CPluginLoader::_load(const std::string& path) {
  CEntry entry;
  try {
    entry.module = std::make_unique<CPluginModule>(path, &host_);
    const CPlugin& plugin = entry.module->plugin();
    entry.name = plugin.name();
    _log({"Loaded plugin '%1' from '%2' (types '%3', dependencies '%4', version %5).", entry.name,
          path, plugin.types(), plugin.dependencies(), plugin.version()},
         kSeverityDebug);
    if (plugin.version() != kPluginInterfaceVersion) {
      _log({"Plugin '%1' was built for plugin interface version %2; this host supports version %3.",
            entry.name, plugin.version(), kPluginInterfaceVersion},
           kSeverityError);
      _unload(entry);
      return;
    }
  } catch (const CException& e) {
    _log(e.text(), kSeverityError);
    return;
  } catch (const std::exception& e) {
    _log({"Cannot load plugin module '%1'. (%2)", path, e.what()}, kSeverityError);
    return;
  }
  entries_.push_back(std::move(entry));
}

void CPluginLoader::_prepare() {
  // Every plugin sees the loaded plugins minus those dropped so far.
  CPluginList loaded = plugins();
  std::vector<CEntry*> dropped;
  for (CEntry& entry : entries_) {
    if (!entry.module) continue;
    bool keep = false;
    _call(entry, "prepare", [&](CPlugin& p) { keep = p.prepare(loaded); });
    if (keep) {
      _log({"Prepared plugin '%1'.", entry.name}, kSeverityDebug);
      continue;
    }
    _log({"Plugin '%1' dropped itself while preparing.", entry.name}, kSeverityDebug);
    loaded.erase(std::find(loaded.begin(), loaded.end(), &entry.module->plugin()));
    dropped.push_back(&entry);
  }
  for (CEntry* entry : dropped)
    _unload(*entry);
}

void CPluginLoader::_initialize() {
  for (CEntry& entry : entries_) {
    if (!entry.module) continue;
    std::int32_t result = -1;
    const bool called = _call(entry, "initialize", [&](CPlugin& p) { result = p.initialize(); });
    if (called && result == 0) {
      entry.stage = CStage::kInitialized;
      _log({"Initialized plugin '%1'.", entry.name}, kSeverityDebug);
      continue;
    }
    if (result < 0) _log({"Failed to initialize plugin '%1'.", entry.name}, kSeverityError);
    _unload(entry);
    _resolveDependencies();
  }
}

void CPluginLoader::_configure() {
  _callEach(
      "configure", [](CPlugin& p) { p.configure(); }, "Configured plugin '%1'.");
}

void CPluginLoader::_callEach(const char* operation, const std::function<void(CPlugin&)>& step,
                              const char* done) {
  for (CEntry& entry : entries_) {
    if (entry.module && _call(entry, operation, step)) _log({done, entry.name}, kSeverityDebug);
  }
}

void CPluginLoader::_run() {
  std::vector<std::size_t> order(entries_.size());
  std::iota(order.begin(), order.end(), 0);
  std::vector<std::uint8_t> keys(entries_.size(), 0);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].module) keys[i] = entries_[i].module->plugin().runOrder();
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  for (const std::size_t index : order) {
    CEntry& entry = entries_[index];
    if (!entry.module) continue;
    std::int32_t result = -1;
    const bool called = _call(entry, "run", [&](CPlugin& p) { result = p.run(); });
    if (called && result == 0) {
      entry.stage = CStage::kRunning;
      runSequence_.push_back(index);
      _log({"Running plugin '%1' (run order %2).", entry.name, keys[index]}, kSeverityDebug);
      continue;
    }
    _log({"Failed to run plugin '%1'. This plugin will be unloaded.", entry.name}, kSeverityError);
    _unload(entry);
    _resolveDependencies();
  }
}

void CPluginLoader::_resolveDependencies() {
  bool changed = true;
  while (changed) {
    changed = false;
    for (CEntry& entry : entries_) {
      if (!entry.module) continue;
      const std::string dependencies = entry.module->plugin().dependencies();
      for (const std::string& dependency : splitList(dependencies)) {
        if (_offered(dependency, entry)) continue;
        _log({"Dependency failure for plugin '%1'. This plugin requires: '%2'.", entry.name,
              dependencies},
             kSeverityError);
        _unload(entry);
        changed = true;
        break;
      }
    }
  }
}

bool CPluginLoader::_offered(const std::string& typeName, const CEntry& except) const {
  for (const CEntry& entry : entries_) {
    if (&entry == &except || !entry.module) continue;
    if (entry.module->plugin().isA(typeName)) return true;
  }
  return false;
}

// Takes the plugin down from wherever it got: a running plugin is stopped and
// an initialized one finalized before it is destroyed.
void CPluginLoader::_unload(CEntry& entry) {
  if (entry.stage == CStage::kRunning) {
    entry.stage = CStage::kInitialized;
    if (_call(entry, "stop", [](CPlugin& p) { p.stop(); })) {
      _log({"Stopped plugin '%1'.", entry.name}, kSeverityDebug);
    }
  }
  if (entry.stage == CStage::kInitialized) {
    entry.stage = CStage::kLoaded;
    if (_call(entry, "finalize", [](CPlugin& p) { p.finalize(); })) {
      _log({"Finalized plugin '%1'.", entry.name}, kSeverityDebug);
    }
  }
  entry.module.reset();
  _log({"Unloaded plugin '%1'.", entry.name}, kSeverityDebug);
}

bool CPluginLoader::_call(CEntry& entry, const char* operation,
                          const std::function<void(CPlugin&)>& step) {
  try {
    step(entry.module->plugin());
    return true;
  } catch (const CException& e) {
    _log({"Plugin '%1' raised an exception in %2: %3", entry.name, operation, e.text()},
         kSeverityError);
  } catch (const std::exception& e) {
    _log({"Plugin '%1' raised an exception in %2: %3", entry.name, operation, e.what()},
         kSeverityError);
  }
  return false;
}

void CPluginLoader::_log(const CMessage& message, std::uint32_t level) const {
  host_.logger().log(message.text(), kModule, level);
}

}  // namespace qvt::host
