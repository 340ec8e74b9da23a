#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"

#include <ace/Init_ACE.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/extended/PluginExports.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/Severity.h"
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
  const std::vector<std::pair<std::uint32_t, std::string>> rows = {
      {0, "Cannot create an evaluator instance. (Unknown protocol family.)"},
      {1, "Cannot create an evaluator instance. (Unknown protocol family.)"},
      // Until the DHCPv4 and DHCPv6 evaluators exist.
      {4,
       "Cannot create an evaluator instance. (Evaluator for this protocol family is not "
       "available.)"},
      {6,
       "Cannot create an evaluator instance. (Evaluator for this protocol family is not "
       "available.)"},
  };
  CDHCPEvalFactory factory;
  for (const auto& [family, text] : rows) {
    SCOPED_TRACE("family " + std::to_string(family));
    CFamilyContext context(family);
    const auto e = qvt_test::caught([&] { factory.instance(context, nullptr, nullptr); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->operation() + ": " + e->text(), "CDHCPEvalFactoryPtr::instance: " + text);
    EXPECT_EQ(e->module() + " " + e->className(), "dhcp_eval qvt::CDHCPEvalFactory*");
    EXPECT_EQ(e->source(), &factory);
    EXPECT_EQ(e->severity(), kSeverityError);
  }
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
