#include "host/CPluginLoader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/Severity.h"
#include "class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"
#include "host/CRecordingHost.h"

namespace qvt::host {
namespace {

using Lines = std::vector<std::string>;

std::string testPlugin(const std::string& name) {
  return std::string(TEST_PLUGIN_DIRECTORY) + "/" + name + ".so";
}

Lines names(const CPluginList& plugins) {
  Lines found;
  for (const CPlugin* plugin : plugins)
    found.push_back(plugin->name());
  return found;
}

Lines errors(const CRecordingHost& host) {
  return host.messages("host", kSeverityError);
}
Lines calls(const CRecordingHost& host) {
  return host.messages("test_plugin", kSeverityAll);
}

TEST(CPluginLoaderTest, EvaluatorAloneFailsItsDependency) {
  CRecordingHost host;
  CPluginLoader loader(host);
  loader.start({DHCP_EVAL_MODULE});
  EXPECT_EQ(errors(host), Lines({"Dependency failure for plugin 'Expression Evaluator'. This "
                                 "plugin requires: 'CISystemBusFactory'."}));
  EXPECT_TRUE(loader.plugins().empty());
  EXPECT_EQ(host.messages("host", kSeverityDebug).back(),
            "Unloaded plugin 'Expression Evaluator'.");
}

TEST(CPluginLoaderTest, EvaluatorRunsWithTheSystemBus) {
  CRecordingHost host;
  CPluginLoader loader(host);
  // The evaluator comes first: a dependency may be offered by a later module.
  loader.start({DHCP_EVAL_MODULE, SYSTEM_BUS_MODULE});
  EXPECT_EQ(errors(host), Lines());
  EXPECT_EQ(names(loader.plugins()), Lines({"Expression Evaluator", "System Bus"}));
  CPlugin* plugin = loader.find("CIDHCPEvalFactory");
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->host(), &host);
  EXPECT_NE(plugin->moduleHandle(), nullptr);
  ASSERT_NE(loader.find("CISystemBusFactory"), nullptr);
  EXPECT_EQ(loader.find("CISystemBusFactory")->name(), "System Bus");

  // An exception raised inside the module reaches the host intact.
  CProtocolContext context(&host, "unspecified");
  const auto e = qvt_test::caught(
      [&] { static_cast<CIDHCPEvalFactory*>(plugin)->instance(context, nullptr, nullptr); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->text(), "Cannot create an evaluator instance. (Unknown protocol family.)");
  EXPECT_EQ(e->className(), "qvt::CDHCPEvalFactory*");

  loader.shutdown();
  const Lines trace = host.messages("host", kSeverityDebug);
  const Lines tail(trace.end() - 6, trace.end());
  EXPECT_EQ(tail,
            Lines({"Stopped plugin 'System Bus'.", "Stopped plugin 'Expression Evaluator'.",
                   "Finalized plugin 'System Bus'.", "Finalized plugin 'Expression Evaluator'.",
                   "Unloaded plugin 'System Bus'.", "Unloaded plugin 'Expression Evaluator'."}));
  EXPECT_TRUE(loader.plugins().empty());
}

// joined: lines joined by "|".
std::string joined(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += (text.empty() ? "" : "|") + line;
  return text;
}

// CFailureCase: one block of data/plugin_failures.txt, its lines after the
// "> " line as they read with "@" replaced.
struct CFailureCase {
  Lines modules;
  Lines expected;
};

std::vector<CFailureCase> failureCases() {
  std::ifstream in(DHCP_EVAL_SOURCE_DIR "/tests/host/data/plugin_failures.txt");
  std::vector<CFailureCase> cases;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("> ", 0) == 0) {
      cases.emplace_back();
      std::istringstream modules(line.substr(2));
      for (std::string module; modules >> module;)
        cases.back().modules.push_back(testPlugin(module));
    } else if (!line.empty() && line[0] != '#' && !cases.empty()) {
      for (std::size_t at; (at = line.find('@')) != std::string::npos;)
        line.replace(at, 1, TEST_PLUGIN_DIRECTORY);
      cases.back().expected.push_back(line);
    }
  }
  return cases;
}

TEST(CPluginLoaderTest, FailuresUnloadThePlugin) {
  const std::vector<CFailureCase> cases = failureCases();
  ASSERT_EQ(cases.size(), 9u);
  for (const CFailureCase& failure : cases) {
    SCOPED_TRACE(joined(failure.modules));
    CRecordingHost host;
    CPluginLoader loader(host);
    loader.start(failure.modules);
    Lines seen;
    for (const std::string& error : errors(host))
      seen.push_back("error: " + error);
    for (const std::string& call : calls(host))
      seen.push_back("call: " + call);
    if (!loader.plugins().empty()) seen.push_back("loaded: " + joined(names(loader.plugins())));
    EXPECT_EQ(seen, failure.expected);
  }
}

TEST(CPluginLoaderTest, LifeCycleOrder) {
  CRecordingHost host;
  {
    CPluginLoader loader(host);
    // Run orders: Alpha 5, Beta 1 (needs "IAlpha"), Gamma 1.
    loader.start({testPlugin("tp_alpha"), testPlugin("tp_beta"), testPlugin("tp_gamma")});
    loader.reconfigure();
    loader.shutdown();
    loader.shutdown();  // nothing left to do
  }
  EXPECT_EQ(errors(host), Lines());
  // Initialize and configure in load order, run by run order (equal orders
  // in load order), stop in reverse run order, finalize in reverse load order.
  const std::string expected =
      "Alpha prepare Alpha,Beta,Gamma|Beta prepare Alpha,Beta,Gamma|"
      "Gamma prepare Alpha,Beta,Gamma|Alpha initialize|Beta initialize|Gamma initialize|"
      "Alpha configure|Beta configure|Gamma configure|Beta run|Gamma run|Alpha run|"
      "Alpha reconfigure|Beta reconfigure|Gamma reconfigure|Alpha stop|Gamma stop|Beta stop|"
      "Gamma finalize|Beta finalize|Alpha finalize|Gamma destroyed|Beta destroyed|"
      "Alpha destroyed";
  EXPECT_EQ(joined(calls(host)), expected);
}

TEST(CPluginLoaderTest, DestructorShutsDown) {
  CRecordingHost host;
  {
    CPluginLoader loader(host);
    loader.start({testPlugin("tp_gamma")});
  }
  const std::string all = joined(calls(host));
  EXPECT_EQ(all.substr(all.find("|Gamma stop")), "|Gamma stop|Gamma finalize|Gamma destroyed");
}

}  // namespace
}  // namespace qvt::host
