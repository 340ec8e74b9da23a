#include "class_a/standard/CNumberConversion.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CException.h"

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

struct Row {
  const char* name;
  Parser parse;
  std::string text;
  std::string expected;
};

const std::string kOverflow = "Cannot deserialize number from text. (Value '";
const std::string kInvalid = "' from text. (Invalid argument)";
const std::string kRange = "' from text. (Numerical result out of range)";

TEST(CNumberConversionTest, ParsesEveryWidthAtItsBounds) {
  const auto u64 = parser([](const std::string& t) { return CNumberConversion::toUInt64(t); });
  const auto i64 = parser([](const std::string& t) { return CNumberConversion::toInt64(t); });
  const auto i32 = parser([](const std::string& t) { return CNumberConversion::toInt32(t); });
  const auto lng = parser([](const std::string& t) { return CNumberConversion::toLong(t); });
  const auto u32 = parser([](const std::string& t) { return CNumberConversion::toUInt32(t); });
  const auto uln = parser([](const std::string& t) { return CNumberConversion::toULong(t); });
  const auto i16 = parser([](const std::string& t) { return CNumberConversion::toInt16(t); });
  const auto sht = parser([](const std::string& t) { return CNumberConversion::toShort(t); });
  const auto u16 = parser([](const std::string& t) { return CNumberConversion::toUInt16(t); });
  const auto i8 = parser([](const std::string& t) { return CNumberConversion::toInt8(t); });
  const auto u8 = parser([](const std::string& t) { return CNumberConversion::toUInt8(t); });
  const std::string u64Op = "!CNumberConversion::toUInt64: Cannot deserialize number '";
  const std::string i64Op = "!CNumberConversion::toInt64: Cannot deserialize number '";

  const std::vector<Row> rows = {
      {"u64", u64, "0", "0"},
      {"u64", u64, "18446744073709551615", "18446744073709551615"},
      {"u64", u64, "18446744073709551616", u64Op + "18446744073709551616" + kRange},
      {"u64", u64, "-0",
       "!CNumberConversion::toUInt64: Cannot deserialize number from text. "
       "(Invalid format '-0' appears signed.)"},
      {"u64", u64, "1-2",
       "!CNumberConversion::toUInt64: Cannot deserialize number from text. "
       "(Invalid format '1-2' appears signed.)"},
      {"u64", u64, " 5", "5"},
      {"u64", u64, "+5", "5"},
      {"u64", u64, "5 ", u64Op + "5 " + kInvalid},
      {"u64", u64, "", u64Op + kInvalid},
      {"u64", u64, "abc", u64Op + "abc" + kInvalid},
      {"i64", i64, "-9223372036854775808", "-9223372036854775808"},
      {"i64", i64, "9223372036854775807", "9223372036854775807"},
      {"i64", i64, "-9223372036854775809", i64Op + "-9223372036854775809" + kRange},
      {"i64", i64, "9223372036854775808", i64Op + "9223372036854775808" + kRange},
      {"i64", i64, "-0", "0"},
      {"i64", i64, "12abc", i64Op + "12abc" + kInvalid},
      {"i32", i32, "-2147483648", "-2147483648"},
      {"i32", i32, "2147483647", "2147483647"},
      {"i32", i32, "2147483648",
       "!CNumberConversion::toInt32: " + kOverflow + "2147483648' overflows 32 bits.)"},
      {"long", lng, "-2147483649",
       "!CNumberConversion::toLong: " + kOverflow + "-2147483649' overflows 32 bits.)"},
      {"u32", u32, "4294967295", "4294967295"},
      {"u32", u32, "4294967296",
       "!CNumberConversion::toUInt32: " + kOverflow + "4294967296' overflows 32 bits.)"},
      {"ulong", uln, "4294967296",
       "!CNumberConversion::toULong: " + kOverflow + "4294967296' overflows 32 bits.)"},
      {"u32", u32, "-1",
       "!CNumberConversion::toUInt64: Cannot deserialize number from text. "
       "(Invalid format '-1' appears signed.)"},
      {"i16", i16, "-32768", "-32768"},
      {"i16", i16, "32767", "32767"},
      {"i16", i16, "32768",
       "!CNumberConversion::toInt16: " + kOverflow + "32768' overflows 16 bits.)"},
      {"short", sht, "-32769",
       "!CNumberConversion::toShort: " + kOverflow + "-32769' overflows 16 bits.)"},
      {"u16", u16, "65535", "65535"},
      {"u16", u16, "65536",
       "!CNumberConversion::toUInt16: " + kOverflow + "65536' overflows 16 bits.)"},
      {"i8", i8, "-128", "-128"},
      {"i8", i8, "127", "127"},
      {"i8", i8, "-129", "!CNumberConversion::toInt8: " + kOverflow + "-129' overflows 8 bits.)"},
      {"i8", i8, "128", "!CNumberConversion::toInt8: " + kOverflow + "128' overflows 8 bits.)"},
      {"u8", u8, "255", "255"},
      {"u8", u8, "256", "!CNumberConversion::toUInt8: " + kOverflow + "256' overflows 8 bits.)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.name) + "('" + row.text + "')");
    EXPECT_EQ(row.parse(row.text), row.expected);
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
