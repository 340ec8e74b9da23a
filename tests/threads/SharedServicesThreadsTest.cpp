// Evaluators on several threads, as a server runs them on every core: one
// factory, server object, key-value store and rule set serve every thread,
// each thread makes its own exchanges and evaluators, and a writer keeps
// changing other records. Every value must be the one a single thread gets.
// scripts/test-tsan.sh runs these (label "threads") under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "KeyValueTestStores.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"
#include "host/CCaptureReader.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/CHexPayload.h"
#include "host/CHostOptionFactory.h"
#include "host/COptionDictionary.h"
#include "host/CVendorFile.h"
#include "host/exchange/CHostExchange.h"
#include "host/exchange/CHostServer.h"

namespace qvt::host {
namespace {

using qvt_test::CStoreKind;
using qvt_test::CStoreMaker;
using qvt_test::CTestDatabase;

constexpr int kThreads = 4;
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kRounds = 40;
#else
constexpr int kRounds = 200;
#endif

// CSharedHost: the host object every evaluator of every thread asks for the
// key and the logger.
class CSharedHost : public CIHostContext, public CILogger {
 public:
  CILogger& logger() override { return *this; }
  std::vector<std::uint8_t> sharedServerKey() override { return {'k', 'e', 'y'}; }
  void log(const std::string&, const std::string&, std::uint32_t) override {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++messages_;
  }

 private:
  std::mutex mutex_;
  int messages_ = 0;
};

std::string example(const std::string& name) {
  return std::string(DHCP_EVAL_SOURCE_DIR) + "/examples/" + name;
}

// firstPacket: the payload of the first DHCP message of a capture.
std::vector<unsigned char> firstPacket(const std::string& name) {
  CCaptureReader capture(example(name));
  CCapturedPacket packet;
  capture.next(packet);
  return packet.payload;
}

// CFamily: a message of one family and the expressions run on it.
struct CFamily {
  int family;
  std::vector<unsigned char> payload;
  std::vector<std::string> expressions;
};

const std::vector<CFamily>& families() {
  static const std::vector<CFamily> all = {
      {4,
       firstPacket("dhcp4-relayed-remote-id.pcap"),
       {"$HWADDR", "$CLASSID", "$CM && $IS_DISCOVER", "$RELAY.CIRCUITID", "$INP('82/2')",
        "$DEVICE.VENDORID", "$DEVICE.DESCRIPTION", "$DB.KEYVALUE('pool', 'cm', $HWADDR)",
        "$DB.KEYVALUE.EXISTS('pool', 'cm', $HWADDR, 'known')", "$PROV.RULE(1)", "$PROV.RULE(2)",
        "$EVAL('[$PROV.RULE(3) + 1]')", "$SDECRYPT($SENCRYPT($STR($HWADDR)))",
        "$MD5($CLASSID) + $LEFT('abcdef', 2)", "$MATCH($CLASSID, 'docsis*')"}},
      {6,
       CHexPayload::readFile(example("dhcp6-docsis-relayed.hex")),
       {"$CLIENTID", "$CLASSID", "$CM", "$INP('17/2/2')", "$INP('0xffffff06/18')",
        "$DEVICE.VENDORID", "$DB.KEYVALUE('pool', 'v6', 'any')", "$PROV.RULE(1)", "$PROV.RULE(3)",
        "$SENCRYPT('x') == $SENCRYPT('x')"}},
  };
  return all;
}

class SharedServicesThreadsTest : public testing::TestWithParam<CStoreKind> {
 protected:
  void SetUp() override {
    if (!maker_.available()) GTEST_SKIP() << "PostgreSQL is not installed";
    database_ = maker_.newDatabase();
    store_ = maker_.open(database_, std::chrono::milliseconds(20000));
    std::vector<CPrstKeyValue> records = {{"pool", "cm", "02-00-5E-10-00-05", "10.1.0.0"},
                                          {"pool", "v6", "any", "2001:db8::1"}};
    store_->saveAll(records);
    CVendorFile vendors;
    vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
    server_ = std::make_unique<CHostServer>(vendors);
    rules_ = std::make_shared<const CProvisioningRules>(
        CProvisioningRules::parse("1 = [$CM ? ('cm:' + $PROV.ACCNAME) : 'cpe']\n"
                                  "2 = [$DB.KEYVALUE('pool', 'cm', $HWADDR)]\n"
                                  "3 = [$DEVICE.VENDORID]\n",
                                  "rules.txt"));
    node_.serverAddress = CIPAddress("10.0.0.1");
    node_.accountName = "acme";
  }

