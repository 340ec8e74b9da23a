#include "host/CPluginLoader.h"

#include <gtest/gtest.h>

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

TEST(CPluginLoaderTest, FailuresUnloadThePlugin) {
  struct Row {
    std::string label;
    Lines modules;
    Lines errors;
    Lines calls;      // as the test plugins report them, up to the end of start()
    Lines remaining;  // loaded plugins after start()
  };
  const std::string missing = testPlugin("tp_missing");
  const std::vector<Row> rows = {
      {"negative initialize",
       {"tp_init_negative"},
       {"Failed to initialize plugin 'Init Negative'."},
       {"Init Negative prepare Init Negative", "Init Negative initialize",
        "Init Negative destroyed"},
       {}},
      {"positive initialize unloads silently",
       {"tp_init_positive"},
       {},
       {"Init Positive prepare Init Positive", "Init Positive initialize",
        "Init Positive destroyed"},
       {}},
      {"initialize throws",
       {"tp_init_throws"},
       {"Plugin 'Init Throws' raised an exception in initialize: boom",
        "Failed to initialize plugin 'Init Throws'."},
       {"Init Throws prepare Init Throws", "Init Throws initialize", "Init Throws destroyed"},
       {}},
      {"run fails",
       {"tp_run_fails"},
       {"Failed to run plugin 'Run Fails'. This plugin will be unloaded."},
       {"Run Fails prepare Run Fails", "Run Fails initialize", "Run Fails configure",
        "Run Fails run", "Run Fails finalize", "Run Fails destroyed"},
       {}},
      {"prepare false drops the plugin from the list",
       {"tp_prepare_false", "tp_alpha"},
       {},
       {"Prepare False prepare Prepare False,Alpha", "Alpha prepare Alpha",
        "Prepare False destroyed", "Alpha initialize", "Alpha configure", "Alpha run"},
       {"Alpha"}},
      {"other interface version",
       {"tp_old_version"},
       {"Plugin 'Old Version' was built for plugin interface version 2; this host supports "
        "version 1."},
       {"Old Version destroyed"},
       {}},
      {"a dependency failure cascades",
       {"tp_beta", "tp_needs_beta"},
       {"Dependency failure for plugin 'Beta'. This plugin requires: 'IAlpha'.",
        "Dependency failure for plugin 'Needs Beta'. This plugin requires: ' IBeta, ,IAlpha '."},
       {"Beta prepare Beta,Needs Beta", "Needs Beta prepare Beta,Needs Beta", "Beta destroyed",
        "Needs Beta destroyed"},
       {}},
      {"a dependency lost in initialize finalizes the dependent",
       {"tp_beta", "tp_alpha_init_fails"},
       {"Failed to initialize plugin 'Alpha Init Fails'.",
        "Dependency failure for plugin 'Beta'. This plugin requires: 'IAlpha'."},
       {"Beta prepare Beta,Alpha Init Fails", "Alpha Init Fails prepare Beta,Alpha Init Fails",
        "Beta initialize", "Alpha Init Fails initialize", "Alpha Init Fails destroyed",
        "Beta finalize", "Beta destroyed"},
       {}},
      {"a module that cannot be opened is skipped",
       {missing, "tp_alpha"},
       {"Cannot load plugin module '" + missing + "'. (" + missing +
        ": cannot open shared object file: No such file or directory)"},
       {"Alpha prepare Alpha", "Alpha initialize", "Alpha configure", "Alpha run"},
       {"Alpha"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Lines paths;
    for (const std::string& module : row.modules) {
      paths.push_back(module[0] == '/' ? module : testPlugin(module));
    }
    CRecordingHost host;
    CPluginLoader loader(host);
    loader.start(paths);
    EXPECT_EQ(errors(host), row.errors);
    EXPECT_EQ(calls(host), row.calls);
    EXPECT_EQ(names(loader.plugins()), row.remaining);
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
  std::string called;
  for (const std::string& call : calls(host))
    called += (called.empty() ? "" : "|") + call;
  EXPECT_EQ(called, expected);
}

TEST(CPluginLoaderTest, DestructorShutsDown) {
  CRecordingHost host;
  {
    CPluginLoader loader(host);
    loader.start({testPlugin("tp_gamma")});
  }
  const Lines all = calls(host);
  EXPECT_EQ(Lines(all.end() - 3, all.end()),
            Lines({"Gamma stop", "Gamma finalize", "Gamma destroyed"}));
}

}  // namespace
}  // namespace qvt::host
