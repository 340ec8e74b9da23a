#include "integrations/kea/CHookWorker.h"

#include <gtest/gtest.h>

#include "KeaTestSupport.h"
#include "TestSupport.h"
#include "host/COptionDictionary.h"
#include "integrations/kea/CEvaluatorModule.h"
#include "integrations/kea/CKeaHost.h"

namespace qvt::kea {
namespace {

// The worker of the hook's tests: the real module, no database or rules.
class CHookWorkerTest : public ::testing::Test {
 protected:
  CHookWorkerTest()
      : host_(std::vector<std::uint8_t>(16, 7)),
        module_(host_, test::moduleSettings().module, test::moduleSettings().systemBusModule) {
    shared_.host = &host_;
    shared_.factory = &module_.factory();
    shared_.dictionaries = COptionDictionary::defaultDirectory();
    shared_.vendorFile = shared_.dictionaries + "/vendors.defs";
  }

  CKeaHost host_;
  CEvaluatorModule module_;
  CHookShared shared_;
};

TEST_F(CHookWorkerTest, ASleepIsRefusedAndTheOtherClassesRun) {
  shared_.classes = {
      {"sleepy", "$USLEEP(3000000) || true"}, {"cm", "$CM"}, {"unknown", "$UNKNOWN()"}};
  CHookWorker worker(shared_);
  const test::Bytes discover = test::discover4("docsis3.0", 1);
  const std::vector<CEvaluation>& outcomes = worker.classify(discover.data(), discover.size(), {});
  ASSERT_EQ(outcomes.size(), 3u);
  EXPECT_EQ(outcomes[0].error.value_or("no error"),
            "Failed to execute function $USLEEP(). (A sleep would stall Kea's packet processing: "
            "$USLEEP is not available in the Kea hook.)");
  EXPECT_TRUE(outcomes[1].member());
  // An unknown value is no member and no failure.
  EXPECT_FALSE(outcomes[2].error.has_value());
  EXPECT_FALSE(outcomes[2].member());
}

TEST_F(CHookWorkerTest, OptionExpressionsCompileWhenTheWorkerIsMade) {
  shared_.options = {{43, "$MID('abc',"}};
  EXPECT_EQ(qvt_test::errorText([&] { CHookWorker worker(shared_); }),
            "Option 43: expression '$MID('abc',' does not compile. (Cannot parse expression "
            "'$MID('abc','. (Mismatched parentheses.))");
}

TEST_F(CHookWorkerTest, ServerAndPeerComeFromTheNodeSettings) {
  shared_.options = {{1, "$SERVER.IP"}, {2, "$OUTP.YIADDR"}, {3, "$HWADDR"}};
  CHookWorker worker(shared_);
  host::CNodeSettings node;
  node.serverAddress = CIPAddress("192.0.2.1");
  isc::dhcp::Pkt4 offer(isc::dhcp::DHCPOFFER, 1);
  offer.setHWAddr(isc::dhcp::HTYPE_ETHER, 6, {0x02, 0, 0, 0, 0, 5});
  offer.setYiaddr(isc::asiolink::IOAddress("192.0.2.60"));
  const std::vector<CEvaluation>& outcomes =
      worker.computeOptions(test::discover4("", 5), test::wire(offer), node);
  EXPECT_EQ(outcomes[0].value.string(), "192.0.2.1");
  EXPECT_EQ(outcomes[1].value.string(), "192.0.2.60");
  EXPECT_EQ(outcomes[2].value.string(), "02-00-00-00-00-05");
}

}  // namespace
}  // namespace qvt::kea
