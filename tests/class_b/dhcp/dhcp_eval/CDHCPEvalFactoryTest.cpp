#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"

#include <ace/Init_ACE.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
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
  CDHCPEvalFactory factory;
  EXPECT_EQ(factory.name(), "Expression Evaluator");
  EXPECT_EQ(factory.types(), "CIDHCPEvalFactory,CPlugin");
  EXPECT_EQ(factory.dependencies(), "CISystemBusFactory");
  EXPECT_TRUE(factory.prepare({}));
  EXPECT_EQ(factory.initialize(), 0);
  EXPECT_EQ(factory.version(), kPluginInterfaceVersion);
  EXPECT_EQ(factory.runOrder(), 0);
  EXPECT_EQ(factory.run(), 0);
  // isA reads the types above (its rules are CPlugin's).
  EXPECT_TRUE(factory.isA("CIDHCPEvalFactory"));
  EXPECT_FALSE(factory.isA("CISystemBusFactory"));
}

TEST(CDHCPEvalFactoryTest, InstanceRefusesFamilies) {
  CDHCPEvalFactory factory;
  for (const std::uint32_t family : {CProtocolFamily::kUnspecified, CProtocolFamily::kNone}) {
    SCOPED_TRACE("family " + std::to_string(family));
    CFamilyContext context(family);
    const auto e = qvt_test::caught([&] { factory.instance(context, nullptr, nullptr); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->operation() + ": " + e->text(),
              "CDHCPEvalFactoryPtr::instance: Cannot create an evaluator instance. (Unknown "
              "protocol family.)");
    EXPECT_EQ(e->module() + " " + e->className(), "dhcp_eval qvt::CDHCPEvalFactory*");
    EXPECT_EQ(e->source(), &factory);
    EXPECT_EQ(e->severity(), kSeverityError);
  }
}

// names: the DHCP names an evaluator of family has beside the built-ins.
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

  std::vector<std::string> names4 = {"INP",
                                     "OUTP",
                                     "INP_HAS",
                                     "BOOTP",
                                     "HWADDR",
                                     "HTYPE",
                                     "HLEN",
                                     "HOPS",
                                     "SECS",
                                     "XID",
                                     "COOKIE",
                                     "HOSTNAME",
                                     "BOOTFILE",
                                     "VENDORSPECIFIC",
                                     "CLASSID",
                                     "CLIENTID",
                                     "USERCLASS",
                                     "RELAY.ADDRESS",
                                     "RELAY.CIRCUITID",
                                     "RELAY.CID",
                                     "RELAY.REMOTEID",
                                     "RELAY.RID",
                                     "RELAY.DEVICECLASS",
                                     "RELAY.SID",
                                     "CM",
                                     "MTA",
                                     "OUTP.YIADDR",
                                     "IS_DISCOVER",
                                     "IS_REQUEST",
                                     "IS_RELEASE",
                                     "IS_INFORM",
                                     "IS_DECLINE",
                                     "IS_LEASEQUERY",
                                     "DB.KEYVALUE",
                                     "DB.KEYVALUE.EXISTS",
                                     "DEVICE.VENDORID",
                                     "DEVICE.TYPEID",
                                     "DEVICE.DESCRIPTION",
                                     "DEVICE.ID",
                                     "SERVER.IP",
                                     "PROV.RULE",
                                     "PROV.ENABLED",
                                     "PROV.ACCNAME",
                                     "VENDOR.ID"};
  std::vector<std::string> names6 = {"INP",
                                     "OUTP",
                                     "CLIENTID",
                                     "HOPS",
                                     "XID",
                                     "DB.KEYVALUE",
                                     "DB.KEYVALUE.EXISTS",
                                     "CM",
                                     "MTA",
                                     "CLASSID",
                                     "SERVER.IP",
                                     "DEVICE.ID",
                                     "DEVICE.VENDORID",
                                     "DEVICE.TYPEID",
                                     "DEVICE.DESCRIPTION",
                                     "PROV.RULE",
                                     "PROV.ENABLED",
                                     "PROV.ACCNAME"};
  ASSERT_EQ(names4.size(), 44u);
  ASSERT_EQ(names6.size(), 18u);
  std::sort(names4.begin(), names4.end());
  std::sort(names6.begin(), names6.end());
  EXPECT_EQ(dhcpNames(*v4), names4);
  EXPECT_EQ(dhcpNames(*v6), names6);
  EXPECT_EQ(v4->functionNames().size(), 46u + 44u);
  // Names that share a handler.
  EXPECT_EQ(v4->handlerOf("RELAY.CID"), v4->handlerOf("RELAY.CIRCUITID"));
  EXPECT_EQ(v4->handlerOf("RELAY.RID"), v4->handlerOf("RELAY.REMOTEID"));
  EXPECT_EQ(v4->handlerOf("VENDOR.ID"), v4->handlerOf("DEVICE.TYPEID"));
  EXPECT_EQ(v6->handlerOf("DEVICE.ID"), v6->handlerOf("CLIENTID"));
}

TEST(CDHCPEvalFactoryTest, RegistrationReplacesANameOfOneEvaluatorOnly) {
  CDHCPEvalFactory factory;
  CFamilyContext four(4);
  const CGeneralPtr<CExpEval> mine = factory.instance(four, nullptr, nullptr);
  const CGeneralPtr<CExpEval> other = factory.instance(four, nullptr, nullptr);
  mine->registerFunction("CM", [](CExpEval&, CMultiVariant& results, CMultiVariant&) {
    results.append(CVariant::fromString("replaced"));
  });
  CVariant value;
  mine->execute(value, mine->compile("$CM"));
  EXPECT_EQ(value.string(), "replaced");
  EXPECT_NE(other->handlerOf("CM"), mine->handlerOf("CM"));
  EXPECT_EQ(mine->functionNames(), other->functionNames());
}

TEST(CDHCPEvalFactoryTest, CompiledExpressionsAreCachedPerEvaluator) {
  CDHCPEvalFactory factory;
  CFamilyContext four(4);
  const CGeneralPtr<CExpEval> first = factory.instance(four, nullptr, nullptr);
  const CGeneralPtr<CExpEval> second = factory.instance(four, nullptr, nullptr);
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
}

TEST(CDHCPEvalFactoryTest, ProtocolContextBase) {
  const CProtocolContext context(nullptr, std::string("dhcp4"));
  EXPECT_EQ(context.protocolFamily().code(), CProtocolFamily::kUnspecified);
  EXPECT_EQ(context.name(), "dhcp4");
  EXPECT_EQ(context.hostContext(), nullptr);
}

TEST(PluginEntryTest, CreatorMakesTheFactory) {
  CPlugin* plugin = pluginCreator();
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->name(), "Expression Evaluator");
  EXPECT_TRUE(plugin->isA("CIDHCPEvalFactory"));
  pluginDestroyer(plugin);
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
