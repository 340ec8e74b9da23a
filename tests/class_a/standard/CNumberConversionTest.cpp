#include "class_a/standard/CNumberConversion.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/DataFile.h"

namespace qvt {
namespace {

// Runs a parser and gives its value as text, or "!" followed by the error.
using Parser = std::function<std::string(const std::string&)>;

template <class F>
Parser parser(F f) {
  return [f](const std::string& text) -> std::string {
    try {
      return std::to_string(f(text));
    } catch (const CNumberConversionException& e) {
      return "!" + e.operation() + ": " + e.text();
    }
  };
}

// The rows of data/numbers.txt.
TEST(CNumberConversionTest, ParsesEveryWidthAtItsBounds) {
  using C = CNumberConversion;
  const std::map<std::string, Parser> parsers = {
      {"toUInt64", parser([](const std::string& t) { return C::toUInt64(t); })},
      {"toInt64", parser([](const std::string& t) { return C::toInt64(t); })},
      {"toInt32", parser([](const std::string& t) { return C::toInt32(t); })},
      {"toLong", parser([](const std::string& t) { return C::toLong(t); })},
      {"toUInt32", parser([](const std::string& t) { return C::toUInt32(t); })},
      {"toULong", parser([](const std::string& t) { return C::toULong(t); })},
      {"toInt16", parser([](const std::string& t) { return C::toInt16(t); })},
      {"toShort", parser([](const std::string& t) { return C::toShort(t); })},
      {"toUInt16", parser([](const std::string& t) { return C::toUInt16(t); })},
      {"toInt8", parser([](const std::string& t) { return C::toInt8(t); })},
      {"toUInt8", parser([](const std::string& t) { return C::toUInt8(t); })},
  };
  const auto rows = qvt_test::dataLines("class_a/standard/data/numbers.txt");
  ASSERT_EQ(rows.size(), 35u) << "data/numbers.txt could not be read whole";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::size_t first = row.text.find('|');
    const std::size_t second = row.text.find('|', first + 1);
    const std::string text = row.text.substr(first + 1, second - first - 1);
    EXPECT_EQ(parsers.at(row.text.substr(0, first))(text), row.text.substr(second + 1));
  }
}

TEST(CNumberConversionTest, HonoursTheBase) {
  EXPECT_EQ(CNumberConversion::toUInt64("ff", 16), 255u);
  EXPECT_EQ(CNumberConversion::toUInt64("0xFF", 16), 255u);
  EXPECT_EQ(CNumberConversion::toUInt64("0x10", 0), 16u);
  EXPECT_EQ(CNumberConversion::toUInt64("010", 0), 8u);
  EXPECT_EQ(CNumberConversion::toInt64("-101", 2), -5);
  EXPECT_EQ(CNumberConversion::toUInt8("ff", 16), 255);
  EXPECT_THROW(CNumberConversion::toUInt8("100", 16), CNumberConversionException);
  EXPECT_THROW(CNumberConversion::toUInt64("12", 2), CNumberConversionException);
}

TEST(CNumberConversionTest, FloatingPointNeedsTheWholeTextInRange) {
  EXPECT_DOUBLE_EQ(CNumberConversion::toDouble("1.5e3"), 1500.0);
  EXPECT_FLOAT_EQ(CNumberConversion::toFloat("-0.25"), -0.25f);
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"", "Cannot deserialize number '' from text. (Invalid argument)"},
      {"1.5x", "Cannot deserialize number '1.5x' from text. (Invalid argument)"},
      {"1e999", "Cannot deserialize number '1e999' from text. (Numerical result out of range)"},
  };
  for (const auto& [text, expected] : refused) {
    SCOPED_TRACE(text);
    EXPECT_EQ(qvt_test::errorText([&text = text] { CNumberConversion::toDouble(text); }), expected);
  }
  EXPECT_THROW(CNumberConversion::toFloat("1e39"), CNumberConversionException);
}

TEST(CNumberConversionTest, ObjectFormKeepsSignAndMagnitude) {
  struct ObjectRow {
    std::string text;
    bool valid, hasSign, negative;
    std::uint64_t magnitude;
  };
  const std::vector<ObjectRow> rows = {
      {"5", true, false, false, 5},
      {"  -5", true, true, true, 5},
      {"+5", true, true, false, 5},
      {"18446744073709551615", true, false, false, 18446744073709551615u},
      {"18446744073709551616", false, false, false, 0},
      {"-9223372036854775808", true, true, true, 9223372036854775808u},
      {"-9223372036854775809", false, true, true, 0},
      {"+9223372036854775808", false, true, false, 0},
      {"5 ", false, false, false, 0},
      {"", false, false, false, 0},
      {"-", false, true, true, 0},
      {"- 5", false, true, true, 0},
      {"\n-5", true, true, true, 5},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("'" + row.text + "'");
    const CNumberConversion n(row.text);
    EXPECT_EQ(n.isValid(), row.valid);
    EXPECT_EQ(n.hasSign(), row.hasSign);
    EXPECT_EQ(n.isNegative(), row.negative);
    EXPECT_EQ(n.magnitude(), row.magnitude);
  }
  EXPECT_EQ(qvt_test::errorWhere([] { CNumberConversion("x1").value(); }),
            "CNumberConversion::value: Cannot deserialize number from text. (Value 'x1' is not a "
            "valid number.)");
  EXPECT_EQ(CNumberConversion("0x1f", 16).value(), 31u);
}

TEST(CNumberConversionTest, TryParsersNeverRaise) {
  const auto u64 = [](const std::string& t, std::uint64_t& out) {
    return CNumberConversion::tryParseUInt64(t.data(), t.data() + t.size(), out);
  };
  const auto i64 = [](const std::string& t, std::int64_t& out) {
    return CNumberConversion::tryParseInt64(t.data(), t.data() + t.size(), out);
  };
  std::uint64_t u = 7;
  std::int64_t i = 7;
  EXPECT_TRUE(u64("18446744073709551615", u));
  EXPECT_EQ(u, 18446744073709551615u);
  EXPECT_FALSE(u64("18446744073709551616", u));
  EXPECT_FALSE(u64("-1", u));
  EXPECT_FALSE(u64("", u));
  EXPECT_FALSE(u64(" 1", u));
  EXPECT_TRUE(i64("-9223372036854775808", i));
  EXPECT_EQ(i, INT64_MIN);
  EXPECT_FALSE(i64("9223372036854775808", i));
  EXPECT_FALSE(i64("1a", i));
  EXPECT_EQ(i, INT64_MIN);
}

TEST(CNumberConversionTest, FormatsNumbers) {
  EXPECT_EQ(CNumberConversion::toString(std::uint64_t{18446744073709551615u}),
            "18446744073709551615");
  EXPECT_EQ(CNumberConversion::toString(std::int64_t{INT64_MIN}), "-9223372036854775808");
  EXPECT_EQ(CNumberConversion::toString(std::uint8_t{255}), "255");
  EXPECT_EQ(CNumberConversion::toString(std::int8_t{-128}), "-128");
}

}  // namespace
}  // namespace qvt
