#include "integrations/kea/CHookSettings.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace qvt::kea {
namespace {

using isc::data::Element;

CHookSettings parsed(const std::string& json, int family = 4) {
  return CHookSettings::parse(Element::fromJSON(json), family);
}

TEST(CHookSettingsTest, ReadsEveryParameter) {
  const CHookSettings settings = parsed(R"({
      "module": "/m/dhcp_eval.so", "system-bus-module": "/m/bus.so",
      "dictionaries": "/d", "vendor-file": "/v.defs", "key-value-database": "kv.db",
      "db-timeout": 250, "shared-server-key-file": "/k", "rules-file": "/r",
      "server-ip": "192.0.2.1",
      "classes": [{"name": "cm", "expression": "$CM"}, {"name": "x", "expression": "1"}],
      "options": [{"code": 43, "expression": "'a'"}]})");
  EXPECT_EQ(settings.module, "/m/dhcp_eval.so");
  EXPECT_EQ(settings.systemBusModule, "/m/bus.so");
  EXPECT_EQ(settings.dictionaries, "/d");
  EXPECT_EQ(settings.vendorFile, "/v.defs");
  EXPECT_EQ(settings.keyValueDatabase, "kv.db");
  EXPECT_EQ(settings.dbTimeout.count(), 250);
  EXPECT_EQ(settings.sharedServerKeyFile, "/k");
  EXPECT_EQ(settings.rulesFile, "/r");
  EXPECT_EQ(settings.serverIp.value_or(""), "192.0.2.1");
  ASSERT_EQ(settings.classes.size(), 2u);
  EXPECT_EQ(settings.classes[1].name, "x");
  EXPECT_EQ(settings.classes[0].expression, "$CM");
  ASSERT_EQ(settings.options.size(), 1u);
  EXPECT_EQ(settings.options[0].code, 43);
}

TEST(CHookSettingsTest, ResolvesTheModulesNeighbours) {
  CHookSettings settings = parsed(R"({"module": "/opt/x/lib/dhcp_eval/dhcp_eval.so"})");
  settings.dictionaries = "/opt/dict";
  settings.resolve();
  EXPECT_EQ(settings.systemBusModule, "/opt/x/lib/dhcp_eval/system_bus.so");
  EXPECT_EQ(settings.vendorFile, "/opt/dict/vendors.defs");
  EXPECT_EQ(settings.dbTimeout.count(), 1000);
}

struct CRefusal {
  const char* json;
  int family;
  const char* reason;
};

void PrintTo(const CRefusal& row, std::ostream* out) {
  *out << row.reason;
}

class CHookSettingsRefusalTest : public ::testing::TestWithParam<CRefusal> {};

TEST_P(CHookSettingsRefusalTest, RefusesWithTheReason) {
  const CRefusal& row = GetParam();
  EXPECT_EQ(qvt_test::errorText([&] { parsed(row.json, row.family); }),
            std::string("Invalid parameters of the dhcp_eval hook. (") + row.reason + ")")
      << row.json;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CHookSettingsRefusalTest,
    ::testing::Values(
        CRefusal{"[]", 4, "The parameters must be a map."},
        CRefusal{"{}", 4, "Parameter 'module' is required."},
        CRefusal{R"({"module": "m.so", "modul": "x"})", 4, "Unknown parameter 'modul'."},
        CRefusal{R"({"module": 7})", 4, "Parameter 'module' must be a string."},
        CRefusal{R"({"module": ""})", 4, "Parameter 'module' must not be empty."},
        CRefusal{R"({"module": "m.so", "db-timeout": 0})", 4,
                 "'db-timeout' must be from 1 to 60000."},
        CRefusal{R"({"module": "m.so", "db-timeout": "5"})", 4,
                 "Parameter 'db-timeout' must be an integer."},
        CRefusal{R"({"module": "m.so", "classes": {}})", 4, "Parameter 'classes' must be a list."},
        CRefusal{R"({"module": "m.so", "classes": ["$CM"]})", 4,
                 "Entry 1 of 'classes' must be a map."},
        CRefusal{R"({"module": "m.so", "classes": [{"name": "a"}]})", 4,
                 "Entry 1 of 'classes' has no 'expression'."},
        CRefusal{
            R"({"module": "m.so", "classes": [{"name": "a", "expression": "1", "test": "x"}]})", 4,
            "Entry 1 of 'classes' has an unknown key 'test'."},
        CRefusal{R"({"module": "m.so", "classes": [{"name": "", "expression": "1"}]})", 4,
                 "Entry 1 of 'classes' has an empty 'name'."},
        CRefusal{R"({"module": "m.so", "classes": [{"name": "a", "expression": "1"},
                 {"name": "a", "expression": "2"}]})",
                 4, "Class 'a' is defined twice."},
        CRefusal{R"({"module": "m.so", "options": [{"code": "43", "expression": "1"}]})", 4,
                 "Entry 1 of 'options': 'code' must be an integer."},
        CRefusal{R"({"module": "m.so", "options": [{"code": 255, "expression": "1"}]})", 4,
                 "Option code 255 is out of range (1 to 254)."},
        CRefusal{R"({"module": "m.so", "options": [{"code": 65536, "expression": "1"}]})", 6,
                 "Option code 65536 is out of range (1 to 65535)."},
        CRefusal{R"({"module": "m.so", "options": [{"code": 23, "expression": "1"},
                 {"code": 23, "expression": "2"}]})",
                 6, "Option 23 is given twice."}));

}  // namespace
}  // namespace qvt::kea
