#include "class_b/dhcp/dhcp_base/CNumericPath.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_b/dhcp/dhcp_base/CTagPath.h"
#include "class_b/dhcp/dhcp_base/CVendorID.h"

namespace qvt {
namespace {

using qvt_test::errorText;

template <class Path>
std::vector<typename Path::value_type> elements(const Path& path) {
  return std::vector<typename Path::value_type>(path.begin(), path.end());
}

TEST(CNumericPathTest, ParsesTagPathText) {
  struct Row {
    std::string text;
    std::vector<std::uint32_t> expected;
  };
  const std::vector<Row> rows = {
      {"43/1", {43, 1}},
      {"43/'ab'/0x10", {43, 97, 98, 16}},
      {"/43//", {43}},
      {"", {}},
      {" 43 \t/\n1 ", {43, 1}},
      {"\"43\"/\"1\"", {43, 1}},
      {"010/0X1f", {8, 31}},
      {"'a/b'", {97, 47, 98}},
      {"''/1", {1}},
      {"12abc/abc", {12, 0}},
      {"-1", {0xffffffffu}},
      {"4294967295/4294967296/-4294967296", {0xffffffffu, 0xffffffffu, 0xffffffffu}},
      {"'\xe9'", {0xffffffe9u}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(elements(CTagPath(row.text)), row.expected);
  }
}

TEST(CNumericPathTest, VendorIdsAreSigned) {
  EXPECT_EQ(elements(CVendorID("'\xe9'/-1/4491")), (std::vector<std::int32_t>{-23, -1, 4491}));
  EXPECT_EQ(elements(CVendorID()), std::vector<std::int32_t>{0});
  EXPECT_EQ(CVendorID().string(), "0");
  EXPECT_TRUE(CTagPath().empty());
}

TEST(CNumericPathTest, WritesLargeValuesInHexadecimal) {
  struct Row {
    std::vector<std::uint32_t> elements;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {{}, ""},
      {{43, 65535}, "43/65535"},
      {{65536}, "0x10000"},
      {{0xffffffe2u, 0}, "0xffffffe2/0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    const CTagPath path(row.elements.data(), row.elements.size());
    EXPECT_EQ(path.string(), row.expected);
    EXPECT_EQ(CTagPath(path.string()), path);  // the text reads back
  }
  EXPECT_EQ(CVendorID("-1/4491").string(), "0xffffffff/4491");
  EXPECT_EQ(CTagPath("1.2.3", '.').string(), "1.2.3");
}

TEST(CNumericPathTest, RefusesMoreThanOneHundredElements) {
  std::vector<std::uint32_t> values(101, 7);
  CTagPath full(values.data(), 100);
  EXPECT_EQ(errorText([&] { full.push_back(1); }),
            "Cannot append to numeric path. (Depth 101 is larger than the maximum allowed depth "
            "of 100.)");
  EXPECT_EQ(full.depth(), 100u);
  // The error names the caller's module when one is given.
  EXPECT_EQ(qvt_test::caught([&] { full.push_back(1); })->module(), "dhcp_base");
  const auto e = qvt_test::caught([&] { full.push_back(1, "dhcp_eval"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->module() + " " + e->operation() + " " + e->className(),
            "dhcp_eval CNumericPath::push_back qvt::CTagPath");
  EXPECT_EQ(errorText([&] { CTagPath(values.data(), 101); }),
            "Cannot create numeric path. (Depth 101 is larger than the maximum allowed depth of "
            "100.)");

  std::string text = "1";
  for (int i = 0; i < 100; ++i)
    text += "/1";
  EXPECT_EQ(errorText([&] { CTagPath{text}; }),
            "Cannot append to numeric path. (Depth 101 is larger than the maximum allowed depth "
            "of 100.)");

  CTagPath half(values.data(), 50);
  CTagPath more(values.data(), 51);
  EXPECT_EQ(errorText([&] { half += more; }),
            "Cannot concatenate two numeric paths. (Maximum path depth of 100 exceeded.)");
  EXPECT_EQ(half.depth(), 50u);
  half += half;
  EXPECT_EQ(half.depth(), 100u);
}

TEST(CNumericPathTest, OrdersElementByElementThenShorterFirst) {
  EXPECT_LT(CTagPath("43"), CTagPath("43/1"));
  EXPECT_LT(CTagPath("43/2"), CTagPath("82"));
  EXPECT_FALSE(CTagPath("82") < CTagPath("82"));
  EXPECT_LT(CVendorID("-1"), CVendorID("0"));  // signed order
  EXPECT_LT(CTagPath("0"), CTagPath("-1"));    // unsigned order
  EXPECT_EQ(CTagPath("43/1"), CTagPath("43.1", '.'));
  EXPECT_NE(CTagPath("43/1"), CTagPath("43/1/0"));

  CTagPath path("1/2/3");
  path.reverse();
  EXPECT_EQ(path.string(), "3/2/1");
}

}  // namespace
}  // namespace qvt