  CGeneralPtr<COption> decode(const CFamily& family) const {
    return family.family == 4 ? CDhcp4Decoder::shipped().decode(family.payload)
                              : CDhcp6Decoder::shipped().decode(family.payload);
  }

  std::unique_ptr<CHostExchange> exchange(const CFamily& family) {
    const CHostServices services{&host_, &factory_, server_.get(), store_.get(), rules_};
    return std::make_unique<CHostExchange>(
        services, CProtocolFamily(static_cast<std::uint32_t>(family.family)), decode(family),
        makeMessageRoot(static_cast<std::uint32_t>(family.family)), node_);
  }

  // values: the value of every expression of family in a new exchange, as
  // text ("error: ..." for a failure).
  std::vector<std::string> values(const CFamily& family) {
    const std::unique_ptr<CHostExchange> ex = exchange(family);
    const CGeneralPtr<CExpEval> evaluator = ex->evaluator();
    std::vector<std::string> found;
    for (const std::string& text : family.expressions)
      found.push_back(run(*evaluator, text));
    return found;
  }

  static std::string run(CExpEval& evaluator, const std::string& text) {
    try {
      CVariant value;
      evaluator.execute(value, evaluator.compile(text));
      return value.string();
    } catch (const CException& e) {
      return "error: " + e.text();
    }
  }

  CStoreMaker maker_{GetParam()};
  CTestDatabase database_;
  std::unique_ptr<CIKeyValueStore> store_;
  CSharedHost host_;
  CDHCPEvalFactory factory_;
  std::unique_ptr<CHostServer> server_;
  std::shared_ptr<const CProvisioningRules> rules_;
  CNodeSettings node_;
};

TEST_P(SharedServicesThreadsTest, EvaluatorsOnSeveralThreadsGiveWhatOneThreadGives) {
  std::map<int, std::vector<std::string>> expected;
  for (const CFamily& family : families()) {
    expected[family.family] = values(family);
    // The expected values are real values, not failures.
    for (const std::string& value : expected[family.family])
      EXPECT_EQ(value.rfind("error: ", 0), std::string::npos) << value;
  }
  // What the shared services give: the store's record, the rules and the
  // vendor lookup.
  EXPECT_EQ(expected[4][7], "10.1.0.0");
  EXPECT_EQ(expected[4][9], "cm:acme");
  EXPECT_EQ(expected[4][11], "4492");
  EXPECT_EQ(expected[6][6], "2001:db8::1");

  std::atomic<int> running{kThreads};
  std::vector<std::string> problems(kThreads + 1);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      try {
        // A long-lived evaluator of the thread's own, beside one per exchange.
        const CFamily& own = families()[static_cast<std::size_t>(t) % families().size()];
        const std::unique_ptr<CHostExchange> lasting = exchange(own);
        const CGeneralPtr<CExpEval> evaluator = lasting->evaluator();
        for (int round = 0; round < kRounds && problems[t].empty(); ++round) {
          for (const CFamily& family : families()) {
            if (values(family) != expected.at(family.family)) {
              problems[t] = "round " + std::to_string(round) + ": other values for DHCPv" +
                            std::to_string(family.family);
            }
          }
          for (std::size_t i = 0; i < own.expressions.size(); ++i) {
            const std::string value = run(*evaluator, own.expressions[i]);
            if (value != expected.at(own.family)[i])
              problems[t] = own.expressions[i] + ": " + value;
          }
        }
      } catch (const std::exception& e) {
        problems[t] = e.what();
      }
      --running;
    });
  }
  // A writer changes records the evaluators do not read while they read.
  threads.emplace_back([&] {
    try {
      for (int generation = 0; running > 0; ++generation) {
        std::vector<CPrstKeyValue> records;
        for (int i = 0; i < 5; ++i)
          records.emplace_back("gen", "", "k" + std::to_string(i), std::to_string(generation));
        store_->saveAll(records);
      }
    } catch (const CException& e) {
      problems[kThreads] = e.text();
    }
  });
  for (std::thread& thread : threads)
    thread.join();
  for (const std::string& problem : problems)
    EXPECT_EQ(problem, "");
}

INSTANTIATE_TEST_SUITE_P(Stores, SharedServicesThreadsTest,
                         testing::Values(CStoreKind::kSqlite, CStoreKind::kPostgres),
                         [](const testing::TestParamInfo<CStoreKind>& param) {
                           return qvt_test::kindName(param.param);
                         });

}  // namespace
}  // namespace qvt::host
