// dhcp-eval-host: loads the plugin modules into the reference host, shows
// each plugin and every life-cycle step, then shuts down.
//
//   dhcp-eval-host                          # the modules built next to it
//   dhcp-eval-host --config host.conf       # the modules of a config file
//   dhcp-eval-host a.so b.so                # these modules, in this order
//   dhcp-eval-host --log-levels error,info  # fewer messages
//
// Without modules on the command line or in the config file it loads
// system_bus.so and dhcp_eval.so from the installed module directory
// (../lib/dhcp_eval/ relative to its own directory) when they are there, else from
// ../host/system_bus/ and ../class_b/dhcp/dhcp_eval/ (the build tree). Exit status:
// 0 when every module's plugin ran, 1 when one was unloaded or failed to
// load, 2 for a usage or configuration error.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "class_a/extended/CPlugin.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/Severity.h"
#include "host/CHostConfig.h"
#include "host/CHostController.h"
#include "host/CPluginLoader.h"
#include "host/ProgramPath.h"

namespace {

struct CArguments {
  std::string configFile;
  std::string logLevels;
  std::vector<std::string> modules;
};

void usage() {
  std::cerr << "usage: dhcp-eval-host [--config FILE] [--log-levels LEVELS] [MODULE...]\n";
}

bool parseArguments(int argc, char** argv, CArguments& arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if ((argument == "--config" || argument == "--log-levels") && i + 1 < argc) {
      (argument == "--config" ? arguments.configFile : arguments.logLevels) = argv[++i];
    } else if (argument.empty() || argument[0] == '-') {
      return false;
    } else {
      arguments.modules.push_back(argument);
    }
  }
  return true;
}

std::vector<std::string> defaultModules() {
  const std::filesystem::path directory = qvt::host::programDirectory();
  const std::filesystem::path installed =
      qvt::host::installedModuleDirectory(qvt::host::programDirectory());
  if (std::filesystem::exists(installed / "dhcp_eval.so")) {
    return {(installed / "system_bus.so").lexically_normal().string(),
            (installed / "dhcp_eval.so").lexically_normal().string()};
  }
  return {(directory / "../host/system_bus/system_bus.so").lexically_normal().string(),
          (directory / "../class_b/dhcp/dhcp_eval/dhcp_eval.so").lexically_normal().string()};
}

int runHost(const CArguments& arguments) {
  qvt::host::CHostConfig config;
  if (!arguments.configFile.empty()) config = qvt::host::CHostConfig::read(arguments.configFile);
  if (!arguments.logLevels.empty()) {
    config.setLogLevels(qvt::CException::severityMask(arguments.logLevels));
  } else if (arguments.configFile.empty()) {
    config.setLogLevels(qvt::kSeverityAll);
  }
  std::vector<std::string> modules = arguments.modules;
  if (modules.empty()) modules = config.pluginModules();
  if (modules.empty()) modules = defaultModules();

  // Log lines share stdout with the listing so that they appear in order.
  qvt::host::CHostController controller(config, std::cout);
  qvt::host::CPluginLoader loader(controller);
  loader.start(modules);
  const qvt::CPluginList plugins = loader.plugins();
  std::cout << "Running plugins: " << plugins.size() << " of " << modules.size() << "\n";
  for (const qvt::CPlugin* plugin : plugins) {
    std::cout << "  name '" << plugin->name() << "', types '" << plugin->types()
              << "', dependencies '" << plugin->dependencies() << "', version " << plugin->version()
              << ", run order " << static_cast<int>(plugin->runOrder()) << "\n";
  }
  std::cout << "Shutting down.\n";
  loader.shutdown();
  return plugins.size() == modules.size() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  CArguments arguments;
  if (!parseArguments(argc, argv, arguments)) {
    usage();
    return 2;
  }
  try {
    return runHost(arguments);
  } catch (const qvt::CException& e) {
    std::cerr << "dhcp-eval-host: " << e.text() << "\n";
    return 2;
  }
}
