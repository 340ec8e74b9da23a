// FuzzSupport: what the libFuzzer targets share: a quiet host, evaluators
// tamed for fuzzing, the DHCP exchange of the reference host with a vendor
// lookup, key-value records and provisioning rules, and a walk over decoded
// option trees.
//
// Every target treats qvt::CException as the expected way to refuse input;
// anything else that escapes (another exception, a crash, a sanitizer
// report, a hang, memory beyond libFuzzer's limit) is a finding.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CMultiVariant.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_a/prst_generic/CPrstKeyValue.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"
#include "host/CHostOptionFactory.h"
#include "host/COptionDictionary.h"
#include "host/CVendorFile.h"
#include "host/exchange/CHostExchange.h"
#include "host/exchange/CHostServer.h"
#include "host/exchange/CNodeSettings.h"
#include "host/exchange/CProvisioningRules.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt::fuzz {

// CQuietHost: a host whose logger drops everything.
class CQuietHost : public CIHostContext, public CILogger {
 public:
  CILogger& logger() override { return *this; }
  std::vector<std::uint8_t> sharedServerKey() override { return {'f', 'u', 'z', 'z'}; }
  void log(const std::string&, const std::string&, std::uint32_t) override {}
};

// scratchFile: a file of the process in the temporary folder holding
// content, removed at exit.
inline std::string scratchFile(const std::string& stem, const std::string& content) {
  std::string path = "/tmp/dhcp-eval-fuzz-" + stem + "-" + std::to_string(::getpid());
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
  }
  static std::vector<std::string> made;
  if (made.empty()) {
    std::atexit([] {
      for (const std::string& name : made)
        std::remove(name.c_str());
    });
  }
  made.push_back(path);
  return path;
}

// valueFile: the one value file $VALUE reads while fuzzing: literals, a
// default, and expressions that reach other keys and themselves.
inline const std::string& valueFile() {
  static const std::string path = scratchFile("values",
                                              "a = 42\n"
                                              "b = [1 + $VALUE('f', 'a')]\n"
                                              "c = [$VALUE('f', 'c')]\n"
                                              "d = [$LEFT('abcdef', 3) + $VALUE('f', 'b')]\n"
                                              "e = [$EVAL('[$VALUE(''f'', ''d'')]')]\n"
                                              "ip = 10.1.2.3\n"
                                              "# comment = 1\n"
                                              "<default> = 'fallback'\n");
  return path;
}

// Stand-ins for the functions that would sleep, print, or read any file the
// input names.
inline void noSleep(CExpEval&, CMultiVariant& results, CMultiVariant& arguments) {
  if (arguments.size() != 1) return;  // appends nothing, so the call fails
  (void)arguments.current().integer();
  results.append(CVariant(true));
}

inline void quietFirst(CExpEval&, CMultiVariant& results, CMultiVariant& arguments) {
  if (arguments.empty()) {
    results.append(CVariant());
  } else {
    results.append(arguments);
  }
}

// fixedValueFile: $VALUE with its file argument replaced by valueFile().
inline void fixedValueFile(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  if (arguments.size() != 2) {
    CExpEval::_value(evaluator, results, arguments);
    return;
  }
  // The arguments lie last first: [0] is the key.
  CMultiVariant redirected;
  redirected.append(arguments[0]);
  redirected.append(CVariant::fromString(valueFile()));
  CExpEval::_value(evaluator, results, redirected);
}

// tame: registers the stand-ins on evaluator.
inline void tame(CExpEval& evaluator) {
  evaluator.registerFunction("USLEEP", &noSleep);
  evaluator.registerFunction("PRINT", &quietFirst);
  evaluator.registerFunction("LOG", &quietFirst);
  evaluator.registerFunction("VALUE", &fixedValueFile);
}

// run: compiles text and executes it with both forms of execute, twice
// with the list form, reading every value as text.
inline void run(CExpEval& evaluator, const std::string& text) {
  try {
    const CGeneralPtr<CSyntaxTreeProxy> tree = evaluator.compile(text);
    for (int round = 0; round < 2; ++round) {
      try {
        CMultiVariant results;
        evaluator.execute(results, tree);
        for (std::size_t i = 0; i < results.size(); ++i)
          (void)results[i].string();
      } catch (const CException&) {
      }
    }
    CVariant result;
    evaluator.execute(result, tree);
    (void)result.string();
  } catch (const CException&) {
  }
}

// runOnce: compiles text and executes it once, reading the value as text.
inline void runOnce(CExpEval& evaluator, const std::string& text) {
  try {
    CVariant result;
    evaluator.execute(result, evaluator.compile(text));
    (void)result.string();
  } catch (const CException&) {
  }
}

