#include "class_a/standard/CStringMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CNumberConversion.h"

namespace qvt {
namespace {

using qvt_test::errorText;

TEST(CStringMapTest, SplitsLinesAtTheFirstEqualsSignAndTrimsBlanks) {
  struct Row {
    std::string text;
    std::string written;
  };
  const std::vector<Row> rows = {
      {"a=1", "a=1\n"},
      {" \ta \t= \t1 x\t ", "a=1 x\n"},
      {"url=http://h/?a=b", "url=http://h/?a=b\n"},
      {"flag", "flag=\n"},
      {"empty=", "empty=\n"},
      {"=value", "=value\n"},
      {"b=2\na=1\n", "a=1\nb=2\n"},
      {"a=1\r\nb=2\r\n", "a=1\nb=2\n"},
      {"name=x\r\r\r\n\rk\r=\r2", "k=2\nname=x\n"},  // written and read back alike
      {"\n  \n\t\na=1", "a=1\n"},
      {"k=first\nk=second", "k=first\nk=second\n"},
      {"B=1\na=2\n_=3", "B=1\n_=3\na=2\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(CStringMap(row.text).text(), row.written);
  }
}

TEST(CStringMapTest, ReadsTakeTheFirstEntryAndApplyDefaults) {
  const CStringMap map(
      "name=first\nname=second\nempty=\nnumber=-42\nbig=4294967295\n"
      "yes=yes\nT=True\nupper=TRUE\nlower=true\nblank=");
  EXPECT_EQ(map.getString("name", "d"), "first");
  EXPECT_EQ(map.getString("empty", "d"), "d");
  EXPECT_EQ(map.getString("absent", "d"), "d");
  EXPECT_TRUE(map.contains("empty"));
  EXPECT_FALSE(map.contains("Name"));

  EXPECT_EQ(map.getInt32("number", 7), -42);
  EXPECT_EQ(map.getInt32("empty", 7), 7);
  EXPECT_EQ(map.getUInt32("big", 7), 4294967295u);
  EXPECT_EQ(map.getUInt32("absent", 7), 7u);

  EXPECT_TRUE(map.getBool("T", false));
  EXPECT_TRUE(map.getBool("upper", false));
  EXPECT_TRUE(map.getBool("lower", false));
  EXPECT_FALSE(map.getBool("yes", true));
  EXPECT_FALSE(map.getBool("blank", true));  // present but empty: false, not the default
  EXPECT_TRUE(map.getBool("absent", true));
}

TEST(CStringMapTest, NumberErrorsComeFromTheParser) {
  const CStringMap map("n=12x\nsigned=-1\nhuge=2147483648");
  std::string expected = errorText([] { CNumberConversion::toInt32("12x"); });
  EXPECT_EQ(errorText([&] { map.getInt32("n", 0); }), expected);
  EXPECT_EQ(errorText([&] { map.getInt32("huge", 0); }),
            "Cannot deserialize number from text. (Value '2147483648' overflows 32 bits.)");
  expected = errorText([] { CNumberConversion::toUInt32("-1"); });
  EXPECT_EQ(errorText([&] { map.getUInt32("signed", 0); }), expected);
}

TEST(CStringMapTest, SetReplacesTheFirstEntryOnly) {
  CStringMap map("k=1\nk=2");
  map.set("k", "one");
  map.set("new", "x");
  map.setBool("flag", true);
  map.setInt32("i", -5);
  map.setUInt32("u", 4000000000u);
  EXPECT_EQ(map.text(), "flag=true\ni=-5\nk=one\nk=2\nnew=x\nu=4000000000\n");
  EXPECT_EQ(map.erase("k"), 2u);
  EXPECT_EQ(map.size(), 4u);
}

}  // namespace
}  // namespace qvt
