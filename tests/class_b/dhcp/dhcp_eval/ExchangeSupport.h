// ExchangeSupport: one DHCP exchange for the evaluator tests: the host's
// objects around a decoded message, an evaluator from the factory, and the
// helpers that run expressions on it.
//
//   CExchange exchange(4, decode4(discover()));
//   run(*exchange.eval, "$HWADDR");   // "byte sequence: 00-11-22-33-44-55"
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "class_a/standard/CIPAddress.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"
#include "class_b/dhcp/dhcp_eval/CIDHCPProvisioner.h"
#include "class_b/dhcp/dhcp_eval/CIServerObject.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"
#include "class_b/dhcp/dhcp_eval/COutputContext.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/CHostOptionFactory.h"
#include "host/COptionDictionary.h"
#include "host/CVendorFile.h"
#include "host/PayloadBuilder.h"

namespace qvt::dhcp_eval_test {

using host::test::Bytes;
using host::test::cat;
using host::test::option4;
using host::test::option6;
using host::test::text;

class CQuietLogger : public CILogger {
 public:
  void log(const std::string&, const std::string&, std::uint32_t) override {}
};

// CTestHost: a host context whose key requests are counted.
class CTestHost : public CIHostContext {
 public:
  CILogger& logger() override { return logger_; }
  std::vector<std::uint8_t> sharedServerKey() override {
    ++keyRequests;
    return {'s', 'e', 'r', 'v', 'e', 'r'};
  }
  int keyRequests = 0;

 private:
  CQuietLogger logger_;
};

// CTestServer: a server whose vendors are the shipped vendors.defs.
class CTestServer : public CIServerObject {
 public:
  CTestServer() {
    CVendorFile vendors;
    vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
    lookup_ = vendors.makeLookup();
  }
  const CVendorLookup* vendorLookup() const override {
    return withVendors ? lookup_.get() : nullptr;
  }
  bool withVendors = true;

 private:
  CGeneralPtr<CVendorLookup> lookup_;
};

// CTestProvisioner: answers rules from a table and keeps the flag.
class CTestProvisioner : public CIDHCPProvisioner {
 public:
  CMultiVariant evaluateRule(std::uint32_t rule) override {
    rules.push_back(rule);
    return answers[rule];
  }
  void setPersistEnabled(bool enabled) override { persistEnabled.push_back(enabled); }

  std::map<std::uint32_t, CMultiVariant> answers;
  std::vector<std::uint32_t> rules;
  std::vector<bool> persistEnabled;
};

// CListStore: a store that answers a lookup with every listed record of the
// key, in list order, duplicates included (a real store's primary key allows
// one), so the evaluators' handling of several records shows.
class CListStore : public CIKeyValueStore {
 public:
  std::vector<CPrstKeyValue> query(const std::string& statement, const CKeyValueKey& key,
                                   std::size_t limit) override {
    statements.push_back(statement + " " + std::to_string(limit));
    std::vector<CPrstKeyValue> found;
    for (const CPrstKeyValue& record : records) {
      if (record.kclass() == key.kclass && record.subclass() == key.subclass &&
          record.key() == key.key && record.enabled() && found.size() < limit) {
        found.push_back(record);
      }
    }
    return found;
  }
  std::vector<CPrstKeyValue> list(const std::optional<std::string>&) override { return records; }
  void insert(CPrstKeyValue& record) override { records.push_back(record); }
  void update(CPrstKeyValue& record) override { records.push_back(record); }
  void save(CPrstKeyValue& record) override { records.push_back(record); }
  bool remove(const CKeyValueKey&) override { return false; }
  void saveAll(std::vector<CPrstKeyValue>& all) override {
    records.insert(records.end(), all.begin(), all.end());
  }
  std::string description() const override { return "list"; }

  std::vector<CPrstKeyValue> records;
  std::vector<std::string> statements;  // "statement limit" of each query
};

// CTestReply: the reply being built; empty until a test sets one.
class CTestReply : public COutputContext {
 public:
  CGeneralPtr<COption> outgoingMessage() const override { return message; }
  CGeneralPtr<COption> message;
};

// CTestProtocol: a protocol context of family, with provisioner and store
// when the test asks for them.
class CTestProtocol : public CProtocolContext {
 public:
  CTestProtocol(CIHostContext* host, std::uint32_t family)
      : CProtocolContext(host, "test"), family_(family) {}
  CProtocolFamily protocolFamily() const override { return CProtocolFamily(family_); }
  CGeneralPtr<CIDHCPProvisioner> provisioner() override { return provisioner_; }
  CIKeyValueStore* keyValueStore() override { return store; }

