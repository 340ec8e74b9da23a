// The hooks for derived evaluators: a shared per-class function table, and
// keying the cipher on its first use.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace qvt::test {
namespace {

using CExpEvalCipher = CEngineTest;

void answer(CMultiVariant& results, const char* text) {
  results.append(CVariant::fromString(text));
}

// CTableEngine: an engine whose class table adds "OWN" and replaces "LEN".
class CTableEngine : public CExpEval {
 public:
  explicit CTableEngine(CIHostContext* host) : CExpEval(host) { _useFunctionTable(table()); }

  static const CFunctionTable& table() {
    static const CFunctionTable kTable = makeFunctionTable({
        {"OWN", [](CExpEval&, CMultiVariant& r, CMultiVariant&) { answer(r, "first"); }},
        {"LEN", [](CExpEval&, CMultiVariant& r, CMultiVariant&) { answer(r, "class len"); }},
        // A name that comes again replaces the earlier entry.
        {"OWN", [](CExpEval&, CMultiVariant& r, CMultiVariant&) { answer(r, "own"); }},
    });
    return kTable;
  }
};

TEST(CExpEvalClassTable, ShadowsBuiltinsAndGivesWayToRegistrations) {
  CTestHost host;
  CTableEngine engine(&host);
  EXPECT_EQ(CTableEngine::table().size(), 2u);
  EXPECT_EQ("string: own", run(engine, "$OWN"));
  EXPECT_EQ("string: class len", run(engine, "$LEN('abc')"));
  EXPECT_EQ("string: ABC", run(engine, "$UCASE('abc')"));
  EXPECT_TRUE(engine.hasFunction("OWN"));

  std::vector<std::string> names = CExpEval(&host).functionNames();
  names.push_back("OWN");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(engine.functionNames(), names);

  // A compiled call picks up a later registration.
  const CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile("$OWN");
  engine.registerFunction(
      "OWN", [](CExpEval&, CMultiVariant& r, CMultiVariant&) { answer(r, "registered"); });
  CVariant value;
  engine.execute(value, tree);
  EXPECT_EQ("registered", value.string());
  EXPECT_EQ(engine.functionNames(), names);
  // The shared table and the other engines keep theirs.
  CTableEngine other(&host);
  EXPECT_EQ("string: own", run(other, "$OWN"));
  EXPECT_NE(engine.handlerOf("OWN"), other.handlerOf("OWN"));

  // A null registration hides the name in every layer.
  engine.registerFunction("LEN", nullptr);
  EXPECT_FALSE(engine.hasFunction("LEN"));
  EXPECT_EQ(engine.functionNames().size(), names.size() - 1);
  EXPECT_EQ("error: Runtime error. (Unknown function 'LEN'.)", run(engine, "$LEN('abc')"));
}

TEST_F(CExpEvalCipher, KeyedOnFirstUseWhenAsked) {
  EXPECT_FALSE(engine.keyCipherOnFirstUse());
  EXPECT_EQ("error: Failed to execute function $ENCRYPT(). (The cipher has not been keyed.)",
            run(engine, "$ENCRYPT('a')"));

  engine.setKeyCipherOnFirstUse(true);
  EXPECT_FALSE(engine.cipherKeyed());
  const std::string encrypted = run(engine, "$SENCRYPT('abc')");
  EXPECT_TRUE(engine.cipherKeyed());
  CExpEval keyed(&host);
  keyed.initCipher();
  EXPECT_EQ(run(keyed, "$SENCRYPT('abc')"), encrypted);
  EXPECT_EQ("string: abc", run(engine, "$SDECRYPT($SENCRYPT('abc'))"));

  // Without a host context there is nothing to key with.
  CExpEval withoutHost(nullptr);
  withoutHost.setKeyCipherOnFirstUse(true);
  EXPECT_EQ("error: Failed to execute function $DECRYPT(). (The cipher has not been keyed.)",
            run(withoutHost, "$DECRYPT('00-00-00-00-00-00-00-00')"));
}

}  // namespace
}  // namespace qvt::test
