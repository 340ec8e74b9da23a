// What both evaluators share: argument errors, the provisioner, the
// key-value records and the cipher key.
#include "class_b/dhcp/dhcp_eval/CDHCPEvalBase.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ExchangeSupport.h"
#include "TestSupport.h"
#include "class_a/standard/Severity.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt::dhcp_eval_test {
namespace {

CGeneralPtr<COption> request(std::uint32_t family) {
  return family == 4 ? decode4(message4(option4(53, {3}))) : decode6(message6(1, {}));
}

class CDHCPEvalBaseTest : public testing::TestWithParam<std::uint32_t> {
 protected:
  CDHCPEvalBaseTest() : exchange_(GetParam(), request(GetParam())) {}

  // error: the text run gives for a failure of handler in this family.
  std::string error(const std::string& handler, const std::string& function,
                    const std::string& reason) const {
    return "error: CDHCP" + std::to_string(GetParam()) + "Eval::" + handler +
           ": Cannot execute function $" + function + "(). (" + reason + ")";
  }

  CExchange exchange_;
};

TEST_P(CDHCPEvalBaseTest, ArgumentErrors) {
  exchange_.context.useProvisioner();
  exchange_.context.store = &exchange_.store;
  const std::string few = "Not enough arguments.";
  const std::string many = "Too many arguments.";
  expectRows(exchange_,
             {
                 {"$INP()", error("_inp", "INP", few)},
                 {"$OUTP()", error("_outp", "OUTP", few)},
                 {"$PROV.ACCNAME(1)", error("_provisionerAccountName", "PROV.ACCNAME", many)},
                 {"$PROV.ENABLED()", error("_provisionerPersistEnabled", "PROV.ENABLED", few)},
                 {"$PROV.RULE()", error("_provisionerRule", "PROV.RULE", few)},
                 {"$DB.KEYVALUE('a', 'b')", error("_dbvalue", "DB.KEYVALUE", few)},
                 {"$DB.KEYVALUE('a', 'b', 'c', 'd')", error("_dbvalue", "DB.KEYVALUE", many)},
                 {"$DB.KEYVALUE.EXISTS('a', 'b', 'c')",
                  error("_dbvalue_exists", "DB.KEYVALUE.EXISTS", few)},
                 {"$DB.KEYVALUE.EXISTS('a', 'b', 'c', 'd', 'e')",
                  error("_dbvalue_exists", "DB.KEYVALUE.EXISTS", many)},
             });
  // $INP_HAS is $INP, errors included.
  if (GetParam() == 4) {
    EXPECT_EQ(exchange_.run("$INP_HAS()"), error("_inp", "INP", few));
  }

  CVariant result;
  const auto raised =
      qvt_test::caught([&] { exchange_.eval->execute(result, exchange_.eval->compile("$INP()")); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->module() + " " + raised->className(), "dhcp_eval static");
  EXPECT_EQ(raised->severity(), kSeverityError);
}

TEST_P(CDHCPEvalBaseTest, Provisioner) {
  const std::string none = "No provisioner is available.";
  expectRows(exchange_,
             {
                 {"$PROV.RULE(7)", error("_provisionerRule", "PROV.RULE", none)},
                 {"$PROV.ENABLED(true)", error("_provisionerPersistEnabled", "PROV.ENABLED", none)},
                 {"$PROV.ACCNAME", "string: "},
             });

  CTestProvisioner& provisioner = exchange_.context.useProvisioner();
  provisioner.answers[7].append(CVariant(std::int64_t{1}));
  provisioner.answers[7].append(CVariant::fromString("pool-a"));
  exchange_.node.provisioned().setAccountName("'acme' ");
  expectRows(exchange_,
             {
                 {"$PROV.RULE(7)", "string: pool-a"},
                 // The rule number is the low 32 bits: 4294967303 is rule 7.
                 {"$PROV.RULE(4294967303, 'ignored')", "string: pool-a"},
                 {"$PROV.RULE(8)",
                  "error: CFuncExprNode::interpret: Failed to execute function 'PROV.RULE'. "
                  "(Function did not return a result.)"},
                 // The value is the first argument unchanged; the flag its
                 // boolean.
                 {"$PROV.ENABLED(true)", "boolean: true"},
                 {"$PROV.ENABLED(true, 5)", "boolean: true"},
                 {"$PROV.ENABLED(0)", "uinteger: 0"},
                 {"$PROV.ENABLED(2, false)", "uinteger: 2"},
                 // Trimmed as any text assigned to a value.
                 {"$PROV.ACCNAME", "string: acme"},
             });
  EXPECT_EQ(provisioner.rules, (std::vector<std::uint32_t>{7, 7, 8}));
  EXPECT_EQ(provisioner.persistEnabled, (std::vector<bool>{true, true, false, true}));
}

TEST_P(CDHCPEvalBaseTest, KeyValueRecords) {
  const std::string none = "No key-value database is configured.";
  expectRows(exchange_,
             {
                 {"$DB.KEYVALUE('pool', 'cm', 'k')", error("_dbvalue", "DB.KEYVALUE", none)},
                 {"$DB.KEYVALUE.EXISTS('pool', 'cm', 'k', 'yes')",
                  error("_dbvalue_exists", "DB.KEYVALUE.EXISTS", none)},
             });

  exchange_.context.store = &exchange_.store;
  exchange_.store.records = {
      CPrstKeyValue("pool", "cm", "00-11", "10.1.0.0"),
      CPrstKeyValue("pool", "cm", "00-11", "10.2.0.0"),
      CPrstKeyValue("pool", "", "00-11", "'flat'"),
      CPrstKeyValue("pool", "cm", "empty", ""),
      CPrstKeyValue("pool", "cm", "off", "1", false),
  };
  // With two records for one key DHCPv4 appends both (the call's value is
  // the last), DHCPv6 takes the first only.
  const std::string twoRecords = GetParam() == 4 ? "ip address: 10.2.0.0" : "ip address: 10.1.0.0";
  expectRows(exchange_,
             {
                 {"$DB.KEYVALUE('pool', 'cm', '00-11')", twoRecords},
                 // An empty subclass is written "" (an empty '' cannot be read).
                 {R"($DB.KEYVALUE('pool', "", '00-11'))", "string: flat"},
                 {"$DB.KEYVALUE('pool', 'cm', 'nothing')", "unknown: "},
                 {"$DB.KEYVALUE('pool', 'cm', 'off')", "unknown: "},
                 {"$DB.KEYVALUE('pool', 'cm', 'empty')",
                  "error: CVariantConversion::_guess: Cannot interpret variant. (Type cannot be "
                  "deduced from an empty value.)"},
                 // EXISTS gives its answer, re-read with its type guessed,
                 // never the stored value.
                 {"$DB.KEYVALUE.EXISTS('pool', 'cm', '00-11', 'yes')", "string: yes"},
                 {"$DB.KEYVALUE.EXISTS('pool', 'cm', '00-11', '10.9.9.9')", "ip address: 10.9.9.9"},
                 {"$DB.KEYVALUE.EXISTS('pool', 'cm', 'empty', 5)", "uinteger: 5"},
                 {"$DB.KEYVALUE.EXISTS('pool', 'cm', 'nothing', 'yes')", "unknown: "},
                 {"$DB.KEYVALUE.EXISTS('pool', 'cm', '00-11', '')",
                  "error: CVariantConversion::_guess: Cannot interpret variant. (Type cannot be "
                  "deduced from an empty value.)"},
             });
  for (const std::string& statement : exchange_.store.statements)
    EXPECT_EQ(statement, "keyvalue.class_subclass_key_enabled 50");
}

TEST_P(CDHCPEvalBaseTest, SqliteStore) {
  const std::string file = testing::TempDir() + "dhcp-eval-keyvalues-" +
                           std::to_string(::getpid()) + "-" + std::to_string(GetParam()) + ".db";
  std::remove(file.c_str());
  {
    host::CKeyValueStoreOptions options;
    options.create = true;
    const std::unique_ptr<CIKeyValueStore> store = host::openKeyValueStore(file, options);
    std::vector<CPrstKeyValue> records = {
        CPrstKeyValue("pool", "cm", "00-11", "10.1.0.0"),
        CPrstKeyValue("pool", "cm", "00-22", "10.2.0.0", false),
    };
    store->saveAll(records);
    exchange_.context.store = store.get();
    expectRows(exchange_, {
                              {"$DB.KEYVALUE('pool', 'cm', '00-11')", "ip address: 10.1.0.0"},
                              // A disabled record is not found.
                              {"$DB.KEYVALUE('pool', 'cm', '00-22')", "unknown: "},
                              {"$DB.KEYVALUE.EXISTS('pool', 'cm', '00-11', true)", "boolean: true"},
                              {"$DB.KEYVALUE.EXISTS('pool', 'cm', '00-22', true)", "unknown: "},
                          });
  }
  std::remove(file.c_str());
}

TEST_P(CDHCPEvalBaseTest, CipherIsKeyedOnFirstUse) {
  EXPECT_EQ(exchange_.host.keyRequests, 0);
  EXPECT_FALSE(exchange_.eval->cipherKeyed());
  EXPECT_EQ(exchange_.run("$SDECRYPT($SENCRYPT('abc'))"), "string: abc");
  EXPECT_EQ(exchange_.run("$SENCRYPT('abc') == $SENCRYPT('abc')"), "boolean: true");
  EXPECT_EQ(exchange_.host.keyRequests, 1);
  EXPECT_TRUE(exchange_.eval->cipherKeyed());

  // The same key as the host's, keyed by hand.
  CExpEval keyed(&exchange_.host);
  keyed.initCipher();
  EXPECT_EQ(run(keyed, "$SENCRYPT('abc')"), exchange_.run("$SENCRYPT('abc')"));

  // Without a host context there is no key.
  CTestProtocol noHost(nullptr, GetParam());
  CGeneralPtr<CExpEval> eval = CDHCPEvalFactory().instance(noHost, &exchange_.node, nullptr);
  EXPECT_EQ(run(*eval, "$ENCRYPT('a')"),
            "error: CExpEval::_encrypt: Failed to execute function $ENCRYPT(). (The cipher has "
            "not been keyed.)");
}

// countDown: the next number of a count that starts at 6 for each test.
int gCount = 0;
void countDown(CExpEval&, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(static_cast<std::int64_t>(gCount--)));
}

TEST_P(CDHCPEvalBaseTest, ExpressionReachingItsOwnCachedTreeRunsCorrectly) {
  // Key a reaches itself until the count runs out: 6 + (4 + (2 + (0 + 0))).
  // Each nested run reads the text the cache already holds a running tree
  // for; running that tree again would overwrite the outer run's left
  // operand before the outer run adds it.
  const std::string file = testing::TempDir() + "dhcp-eval-values-" + std::to_string(::getpid()) +
                           "-" + std::to_string(GetParam());
  {
    std::FILE* out = std::fopen(file.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fprintf(out,
                 "a = [$DOWN() + ($DOWN() > 0 ? $VALUE('%s', 'a') : 0)]\n"
                 "b = [$VALUE('%s', 'c')]\nc = [$VALUE('%s', 'b')]\n",
                 file.c_str(), file.c_str(), file.c_str());
    std::fclose(out);
  }
  exchange_.eval->registerFunction("DOWN", &countDown);
  const std::string top = "$VALUE('" + file + "', 'a')";
  for (int round = 0; round < 2; ++round) {
    gCount = 6;
    EXPECT_EQ(exchange_.run(top), "integer: 12");
  }
  EXPECT_EQ(static_cast<CDHCPEvalBase&>(*exchange_.eval).compiled().size(), 2u);
  // A chain that never ends still ends at the nesting limit.
  EXPECT_EQ(exchange_.run("$VALUE('" + file + "', 'b')"),
            "error: CExpression::operator*: Cannot execute expression '[$VALUE('" + file +
                "', 'c')]'. (Expression does not evaluate.)");
  std::remove(file.c_str());
}

INSTANTIATE_TEST_SUITE_P(Families, CDHCPEvalBaseTest, testing::Values(4u, 6u),
                         // Not "info": the macro's own parameter has that name.
                         [](const testing::TestParamInfo<std::uint32_t>& family) {
                           return "DHCPv" + std::to_string(family.param);
                         });

}  // namespace
}  // namespace qvt::dhcp_eval_test
