// The plugin modules export exactly their two entry points; everything else
// stays inside the module.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

struct CPipeCloser {
  void operator()(std::FILE* pipe) const { pclose(pipe); }
};

// The names nm lists for path with the given options ("name" is the last
// column of each line).
std::set<std::string> nmSymbols(const std::string& options, const std::string& path) {
  const std::string command = std::string(NM_PROGRAM) + " " + options + " '" + path + "'";
  std::unique_ptr<std::FILE, CPipeCloser> pipe(popen(command.c_str(), "r"));
  std::set<std::string> names;
  if (!pipe) return names;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    std::istringstream fields(line);
    std::string field, last;
    while (fields >> field)
      last = field;
    if (!last.empty()) names.insert(last);
  }
  return names;
}

TEST(ModuleExportsTest, OnlyTheEntryPointsAreExported) {
  const std::set<std::string> expected = {"pluginCreator", "pluginDestroyer"};
  for (const std::string path : {DHCP_EVAL_MODULE, SYSTEM_BUS_MODULE}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(nmSymbols("-D --defined-only", path), expected);
  }
}

TEST(ModuleExportsTest, InternalSymbolsCannotBeFound) {
  // CDHCPEvalFactory::instance is in the module's own symbol table but not
  // among its dynamic symbols.
  const std::string internal =
      "_ZN3qvt16CDHCPEvalFactory8instanceER16CProtocolContextP12CNodeContextP14COutputContext";
  ASSERT_EQ(nmSymbols("--defined-only", DHCP_EVAL_MODULE).count(internal), 1u);
  std::unique_ptr<void, int (*)(void*)> handle(dlopen(DHCP_EVAL_MODULE, RTLD_NOW | RTLD_LOCAL),
                                               dlclose);
  ASSERT_NE(handle, nullptr) << dlerror();
  EXPECT_NE(dlsym(handle.get(), "pluginCreator"), nullptr);
  EXPECT_NE(dlsym(handle.get(), "pluginDestroyer"), nullptr);
  EXPECT_EQ(dlsym(handle.get(), internal.c_str()), nullptr);
}

}  // namespace
