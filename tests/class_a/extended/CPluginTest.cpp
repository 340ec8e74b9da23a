#include "class_a/extended/CPlugin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvt {
namespace {

// The smallest concrete plugin; types() is whatever the test sets.
class CBarePlugin : public CPlugin {
 public:
  bool prepare(const CPluginList&) override { return true; }
  std::int32_t initialize() override { return 0; }
  void finalize() override {}
  void configure() override {}
  void reconfigure() override {}
  std::int32_t version() const override { return kPluginInterfaceVersion; }
  std::string types() const override { return typesText.empty() ? CPlugin::types() : typesText; }
  std::string typesText;
};

TEST(CPluginTest, BaseAnswers) {
  CBarePlugin plugin;
  EXPECT_EQ(plugin.name(), "<unnamed>");
  EXPECT_EQ(plugin.types(), "CPlugin");
  EXPECT_EQ(plugin.dependencies(), "");
  EXPECT_EQ(plugin.runOrder(), 0);
  EXPECT_EQ(plugin.run(), 0);
}

TEST(CPluginTest, IsAComparesTrimmedPiecesExactly) {
  struct Row {
    std::string types;
    std::string typeName;
    bool expected;
  };
  const std::vector<Row> rows = {
      {"CIDHCPEvalFactory,CPlugin", "CPlugin", true},
      {"CIDHCPEvalFactory,CPlugin", " CPlugin", false},  // the argument is not trimmed
      {"CIDHCPEvalFactory,CPlugin", "CPlugin ", false},
      {"CIDHCPEvalFactory,CPlugin", "cplugin", false},
      {"CIDHCPEvalFactory,CPlugin", "", false},
      {"CIDHCPEvalFactory,CPlugin", "CIDHCPEval", false},
      {"CIDHCPEvalFactory,CPlugin", "CIDHCPEvalFactory,CPlugin", false},
      {"  IFirst ,   ISecond  ", "IFirst", true},
      {"  IFirst ,   ISecond  ", "ISecond", true},
      {"IFirst\t,ISecond", "IFirst", false},  // only spaces are trimmed
      {"IFirst,,ISecond", "", true},          // an empty piece matches an empty name
      {"", "CPlugin", true},                  // empty types fall back to the base's "CPlugin"
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("types '" + row.types + "', isA('" + row.typeName + "')");
    CBarePlugin plugin;
    plugin.typesText = row.types;
    EXPECT_EQ(plugin.isA(row.typeName), row.expected);
  }
}

}  // namespace
}  // namespace qvt