// walk: reads every element of every option below option as a value and as
// text; calls visit(child) for each option on the way.
template <class Visit>
void walk(const COption& option, Visit&& visit) {
  for (std::size_t i = 0; i < option.childCount(); ++i) {
    const COption::Ptr child = option.child(i);
    if (!child) continue;
    const CValueTypeConverter converter(child);
    for (std::size_t e = 0; e < child->count(); ++e) {
      try {
        (void)converter.variant(static_cast<std::uint32_t>(e)).string();
      } catch (const CException&) {
      }
    }
    visit(*child.get());
    walk(*child.get(), visit);
  }
}

inline void walk(const COption& option) {
  walk(option, [](const COption&) {});
}

// CTamedFactory: the evaluator factory whose evaluators are all tamed, also
// those that run provisioning rules' expressions.
class CTamedFactory : public CDHCPEvalFactory {
 public:
  CGeneralPtr<CExpEval> instance(CProtocolContext& protocolContext, CNodeContext* nodeContext,
                                 COutputContext* outputContext) override {
    CGeneralPtr<CExpEval> made =
        CDHCPEvalFactory::instance(protocolContext, nodeContext, outputContext);
    tame(*made);
    return made;
  }
};

// CFuzzServer: what the exchanges of a fuzzing run share: the evaluator
// factory, the shipped vendor classes, an SQLite key-value database with a
// few records and a set of provisioning rules.
class CFuzzServer {
 public:
  CFuzzServer() {
    CVendorFile vendors;
    vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
    server_ = std::make_unique<host::CHostServer>(vendors);
    const std::string database = scratchFile("kv.db", "");
    std::remove(database.c_str());
    host::CKeyValueStoreOptions options;
    options.create = true;
    store_ = host::openKeyValueStore(database, options);
    std::vector<CPrstKeyValue> records = {
        {"pool", "cm", "02-00-5E-10-00-05", "10.1.0.0"},
        {"pool", "", "default", "10.9.0.0"},
        {"class", "", "docsis3.0:", "'cable-modem'"},
        {"expr", "", "x", "[1 + 2]"},
        {"off", "", "k", "no", false},
    };
    store_->saveAll(records);
    rules_ = std::make_shared<const host::CProvisioningRules>(
        host::CProvisioningRules::parse("1 = 10.1.0.0\n"
                                        "1 = [$CM ? ('cm:' + $PROV.ACCNAME) : 'cpe']\n"
                                        "2 = [$PROV.RULE(1) + '/2']\n"
                                        "3 = [$PROV.RULE(4)]\n"
                                        "4 = [$PROV.RULE(3)]\n"
                                        "5 = 'gold'\n",
                                        "rules.txt"));
    node_.serverAddress = CIPAddress("10.0.0.1");
    node_.deviceId = CHexStore("0A-0B");
    node_.accountName = "acme";
  }

  // services: the shared part of every exchange; with other rules when
  // given.
  host::CHostServices services(std::shared_ptr<const host::CProvisioningRules> rules = {}) {
    return host::CHostServices{&host_, &factory_, server_.get(), store_.get(),
                               rules ? std::move(rules) : rules_};
  }

  // exchange: an exchange of family for request (and reply, or an empty
  // reply of the family).
  std::unique_ptr<host::CHostExchange> exchange(
      int family, CGeneralPtr<COption> request, CGeneralPtr<COption> reply = {},
      std::shared_ptr<const host::CProvisioningRules> rules = {}) {
    if (reply.isNull()) reply = makeMessageRoot(static_cast<std::uint32_t>(family));
    return std::make_unique<host::CHostExchange>(
        services(std::move(rules)), CProtocolFamily(static_cast<std::uint32_t>(family)),
        std::move(request), std::move(reply), node_);
  }

  // evaluator: a (tamed) evaluator of exchange.
  static CGeneralPtr<CExpEval> evaluator(host::CHostExchange& exchange) {
    return exchange.evaluator();
  }

 private:
  CQuietHost host_;
  CTamedFactory factory_;
  std::unique_ptr<host::CHostServer> server_;
  std::unique_ptr<CIKeyValueStore> store_;
  std::shared_ptr<const host::CProvisioningRules> rules_;
  host::CNodeSettings node_;
};

// dhcpNames: the names the DHCP evaluator of family registers beyond the
// built-in functions, each written as a call without arguments.
inline std::vector<std::string> dhcpNames(CExpEval& evaluator) {
  const CExpEval engine(nullptr);
  std::vector<std::string> calls;
  for (const std::string& name : evaluator.functionNames()) {
    if (!engine.hasFunction(name)) calls.push_back("$" + name);
  }
  return calls;
}

}  // namespace qvt::fuzz