  // useProvisioner: from now on provisioner() gives the test's provisioner
  // (owned by the holder this context keeps).
  CTestProvisioner& useProvisioner() {
    if (provisioner_.isNull()) {
      testProvisioner_ = new CTestProvisioner;
      provisioner_ = CGeneralPtr<CIDHCPProvisioner>(testProvisioner_);
    }
    return *testProvisioner_;
  }
  CIKeyValueStore* store = nullptr;

 private:
  std::uint32_t family_;
  CGeneralPtr<CIDHCPProvisioner> provisioner_;
  CTestProvisioner* testProvisioner_ = nullptr;  // the pointee of provisioner_
};

// message4: a BOOTREQUEST from 00-11-22-33-44-55 (htype 1, hlen 6, hops 2,
// xid 0x01020304, secs 7, giaddr 10.0.0.1, file "pxelinux.0") with the magic
// cookie, options and End.
inline Bytes message4(const Bytes& options) {
  Bytes m(236, 0);
  m[0] = 1, m[1] = 1, m[2] = 6, m[3] = 2;
  m[4] = 1, m[5] = 2, m[6] = 3, m[7] = 4;
  m[9] = 7;
  m[24] = 10, m[25] = 0, m[26] = 0, m[27] = 1;
  for (int i = 0; i < 6; ++i)
    m[28 + i] = static_cast<unsigned char>(i * 0x11);
  const std::string file = "pxelinux.0";
  std::copy(file.begin(), file.end(), m.begin() + 108);
  return cat({m, {0x63, 0x82, 0x53, 0x63}, options, {255}});
}

inline CGeneralPtr<COption> decode4(const Bytes& payload) {
  return host::CDhcp4Decoder::shipped().decode(payload);
}

// message6: a DHCPv6 message of type with transaction id 0x123456.
inline Bytes message6(std::uint8_t type, const Bytes& options) {
  return cat({{type, 0x12, 0x34, 0x56}, options});
}

// relayForward: a RELAY-FORW of hops around inner (link and peer address
// zero), with further options before the relay message.
inline Bytes relayForward(std::uint8_t hops, const Bytes& inner, const Bytes& options = {}) {
  return cat({{12, hops}, Bytes(32, 0), options, option6(9, inner)});
}

inline CGeneralPtr<COption> decode6(const Bytes& payload) {
  return host::CDhcp6Decoder::shipped().decode(payload);
}

// describe: "type: text" of a value.
inline std::string describe(const CVariant& value) {
  return std::string(value.type().name()) + ": " + value.string();
}

// run: describe of text's value on eval, or "error: operation: description
// (reason)".
inline std::string run(CExpEval& eval, const std::string& text) {
  try {
    CVariant result;
    eval.execute(result, eval.compile(text));
    return describe(result);
  } catch (const CException& e) {
    return "error: " + e.operation() + ": " + e.text();
  }
}

// CExchange: the host's objects of one exchange around incoming, and an
// evaluator of family from the factory (server address 192.0.2.1).
struct CExchange {
  CExchange(std::uint32_t family, CGeneralPtr<COption> incoming)
      : node(&server, std::move(incoming), {}, CIPAddress("192.0.2.1"), CIPAddress()),
        context(&host, family),
        eval(CDHCPEvalFactory().instance(context, &node, &reply)) {}

  std::string run(const std::string& text) { return dhcp_eval_test::run(*eval, text); }

  CTestHost host;
  CTestServer server;
  CNodeContext node;
  CTestReply reply;
  CTestProtocol context;
  CListStore store;
  CGeneralPtr<CExpEval> eval;
};

// CRow: an expression and what run gives for it.
struct CRow {
  std::string text;
  std::string expected;
};

// expectRows: runs every row on exchange, naming the row on a mismatch.
inline void expectRows(CExchange& exchange, const std::vector<CRow>& rows) {
  for (const CRow& row : rows)
    EXPECT_EQ(exchange.run(row.text), row.expected) << row.text;
}

}  // namespace qvt::dhcp_eval_test
