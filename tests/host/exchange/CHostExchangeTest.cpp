#include "host/exchange/CHostExchange.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestSupport.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"
#include "host/CDhcp4Decoder.h"
#include "host/CHostOptionFactory.h"
#include "host/COptionDictionary.h"
#include "host/CRecordingHost.h"
#include "host/CVendorFile.h"
#include "host/PayloadBuilder.h"
#include "host/exchange/CHostServer.h"

namespace qvt::host {
namespace {

using test::Bytes;
using test::cat;
using test::option4;
using test::text;

// dhcp4: a DHCPv4 message of type from 02:00:5e:10:00:07 with vendor class
// "docsis3.0:", offering yiaddr (for a reply).
Bytes dhcp4(std::uint8_t type, const Bytes& yiaddr = {0, 0, 0, 0}) {
  Bytes header(236, 0);
  header[0] = type == 2 ? 2 : 1;
  header[1] = 1;
  header[2] = 6;
  for (std::size_t i = 0; i < 4; ++i)
    header[16 + i] = yiaddr[i];
  const Bytes mac = {0x02, 0x00, 0x5e, 0x10, 0x00, 0x07};
  std::copy(mac.begin(), mac.end(), header.begin() + 28);
  return cat({header,
              {0x63, 0x82, 0x53, 0x63},
              option4(53, {type}),
              option4(60, text("docsis3.0:")),
              {255}});
}

class CHostExchangeTest : public testing::Test {
 protected:
  CHostExchangeTest() {
    CVendorFile vendors;
    vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
    server_ = std::make_unique<CHostServer>(vendors);
    node_.serverAddress = CIPAddress("10.0.0.1");
    node_.deviceId = CHexStore("0A-0B");
    node_.accountName = "acme";
  }

  std::unique_ptr<CHostExchange> exchange(const std::string& rules = std::string(),
                                          CGeneralPtr<COption> reply = CGeneralPtr<COption>()) {
    CHostServices services{&host_, &factory_, server_.get(), nullptr, nullptr};
    if (!rules.empty()) {
      services.rules =
          std::make_shared<const CProvisioningRules>(CProvisioningRules::parse(rules, "r.txt"));
    }
    return std::make_unique<CHostExchange>(services, CProtocolFamily(4),
                                           CDhcp4Decoder::shipped().decode(dhcp4(1)),
                                           reply ? reply : makeMessageRoot(4), node_);
  }

  static std::string run(CHostExchange& exchange, const std::string& expression) {
    CGeneralPtr<CExpEval> evaluator = exchange.evaluator();
    CVariant value;
    try {
      evaluator->execute(value, evaluator->compile(expression));
    } catch (const CException& e) {
      return "error: " + e.text();
    }
    return value.string();
  }

  CRecordingHost host_;
  CDHCPEvalFactory factory_;
  std::unique_ptr<CHostServer> server_;
  CNodeSettings node_;
};

TEST_F(CHostExchangeTest, EvaluatorsReadTheMessagesAndTheNode) {
  const std::unique_ptr<CHostExchange> ex =
      exchange("", CDhcp4Decoder::shipped().decode(dhcp4(2, {10, 1, 0, 9})));
  EXPECT_EQ(ex->protocolContext().protocolFamily().code(), 4u);
  EXPECT_EQ(ex->protocolContext().hostContext(), &host_);
  EXPECT_EQ(ex->protocolContext().keyValueStore(), nullptr);
  EXPECT_EQ(run(*ex, "$HWADDR"), "02-00-5E-10-00-07");
  EXPECT_EQ(run(*ex, "$IS_DISCOVER"), "true");
  EXPECT_EQ(run(*ex, "$OUTP.YIADDR"), "10.1.0.9");
  EXPECT_EQ(run(*ex, "$SERVER.IP"), "10.0.0.1");
  EXPECT_EQ(run(*ex, "$DEVICE.ID"), "0A-0B");
  EXPECT_EQ(run(*ex, "$PROV.ACCNAME"), "acme");
  EXPECT_EQ(run(*ex, "$DEVICE.VENDORID"), "4491");
}

TEST_F(CHostExchangeTest, RuleExpressionsReadTheSameExchange) {
  const std::unique_ptr<CHostExchange> ex = exchange(
      "7 = 10.1.0.0\n7 = [$CM ? ('cm:' + $PROV.ACCNAME) : 'cpe']\n8 = [$PROV.RULE(7)]\n"
      "1 = [$PROV.RULE(2)]\n2 = [$PROV.RULE(1) + 1]\n");
  EXPECT_EQ(run(*ex, "$PROV.RULE(7)"), "cm:acme");
  EXPECT_EQ(run(*ex, "$PROV.RULE(8)"), "cm:acme");
  EXPECT_EQ(run(*ex, "$PROV.RULE(9)"),
            "error: Cannot evaluate provisioning rule 9. (The rule is not defined in 'r.txt'.)");
  // Rules that call each other end with an error, not in endless recursion.
  EXPECT_EQ(run(*ex, "$PROV.RULE(1)"),
            "error: Cannot evaluate provisioning rule 1. (The rule reaches itself (1 -> 2 -> 1).)");
}

TEST_F(CHostExchangeTest, PersistFlagBelongsToTheExchange) {
  const std::unique_ptr<CHostExchange> first = exchange();
  const std::unique_ptr<CHostExchange> second = exchange();
  EXPECT_EQ(run(*first, "$PROV.ENABLED(true, 5)"), "true");
  EXPECT_TRUE(first->provisioner().persistEnabled());
  EXPECT_FALSE(second->provisioner().persistEnabled());
  // Each call hands out a holder of its own over the same provisioner.
  CGeneralPtr<CIDHCPProvisioner> a = first->protocolContext().provisioner();
  CGeneralPtr<CIDHCPProvisioner> b = first->protocolContext().provisioner();
  EXPECT_NE(a.get(), b.get());
  b->setPersistEnabled(false);
  EXPECT_FALSE(first->provisioner().persistEnabled());
}

TEST_F(CHostExchangeTest, WithoutAFactoryThereIsNoEvaluator) {
  CHostExchange ex(CHostServices{}, CProtocolFamily(6), makeMessageRoot(6), makeMessageRoot(6),
                   node_);
  EXPECT_EQ(qvt_test::errorWhere([&] { ex.evaluator(); }),
            "CHostExchange::evaluator: Cannot create an evaluator instance. (No evaluator factory "
            "is configured.)");
}

}  // namespace
}  // namespace qvt::host
