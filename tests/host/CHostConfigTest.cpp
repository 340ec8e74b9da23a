#include "host/CHostConfig.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/Severity.h"

namespace qvt::host {
namespace {

TEST(CHostConfigTest, ReadsSettings) {
  std::istringstream text(
      "# modules\n"
      "\n"
      "  plugin = a.so  \n"
      "plugin=/abs/b.so\n"
      "\t# indented comment\n"
      "shared_server_key_file = keys/server.key\r\n"
      "log_levels = error, debug\n");
  const CHostConfig config = CHostConfig::parse(text, "host.conf", "/etc/dhcp");
  EXPECT_EQ(config.pluginModules(), std::vector<std::string>({"/etc/dhcp/a.so", "/abs/b.so"}));
  EXPECT_EQ(config.sharedServerKeyFile(), "/etc/dhcp/keys/server.key");
  EXPECT_EQ(config.logLevels(), kSeverityError | kSeverityDebug);
}

TEST(CHostConfigTest, Defaults) {
  std::istringstream text("");
  const CHostConfig config = CHostConfig::parse(text, "host.conf", "");
  EXPECT_TRUE(config.pluginModules().empty());
  EXPECT_EQ(config.sharedServerKeyFile(), "");
  EXPECT_EQ(config.logLevels(), kSeverityError | kSeverityWarning | kSeverityInfo);
}

TEST(CHostConfigTest, RefusesBadLines) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"plugin a.so\n", "Line 1 is not of the form key = value."},
      {"# c\nplugins = a.so\n", "Unknown key 'plugins' in line 2."},
      {"shared_server_key_file =\n", "Key 'shared_server_key_file' in line 1 has no value."},
      {"log_levels = *\nlog_levels = error\n",
       "Key 'log_levels' in line 2 is given more than once."},
  };
  for (const auto& [input, reason] : rows) {
    SCOPED_TRACE(input);
    std::istringstream text(input);
    EXPECT_EQ(qvt_test::errorWhere([&] { CHostConfig::parse(text, "host.conf", ""); }),
              "CHostConfig::read: Cannot read configuration file 'host.conf'. (" + reason + ")");
  }
}

TEST(CHostConfigTest, MissingFile) {
  EXPECT_EQ(qvt_test::errorText([] { CHostConfig::read("/nonexistent/host.conf"); }),
            "Cannot open configuration file '/nonexistent/host.conf'. (No such file or "
            "directory)");
}

}  // namespace
}  // namespace qvt::host
