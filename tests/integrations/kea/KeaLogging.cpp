// Kea's logging must be set up before a logger is used, as the servers do
// at start-up; the hook's messages are added to Kea's dictionary as Kea
// does when it loads a hook library.
#include <gtest/gtest.h>
#include <log/logger_support.h>
#include <log/message_initializer.h>

namespace {

class CKeaLogging : public ::testing::Environment {
 public:
  void SetUp() override {
    isc::log::initLogger("kea-hook-test", isc::log::ERROR);
    isc::log::MessageInitializer::loadDictionary(true);
  }
};

const ::testing::Environment* const kKeaLogging =
    ::testing::AddGlobalTestEnvironment(new CKeaLogging);

}  // namespace
