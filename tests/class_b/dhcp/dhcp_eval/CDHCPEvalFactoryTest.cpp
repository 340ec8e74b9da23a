#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"

#include <ace/Init_ACE.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/extended/PluginExports.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/Severity.h"
#include "class_b/dhcp/dhcp_eval/CDHCP4Eval.h"
#include "class_b/dhcp/dhcp_eval/CDHCP6Eval.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"

namespace qvt {
namespace {

class CFamilyContext : public CProtocolContext {
 public:
  explicit CFamilyContext(std::uint32_t family)
      : CProtocolContext(nullptr, "test"), family_(family) {}
  CProtocolFamily protocolFamily() const override { return CProtocolFamily(family_); }

 private:
  std::uint32_t family_;
};

TEST(CDHCPEvalFactoryTest, IdentifiesItselfToTheHost) {
  CPlugin* plugin = pluginCreator();
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->name(), "Expression Evaluator");
  EXPECT_EQ(plugin->types(), "CIDHCPEvalFactory,CPlugin");
  EXPECT_EQ(plugin->dependencies(), "CISystemBusFactory");
  EXPECT_TRUE(plugin->prepare({}));
  EXPECT_EQ(plugin->initialize(), 0);
  EXPECT_EQ(plugin->version(), kPluginInterfaceVersion);
  EXPECT_EQ(plugin->runOrder(), 0);
  EXPECT_EQ(plugin->run(), 0);
  // isA reads the types above (its rules are CPlugin's).
  EXPECT_TRUE(plugin->isA("CIDHCPEvalFactory"));
  EXPECT_FALSE(plugin->isA("CISystemBusFactory"));
  pluginDestroyer(plugin);
}

TEST(CDHCPEvalFactoryTest, InstanceRefusesFamilies) {
  CDHCPEvalFactory factory;
  CProtocolContext unspecified(nullptr, "dhcp4");  // the base class names no family
  CFamilyContext none(CProtocolFamily::kNone);
  for (CProtocolContext* context : {&unspecified, static_cast<CProtocolContext*>(&none)}) {
    SCOPED_TRACE("family " + std::to_string(context->protocolFamily().code()));
    const auto e = qvt_test::caught([&] { factory.instance(*context, nullptr, nullptr); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->operation() + ": " + e->text(),
              "CDHCPEvalFactoryPtr::instance: Cannot create an evaluator instance. (Unknown "
              "protocol family.)");
    EXPECT_EQ(e->module() + " " + e->className(), "dhcp_eval qvt::CDHCPEvalFactory*");
    EXPECT_EQ(e->source(), &factory);
    EXPECT_EQ(e->severity(), kSeverityError);
  }
}

std::vector<std::string> sortedWords(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
  std::sort(words.begin(), words.end());
  return words;
}

// dhcpNames: the names eval has beside the built-ins, in sorted order.
std::vector<std::string> dhcpNames(const CExpEval& eval) {
  const CExpEval plain(nullptr);
  const std::vector<std::string> builtins = plain.functionNames();
  std::vector<std::string> own;
  for (const std::string& name : eval.functionNames()) {
    if (std::find(builtins.begin(), builtins.end(), name) == builtins.end()) own.push_back(name);
  }
  return own;
}

TEST(CDHCPEvalFactoryTest, InstanceBuildsTheEvaluatorOfTheFamily) {
  CDHCPEvalFactory factory;
  CFamilyContext four(4);
  CFamilyContext six(6);
  const CGeneralPtr<CExpEval> v4 = factory.instance(four, nullptr, nullptr);
  const CGeneralPtr<CExpEval> v6 = factory.instance(six, nullptr, nullptr);
  ASSERT_NE(dynamic_cast<CDHCP4Eval*>(v4.get()), nullptr);
  ASSERT_NE(dynamic_cast<CDHCP6Eval*>(v6.get()), nullptr);
  EXPECT_EQ(v4.useCount(), 1u);
  EXPECT_EQ(&static_cast<CDHCPEvalBase&>(*v4).protocolContext(), &four);

  EXPECT_EQ(dhcpNames(*v4),
            sortedWords("INP OUTP INP_HAS BOOTP HWADDR HTYPE HLEN HOPS SECS XID COOKIE HOSTNAME "
                        "BOOTFILE VENDORSPECIFIC CLASSID CLIENTID USERCLASS RELAY.ADDRESS "
                        "RELAY.CIRCUITID RELAY.CID RELAY.REMOTEID RELAY.RID RELAY.DEVICECLASS "
                        "RELAY.SID CM MTA OUTP.YIADDR IS_DISCOVER IS_REQUEST IS_RELEASE "
                        "IS_INFORM IS_DECLINE IS_LEASEQUERY DB.KEYVALUE DB.KEYVALUE.EXISTS "
                        "DEVICE.VENDORID DEVICE.TYPEID DEVICE.DESCRIPTION DEVICE.ID SERVER.IP "
                        "PROV.RULE PROV.ENABLED PROV.ACCNAME VENDOR.ID"));
  EXPECT_EQ(dhcpNames(*v6),
            sortedWords("INP OUTP CLIENTID HOPS XID DB.KEYVALUE DB.KEYVALUE.EXISTS CM MTA CLASSID "
                        "SERVER.IP DEVICE.ID DEVICE.VENDORID DEVICE.TYPEID DEVICE.DESCRIPTION "
                        "PROV.RULE PROV.ENABLED PROV.ACCNAME"));
  EXPECT_EQ(v4->functionNames().size(), 46u + 44u);
}

TEST(CDHCPEvalFactoryTest, FunctionsAndCompiledExpressionsArePerEvaluator) {
  CDHCPEvalFactory factory;
  CFamilyContext four(4);
  const CGeneralPtr<CExpEval> first = factory.instance(four, nullptr, nullptr);
  const CGeneralPtr<CExpEval> second = factory.instance(four, nullptr, nullptr);
  first->registerFunction("CM", [](CExpEval&, CMultiVariant& results, CMultiVariant&) {
    results.append(CVariant::fromString("replaced"));
  });
  EXPECT_NE(second->handlerOf("CM"), first->handlerOf("CM"));
  EXPECT_EQ(first->functionNames(), second->functionNames());

  const auto& cache = static_cast<const CDHCPEvalBase&>(*first).compiled();

  const CGeneralPtr<CSyntaxTreeProxy> tree = first->compile("1 + 2");
  EXPECT_EQ(first->compile("1 + 2"), tree);
  EXPECT_NE(second->compile("1 + 2"), tree);
  // The text is compared exactly.
  EXPECT_NE(first->compile("1+2"), tree);
  EXPECT_EQ(cache.size(), 2u);

  // A failed compile leaves no entry: the text fails again.
  const std::string unclosed = "Cannot parse expression '(1 + 2'. (Mismatched parentheses.)";
  EXPECT_EQ(qvt_test::errorText([&] { first->compile("(1 + 2"); }), unclosed);
  EXPECT_EQ(qvt_test::errorText([&] { first->compile("(1 + 2"); }), unclosed);
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_TRUE(cache.find("(1 + 2").isNull());

  CVariant value;
  first->execute(value, first->compile("1 + 2"));
  EXPECT_EQ(value.string(), "3");
  first->execute(value, first->compile("$CM"));
  EXPECT_EQ(value.string(), "replaced");
}

// ACE's count is process-wide, so these run in a child process. Each brings
// the count to two (pluginCreator counts as one), lets pluginDestroyer finalise
// once (1: not the last) and checks that one more fini is the last (0).
TEST(PluginEntryDeathTest, DestroyerBalancesAceInit) {
  EXPECT_EXIT(
      {
        ACE::init();
        ACE::init();
        const int destroyed = pluginDestroyer(nullptr);  // null: nothing to delete
        std::_Exit(destroyed == 1 && ACE::fini() == 0 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        CPlugin* plugin = pluginCreator();
        ACE::init();
        const int destroyed = pluginDestroyer(plugin);
        std::_Exit(destroyed == 1 && ACE::fini() == 0 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace qvt
