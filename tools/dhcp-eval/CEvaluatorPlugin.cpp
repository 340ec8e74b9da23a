#include "tools/dhcp-eval/CEvaluatorPlugin.h"

#include <unistd.h>

#include <filesystem>

#include "class_a/standard/Fail.h"
#include "host/ProgramPath.h"

namespace qvt::tool {

namespace {

constexpr const char* kOperation = "CEvaluatorPlugin::CEvaluatorPlugin";
constexpr const char* kEvaluatorFile = "dhcp_eval.so";
constexpr const char* kSystemBusFile = "system_bus.so";

std::string joined(const std::string& directory, const std::string& relative) {
  return (std::filesystem::path(directory) / relative).lexically_normal().string();
}

// firstExisting: the first readable file of candidates, or empty.
std::string firstExisting(const std::vector<std::string>& candidates) {
  for (const std::string& candidate : candidates) {
    if (::access(candidate.c_str(), R_OK) == 0 && !std::filesystem::is_directory(candidate)) {
      return candidate;
    }
  }
  return std::string();
}

std::string listed(const std::vector<std::string>& candidates) {
  std::string text;
  for (const std::string& candidate : candidates)
    text += (text.empty() ? "" : ", ") + candidate;
  return text;
}

}  // namespace

std::vector<std::string> CEvaluatorPlugin::evaluatorCandidates(
    const std::string& programDirectory) {
  return {joined(programDirectory, kEvaluatorFile),
          joined(host::installedModuleDirectory(programDirectory), kEvaluatorFile),
          joined(programDirectory, std::string("../class_b/dhcp/dhcp_eval/") + kEvaluatorFile)};
}

std::vector<std::string> CEvaluatorPlugin::systemBusCandidates(const std::string& programDirectory,
                                                               const std::string& evaluatorModule) {
  const std::string moduleDirectory = std::filesystem::path(evaluatorModule).parent_path().string();
  return {joined(moduleDirectory.empty() ? "." : moduleDirectory, kSystemBusFile),
          joined(programDirectory, kSystemBusFile),
          joined(host::installedModuleDirectory(programDirectory), kSystemBusFile),
          joined(programDirectory, std::string("../host/system_bus/") + kSystemBusFile)};
}

CEvaluatorPlugin::CEvaluatorPlugin(CIHostContext& host, const std::string& module) : loader_(host) {
  const std::string program = host::programDirectory();
  modulePath_ = module;
  if (modulePath_.empty()) {
    const std::vector<std::string> candidates = evaluatorCandidates(program);
    modulePath_ = firstExisting(candidates);
    if (modulePath_.empty()) {
      fail(CRaiser::of(*this), "dhcp-eval", kOperation,
           {"Cannot find the evaluator module '%1'.", kEvaluatorFile},
           {"Looked in: %1.", listed(candidates)});
    }
  } else if (modulePath_.find('/') == std::string::npos) {
    // A bare name would be searched for on the library path by dlopen.
    modulePath_ = "./" + modulePath_;
  }
  const std::vector<std::string> busCandidates = systemBusCandidates(program, modulePath_);
  const std::string systemBus = firstExisting(busCandidates);
  if (systemBus.empty()) {
    fail(CRaiser::of(*this), "dhcp-eval", kOperation,
         {"Cannot find the system bus module '%1'.", kSystemBusFile},
         {"Looked in: %1.", listed(busCandidates)});
  }
  loader_.start({systemBus, modulePath_});
  // The plugin that offers the interface is one: the host's contract, as
  // in a server.
  CPlugin* const plugin = loader_.find("CIDHCPEvalFactory");
  if (plugin == nullptr) {
    fail(CRaiser::of(*this), "dhcp-eval", kOperation,
         {"The evaluator module '%1' did not start.", modulePath_},
         "No loaded plugin offers 'CIDHCPEvalFactory'.");
  }
  factory_ = static_cast<CIDHCPEvalFactory*>(plugin);
}

CEvaluatorPlugin::~CEvaluatorPlugin() {
  loader_.shutdown();
}

}  // namespace qvt::tool
