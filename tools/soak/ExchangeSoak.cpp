#include "tools/soak/ExchangeSoak.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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
#include "host/kvstore/KeyValueStores.h"
#include "tools/soak/ResidentMemory.h"

namespace qvt::soak {

namespace {

class CSoakHost : public CIHostContext, public CILogger {
 public:
  CILogger& logger() override { return *this; }
  std::vector<std::uint8_t> sharedServerKey() override { return {'s', 'o', 'a', 'k'}; }
  void log(const std::string&, const std::string&, std::uint32_t) override {}
};

// CReceived: a received message of one family and what is evaluated on it.
struct CReceived {
  std::uint32_t family;
  std::vector<unsigned char> payload;
  std::vector<std::string> expressions;
};

std::string example(const char* name) {
  return std::string(DHCP_EVAL_SOURCE_DIR) + "/examples/" + name;
}

// firstPacket: the payload of the first DHCP message of a capture.
std::vector<unsigned char> firstPacket(const char* name) {
  host::CCaptureReader capture(example(name));
  host::CCapturedPacket packet;
  capture.next(packet);
  return packet.payload;
}

// CServer: what every exchange shares.
class CServer {
 public:
  explicit CServer(const std::string& scratchFolder) {
    CVendorFile vendors;
    vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
    server_ = std::make_unique<host::CHostServer>(vendors);
    const std::string database = scratchFolder + "/soak-kv.db";
    for (const char* suffix : {"", "-wal", "-shm"})
      std::remove((database + suffix).c_str());
    host::CKeyValueStoreOptions options;
    options.create = true;
    store_ = host::openKeyValueStore(database, options);
    std::vector<CPrstKeyValue> records = {{"modem", "docsis", "02-00-5E-10-00-05", "gold"},
                                          {"pool", "v6", "any", "2001:db8::1"}};
    store_->saveAll(records);
    rules_ = std::make_shared<const host::CProvisioningRules>(host::CProvisioningRules::parse(
        "1 = [$CM ? ('cm:' + $PROV.ACCNAME) : 'cpe']\n2 = 3600\n", "rules"));
    node_.serverAddress = CIPAddress("10.0.0.1");
    node_.accountName = "acme";
    messages_ = {
        {4,
         firstPacket("dhcp4-relayed-remote-id.pcap"),
         {"$CM && $IS_DISCOVER", "$RELAY.CIRCUITID", "$DEVICE.VENDORID",
          "$DB.KEYVALUE('modem', 'docsis', $HWADDR) == 'gold'", "$PROV.RULE(1)",
          "$MATCH($CLASSID, 'docsis*') ? $PROV.RULE(2) : 0", "$STR($HWADDR) + '/' + $INP(53)",
          "$SDECRYPT($SENCRYPT($CLASSID))"}},
        {6,
         host::CHexPayload::readFile(example("dhcp6-docsis-relayed.hex")),
         {"$CM", "$INP('17/2/2') == 'ECM'", "$INP('0xffffff06/18')", "$DEVICE.VENDORID",
          "$DB.KEYVALUE('pool', 'v6', 'any')", "$PROV.RULE(1)", "$MD5($CLIENTID)",
          "$LEFT($STR($CLASSID), 6)"}},
    };
  }

  const std::vector<CReceived>& messages() const { return messages_; }

  CGeneralPtr<COption> decode(const CReceived& message) const {
    return message.family == 4 ? host::CDhcp4Decoder::shipped().decode(message.payload)
                               : host::CDhcp6Decoder::shipped().decode(message.payload);
  }

  std::unique_ptr<host::CHostExchange> exchange(const CReceived& message) {
    const host::CHostServices services{&host_, &factory_, server_.get(), store_.get(), rules_};
    return std::make_unique<host::CHostExchange>(services, CProtocolFamily(message.family),
                                                 decode(message), makeMessageRoot(message.family),
                                                 node_);
  }

 private:
  CSoakHost host_;
  CDHCPEvalFactory factory_;
  std::unique_ptr<host::CHostServer> server_;
  std::unique_ptr<CIKeyValueStore> store_;
  std::shared_ptr<const host::CProvisioningRules> rules_;
  host::CNodeSettings node_;
  std::vector<CReceived> messages_;
};

// valueText: the value of a run as text, "error: ..." for a failure.
std::string valueText(CExpEval& evaluator, const CGeneralPtr<CSyntaxTreeProxy>& tree) {
  try {
    CVariant value;
    evaluator.execute(value, tree);
    return value.string();
  } catch (const CException& e) {
    return "error: " + e.text();
  }
}

// CValueCheck: compares the values of each message's expressions with the
// first ones seen, reporting the first difference.
class CValueCheck {
 public:
  // check: compares value with the first value of expression (text) of
  // message, which is printed when it is seen first.
  void check(std::size_t message, std::size_t expression, const std::string& text,
             const std::string& value) {
    const auto [known, first] = expected_.try_emplace({message, expression}, value);
    if (first) std::printf("value: %s = %s\n", text.c_str(), value.c_str());
    if (!first && value != known->second && ok_) {
      std::printf("value changed: message %zu, expression %zu: '%s', was '%s'\n", message,
                  expression, value.c_str(), known->second.c_str());
      ok_ = false;
    }
  }
  bool ok() const { return ok_; }

 private:
  std::map<std::pair<std::size_t, std::size_t>, std::string> expected_;
  bool ok_ = true;
};

}  // namespace

bool runExchanges(std::uint64_t count, const std::string& scratchFolder) {
  CServer server(scratchFolder);
  CValueCheck values;
  CMemoryTrace trace("exchanges", count);
  for (std::uint64_t done = 1; done <= count; ++done) {
    const std::size_t which = done % server.messages().size();
    const CReceived& message = server.messages()[which];
    const std::unique_ptr<host::CHostExchange> exchange = server.exchange(message);
    const CGeneralPtr<CExpEval> evaluator = exchange->evaluator();
    for (std::size_t i = 0; i < message.expressions.size(); ++i)
      values.check(which, i, message.expressions[i],
                   valueText(*evaluator, evaluator->compile(message.expressions[i])));
    trace.at(done);
  }
  const bool flat = trace.finish();
  return flat && values.ok();
}

bool runEvaluator(std::uint64_t count, const std::string& scratchFolder) {
  CServer server(scratchFolder);
  const CReceived& message = server.messages()[0];
  const std::unique_ptr<host::CHostExchange> exchange = server.exchange(message);
  const CGeneralPtr<CExpEval> evaluator = exchange->evaluator();
  std::vector<CGeneralPtr<CSyntaxTreeProxy>> trees;
  for (const std::string& text : message.expressions)
    trees.push_back(evaluator->compile(text));
  CValueCheck values;
  CMemoryTrace trace("executions", count);
  for (std::uint64_t done = 1; done <= count; ++done) {
    const std::size_t which = done % trees.size();
    values.check(0, which, message.expressions[which], valueText(*evaluator, trees[which]));
    trace.at(done);
  }
  const bool flat = trace.finish();
  return flat && values.ok();
}

}  // namespace qvt::soak
