#include "integrations/kea/CKeaHook.h"

#include <dhcp/dhcp6.h>
#include <dhcp/option_string.h>
#include <dhcp/pkt6.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "KeaTestSupport.h"
#include "TestSupport.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt::kea {
namespace {

using isc::dhcp::Pkt4;
using isc::dhcp::Pkt4Ptr;
using test::discover4;
using test::moduleSettings;
using test::received4;

// CScratch: a directory of its own for one test, removed at the end.
class CScratch {
 public:
  CScratch() {
    char pattern[] = "/tmp/kea-hook-test.XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~CScratch() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name, const std::string& content = "") const {
    const std::string path = path_ + "/" + name;
    if (!content.empty()) std::ofstream(path) << content;
    return path;
  }

 private:
  std::string path_;
};

std::vector<std::string> classesOf(CKeaHook& hook, const Pkt4Ptr& query) {
  hook.receive(*query);
  std::vector<std::string> names;
  for (const CClassSetting& entry : hook.settings().classes) {
    if (query->inClass(entry.name)) names.push_back(entry.name);
  }
  return names;
}

using Names = std::vector<std::string>;

TEST(CKeaHookTest, AddsTheClassesThatHoldAndLeavesFailedOnesOut) {
  CHookSettings settings = moduleSettings();
  settings.classes = {{"always", "true"},
                      {"cable-modem", "$CM"},
                      {"other", "!$CM"},
                      {"fails", "$LEFT(1)"},
                      {"vendor", "$DEVICE.VENDORID == 4491"}};
  CKeaHook hook(settings, 4);
  EXPECT_EQ(classesOf(hook, received4(discover4("docsis3.0", 1))),
            (Names{"always", "cable-modem", "vendor"}));
  EXPECT_EQ(classesOf(hook, received4(discover4("", 2))), (Names{"always", "other"}));
  const Pkt4Ptr truncated = received4(discover4("", 2));
  truncated->data_.resize(100);  // an undecodable packet gets no class
  EXPECT_EQ(classesOf(hook, truncated), Names{});
  // Kea's own classes stay.
  const Pkt4Ptr query = received4(discover4("docsis3.0", 3));
  query->addClass("ALL");
  hook.receive(*query);
  EXPECT_TRUE(query->inClass("ALL"));
  EXPECT_TRUE(query->inClass("cable-modem"));
}

TEST(CKeaHookTest, ABadClassOrAMissingModuleRefusesTheLoad) {
  CHookSettings settings = moduleSettings();
  settings.classes = {{"good", "$CM"}, {"bad", "$LEFT('a' +"}};
  EXPECT_EQ(qvt_test::errorText([&] { CKeaHook hook(settings, 4); }),
            "Class 'bad': expression '$LEFT('a' +' does not compile. (Cannot parse expression "
            "'$LEFT('a' +'. (Mismatched parentheses.))");
  settings.module = "/nonexistent/dhcp_eval.so";
  EXPECT_EQ(qvt_test::errorText([&] { CKeaHook hook(settings, 4); }),
            "Cannot read the module '/nonexistent/dhcp_eval.so'. (No such file or directory)");
}

TEST(CKeaHookTest, OptionsReadTheResponseAndReplaceOrLeaveTheOption) {
  CHookSettings settings = moduleSettings();
  settings.options = {{12, "'host-' + $STR($OUTP.YIADDR)"},
                      {15, "$LEFT(1)"},
                      {224, "$UNKNOWN()"},
                      {6, "$IF($CM, 192.0.2.53, 192.0.2.54)"}};
  CKeaHook hook(settings, 4);
  const Pkt4Ptr query = received4(discover4("docsis3.0", 1));
  Pkt4 response(isc::dhcp::DHCPOFFER, 0x1234);
  response.setHWAddr(query->getHWAddr());
  response.setYiaddr(isc::asiolink::IOAddress("192.0.2.77"));
  for (const auto& [code, text] : {std::pair{12, "old"}, std::pair{15, "kea.example"}}) {
    response.addOption(
        isc::dhcp::OptionPtr(new isc::dhcp::OptionString(isc::dhcp::Option::V4, code, text)));
  }
  hook.send(*query, response);
  EXPECT_EQ(response.getOption(12)->toString(), "host-192.0.2.77");
  EXPECT_EQ(response.getOption(15)->toString(), "kea.example");  // the expression failed
  EXPECT_FALSE(response.getOption(224));                         // unknown: nothing set
  EXPECT_EQ(response.getOption(6)->toText(), "type=006, len=004: 192.0.2.53");
  EXPECT_EQ(response.getBuffer().getLength(), 0u);  // Kea packs it afresh
}

TEST(CKeaHookTest, KeyValueRecordsAndRulesAreReadLive) {
  CScratch scratch;
  const std::string database = scratch.file("kv.db");
  host::CKeyValueStoreOptions create;
  create.create = true;
  std::unique_ptr<CIKeyValueStore> store = host::openKeyValueStore(database, create);
  CHookSettings settings = moduleSettings();
  settings.keyValueDatabase = database;
  settings.rulesFile = scratch.file("rules.txt", "1 = [$CM ? 'cm' : 'cpe']\n");
  settings.classes = {{"gold", "$BOOL($DB.KEYVALUE.EXISTS('pool', 'gold', $HWADDR, true))"},
                      {"rule-cm", "$PROV.RULE(1) == 'cm'"}};
  CKeaHook hook(settings, 4);
  EXPECT_EQ(classesOf(hook, received4(discover4("docsis3.0", 9))), (Names{"rule-cm"}));
  CPrstKeyValue record("pool", "gold", "02-00-00-00-00-09", "yes");
  store->save(record);
  EXPECT_EQ(classesOf(hook, received4(discover4("", 9))), (Names{"gold"}));
}

TEST(CKeaHookTest, EachThreadEvaluatesOnItsOwnWorker) {
  CHookSettings settings = moduleSettings();
  settings.classes = {
      {"cable-modem", "$CM"}, {"other", "!$CM"}, {"vendor", "$DEVICE.TYPEID == '4491'"}};
  CKeaHook hook(settings, 4);
  const test::Bytes modem = discover4("docsis3.0", 1);
  const test::Bytes plain = discover4("", 2);
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        const bool isModem = (i + t) % 2 == 0;
        const Names expected = isModem ? Names{"cable-modem", "vendor"} : Names{"other"};
        if (classesOf(hook, received4(isModem ? modem : plain)) != expected) ++wrong;
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(hook.workers(), 5u);  // the loading thread's and one per thread
}

TEST(CKeaHookTest, DHCPv6ClassesAndOptions) {
  using isc::dhcp::Option;
  using isc::dhcp::OptionBuffer;
  using isc::dhcp::Pkt6;
  CHookSettings settings = moduleSettings();
  settings.classes = {{"cable-modem", "$CM"}, {"vendor", "$DEVICE.VENDORID == 4491"}};
  settings.options = {{23, "$IF($CM, $IP('2001:db8::53'), $IP('2001:db8::54'))"}};
  CKeaHook hook(settings, 6);
  // A SOLICIT with a client id and the DOCSIS vendor class (4491, "docsis3.0").
  Pkt6 solicit(DHCPV6_SOLICIT, 0x123456);
  solicit.addOption(isc::dhcp::OptionPtr(
      new Option(Option::V6, D6O_CLIENTID, OptionBuffer{0, 3, 0, 1, 2, 0, 0, 0, 0, 7})));
  const OptionBuffer vendorClass{0,   0,   0x11, 0x8B, 0,   9,   'd', 'o',
                                 'c', 's', 'i',  's',  '3', '.', '0'};
  solicit.addOption(isc::dhcp::OptionPtr(new Option(Option::V6, D6O_VENDOR_CLASS, vendorClass)));
  solicit.pack();
  const auto* data = static_cast<const std::uint8_t*>(solicit.getBuffer().getData());
  Pkt6 query(data, solicit.getBuffer().getLength());
  query.unpack();
  query.setLocalAddr(isc::asiolink::IOAddress("ff02::1:2"));
  query.setRemoteAddr(isc::asiolink::IOAddress("fe80::2"));
  hook.receive(query);
  EXPECT_TRUE(query.inClass("cable-modem"));
  EXPECT_TRUE(query.inClass("vendor"));
  Pkt6 advertise(DHCPV6_ADVERTISE, 0x123456);
  hook.send(query, advertise);
  ASSERT_TRUE(advertise.getOption(23));
  EXPECT_EQ(advertise.getOption(23)->toText(), "type=00023, len=00016: 2001:db8::53");
}

TEST(CKeaHookTest, SeveritiesMapOntoKeaLevels) {
  EXPECT_EQ(CKeaHost::keaLevelOf(kSeverityError), CKeaLevel::kError);
  EXPECT_EQ(CKeaHost::keaLevelOf(kSeverityWarning), CKeaLevel::kWarning);
  EXPECT_EQ(CKeaHost::keaLevelOf(kSeverityAudit), CKeaLevel::kInfo);
  EXPECT_EQ(CKeaHost::keaLevelOf(kSeverityVerbose), CKeaLevel::kDebug);
  EXPECT_EQ(CKeaHost::keaLevelOf(kSeverityDebug | kSeverityError), CKeaLevel::kError);
  EXPECT_EQ(CKeaHost::keaLevelOf(0), CKeaLevel::kInfo);
}

}  // namespace
}  // namespace qvt::kea
