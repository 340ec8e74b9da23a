// One server's vendor lookup serves the evaluators and decoders of every
// worker thread. Its holders count their owners without locks, so readers
// must look entries up in place and never copy a holder: these tests check
// that no holder is copied during a lookup, and run two threads at once
// (ThreadSanitizer reports any race on the counts; without it, a lost update
// shows as a changed count at the end).
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ExchangeSupport.h"
#include "class_b/dhcp/dhcp_base/CVendorRecord.h"

namespace qvt::dhcp_eval_test {
namespace {

// CCountingVendor: a vendor whose description is the number of holders of
// its own entry in lookup at the moment the description is asked for.
class CCountingVendor : public CVendorAttributes {
 public:
  CCountingVendor(const CVendorLookup& lookup, std::string key)
      : lookup_(lookup), key_(std::move(key)) {}
  CVendorID vendorId() const override { return CVendorID("4491"); }
  std::string description() const override {
    return std::to_string(lookup_.classes().at(key_).useCount());
  }

 private:
  const CVendorLookup& lookup_;
  std::string key_;
};

class CSharedServer : public CIServerObject {
 public:
  explicit CSharedServer(const CVendorLookup& lookup) : lookup_(lookup) {}
  const CVendorLookup* vendorLookup() const override { return &lookup_; }

 private:
  const CVendorLookup& lookup_;
};

// useCounts: the number of holders of each entry of lookup.
std::map<std::string, std::uint32_t> useCounts(const CVendorLookup& lookup) {
  std::map<std::string, std::uint32_t> counts;
  for (const auto& [key, attributes] : lookup.classes())
    counts[key] = attributes.useCount();
  return counts;
}

Bytes request(const char* vendorClass) {
  return message4(cat({option4(53, {1}), option4(60, text(vendorClass))}));
}

TEST(SharedVendorLookupTest, LookupsCopyNoHolder) {
  CVendorLookup lookup;
  lookup.load({{"docsis*", CVendorLookup::AttributesPtr(new CCountingVendor(lookup, "docsis*"))}});
  CSharedServer server(lookup);
  CTestHost host;
  CTestProtocol protocol(&host, 4);
  CNodeContext node(&server, decode4(request("docsis3.0")), {}, CIPAddress("192.0.2.1"),
                    CIPAddress());
  const CGeneralPtr<CExpEval> eval = CDHCPEvalFactory().instance(protocol, &node, nullptr);
  // The stored holder is the only one while the evaluator reads the entry.
  EXPECT_EQ(run(*eval, "$DEVICE.DESCRIPTION"), "string: 1");
  EXPECT_EQ(run(*eval, "$DEVICE.DESCRIPTION('docsis2.0')"), "string: 1");
  EXPECT_EQ(run(*eval, "$DEVICE.VENDORID"), "integer: 4491");
  EXPECT_EQ(run(*eval, "$DEVICE.DESCRIPTION('pktc')"), "unknown: ");
}

TEST(SharedVendorLookupTest, TwoThreadsShareOneLookup) {
  const CTestServer server;
  const CVendorLookup& lookup = *server.vendorLookup();
  const std::map<std::string, std::uint32_t> before = useCounts(lookup);
  const auto worker = [&server](const char* vendorClass, std::string& outcome) {
    CTestHost host;
    CTestProtocol protocol(&host, 4);
    CNodeContext node(&server, CGeneralPtr<COption>(), {}, CIPAddress("192.0.2.1"), CIPAddress());
    const CGeneralPtr<CExpEval> eval = CDHCPEvalFactory().instance(protocol, &node, nullptr);
    const CGeneralPtr<CSyntaxTreeProxy> tree =
        eval->compile("$STR($DEVICE.VENDORID) + ' ' + $DEVICE.TYPEID + ' ' + $DEVICE.DESCRIPTION");
    for (int round = 0; round < 2000; ++round) {
      // Decoding reads the lookup too (option 60 selects the vendor's
      // definitions).
      node.setIncoming(decode4(request(vendorClass)));
      CVariant value;
      eval->execute(value, tree);
      if (round == 0) {
        outcome = value.string();
      } else if (value.string() != outcome) {
        outcome = "changed: " + value.string();
        return;
      }
    }
  };
  std::string docsis, microsoft;
  std::thread first(worker, "docsis3.0", std::ref(docsis));
  std::thread second(worker, "MSFT 5.0", std::ref(microsoft));
  first.join();
  second.join();
  EXPECT_EQ(docsis, "4491 4491 CableLabs DOCSIS cable modem");
  EXPECT_EQ(microsoft, "311 311 Microsoft Windows client");
  EXPECT_EQ(useCounts(lookup), before);
}

}  // namespace
}  // namespace qvt::dhcp_eval_test
