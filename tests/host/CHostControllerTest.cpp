#include "host/CHostController.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/Severity.h"

namespace qvt::host {
namespace {

const char* const kDefaultKeyWarning =
    "warning: host: The config file does not define a shared server key "
    "('shared_server_key_file'). A default value will be used.\n";

std::filesystem::path testDirectory() {
  return std::filesystem::temp_directory_path() / ("host_test_" + std::to_string(getpid()));
}

// A file of the given bytes in a directory of this test process.
std::string writeFile(const std::string& name, const std::string& bytes) {
  const std::filesystem::path directory = testDirectory();
  std::filesystem::create_directories(directory);
  const std::string path = (directory / name).string();
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

CHostConfig keyConfig(const std::string& path) {
  CHostConfig config;
  config.setSharedServerKeyFile(path);
  return config;
}

class CHostControllerTest : public testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(testDirectory()); }
};

TEST_F(CHostControllerTest, KeyIsTheRawFile) {
  const std::string bytes("\x00\xff key\n", 7);
  std::ostringstream log;
  CHostController controller(keyConfig(writeFile("raw.key", bytes)), log);
  EXPECT_EQ(controller.sharedServerKey(), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  EXPECT_EQ(log.str(), "");
}

TEST_F(CHostControllerTest, UnusableKeyFiles) {
  const std::string empty = writeFile("empty.key", "");
  const std::string large =
      writeFile("large.key", std::string(CHostController::kMaxKeyFileSize + 1, 'k'));
  const std::string missing = writeFile("x", "") + ".missing";
  const std::vector<std::pair<std::string, std::string>> rows = {
      {empty, "The file is empty."},
      {large, "The file is larger than 65536 bytes."},
      {missing, "No such file or directory"},
      {std::filesystem::path(empty).parent_path().string(), "Is a directory"},
  };
  for (const auto& [path, reason] : rows) {
    SCOPED_TRACE(path);
    std::ostringstream log;
    EXPECT_EQ(qvt_test::errorWhere([&, &path = path] { CHostController(keyConfig(path), log); }),
              "CHostController::sharedServerKey: Cannot read shared server key file '" + path +
                  "'. (" + reason + ")");
  }
}

TEST_F(CHostControllerTest, DefaultKeyIsRandomOncePerProcess) {
  std::ostringstream firstLog;
  CHostController first(CHostConfig(), firstLog);
  EXPECT_EQ(firstLog.str(), kDefaultKeyWarning);
  const std::vector<std::uint8_t> key = first.sharedServerKey();
  EXPECT_EQ(key.size(), 56u);
  EXPECT_NE(key, std::vector<std::uint8_t>(56, 0));
  std::ostringstream secondLog;
  CHostController second(CHostConfig(), secondLog);
  EXPECT_EQ(second.sharedServerKey(), key);
}

TEST_F(CHostControllerTest, LogLinesAndLevels) {
  CHostConfig config;
  config.setLogLevels(kSeverityError | kSeverityAudit);
  std::ostringstream log;
  CHostController controller(config, log);
  CILogger& logger = controller.logger();
  logger.log("kept", "dhcp_eval", kSeverityAudit);
  logger.log("dropped", "dhcp_eval", kSeverityInfo);
  logger.log("failed", "host", kSeverityError);
  // The default-key warning is not among the levels either.
  EXPECT_EQ(log.str(), "audit: dhcp_eval: kept\nerror: host: failed\n");
}

}  // namespace
}  // namespace qvt::host
