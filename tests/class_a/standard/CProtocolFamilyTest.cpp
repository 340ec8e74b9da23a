#include "class_a/standard/CProtocolFamily.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace qvt {
namespace {

TEST(CProtocolFamilyTest, Mappings) {
  struct Row {
    std::uint32_t code;
    int osFamily;
    const char* text;
  };
  const std::vector<Row> rows = {{0, 0, ""}, {4, AF_INET, "4"}, {6, AF_INET6, "6"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    const CProtocolFamily family(row.code);
    EXPECT_EQ(family.pf_inet(), row.osFamily);
    EXPECT_EQ(CProtocolFamily::proto(row.osFamily).code(), row.code);
    EXPECT_EQ(family.string(), row.text);
    CProtocolFamily read(CProtocolFamily::kNone);
    read.string(row.text);
    EXPECT_EQ(read, family);
  }
  CProtocolFamily none;
  none.string("none");
  EXPECT_EQ(none.code(), CProtocolFamily::kNone);
  EXPECT_EQ(none.string(), "none");
  EXPECT_EQ(CProtocolFamily().code(), 0u);
  EXPECT_EQ(CProtocolFamily::addressSize(CProtocolFamily(4)), 4u);
  EXPECT_EQ(CProtocolFamily::addressSize(CProtocolFamily(6)), 16u);
  EXPECT_EQ(CProtocolFamily::addressSizeOs(AF_INET), 4u);
  EXPECT_EQ(CProtocolFamily::addressSizeOs(AF_INET6), 16u);
}

TEST(CProtocolFamilyTest, Errors) {
  CProtocolFamily family;
  struct Row {
    std::function<void()> action;
    const char* operation;
    const char* text;
  };
  const std::vector<Row> rows = {
      {[] { CProtocolFamily::proto(AF_UNIX); }, "CProtocolFamily::proto",
       "Cannot map protocol family '1'. (Invalid protocol family.)"},
      {[] { (void)CProtocolFamily(1).pf_inet(); }, "CProtocolFamily::pf_inet",
       "Cannot map protocol family '1'. (Unknown protocol family.)"},
      {[&] { family.string(" 4"); }, "CProtocolFamily::string",
       "Cannot set protocol family ' 4'. (Unknown protocol family.)"},
      {[] { CProtocolFamily(5); }, "CProtocolFamily::_checkValidity",
       "Cannot set protocol family. (Unknown protocol family '5'.)"},
      {[&] { family.code(2); }, "CProtocolFamily::_checkValidity",
       "Cannot set protocol family. (Unknown protocol family '2'.)"},
      {[] { CProtocolFamily::addressSize(CProtocolFamily()); }, "CProtocolFamily::addressSize",
       "Cannot determine address size. (Invalid or unknown protocol type '0'.)"},
      {[] { CProtocolFamily::addressSizeOs(0); }, "CProtocolFamily::addressSize",
       "Cannot determine address size. (Unknown protocol family '0'.)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(qvt_test::errorWhere(row.action), std::string(row.operation) + ": " + row.text);
  }
  EXPECT_EQ(family.code(), 0u);  // failed assignments change nothing
}

}  // namespace
}  // namespace qvt
