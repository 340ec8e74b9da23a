#include "class_a/standard/CVariantConversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CVariant.h"
#include "class_a/standard/VariantDescription.h"

namespace qvt {
namespace {

using T = CVariantType;
using S = CVariantSubType;
using qvt_test::describe;

CHexStore bytesOf(std::vector<unsigned char> raw) {
  return CHexStore(raw.data(), raw.size());
}

// convertText: the converted variant's description, or the error's whole text.
// A failed conversion must leave the variant as it was.
std::string convertText(const CVariant& source, CVariantType type, CVariantSubType subtype,
                        const std::string& hint = std::string()) {
  CVariant v(source);
  try {
    v.convert(type, subtype, hint);
    return describe(v);
  } catch (const CException& e) {
    EXPECT_EQ(describe(v), describe(source)) << "changed by a failed conversion";
    if (e.operation().rfind("CVariant", 0) == 0) {
      EXPECT_EQ(e.className(), "static");
    }
    EXPECT_EQ(e.module(), "standard");
    return e.text();
  }
}

std::string forbidden(const char* from, const char* to) {
  return std::string("Cannot convert from type '") + from + "' to '" + to +
         "'. (Invalid conversion.)";
}

TEST(CVariantConversionTest, WholeMatrix) {
  const std::vector<CVariant> sources = {
      CVariant(),
      CVariant(CIPAddress("10.0.0.1")),
      CVariant(true),
      CVariant(CTimeT(300)),
      CVariant::fromString("10.0.0.1"),
      CVariant(bytesOf({0x0A, 0x00, 0x00, 0x01})),
      CVariant(std::int64_t{300}),
      CVariant(CEndpoint(CIPAddress("10.0.0.1"), 67)),
      CVariant(std::uint64_t{167772161}),
  };
  const char* const n[] = {"unknown",       "ip address", "boolean",     "time",    "string",
                           "byte sequence", "integer",    "ip endpoint", "uinteger"};
  const std::string noFamily =
      "Cannot determine ip address type from variant subtype. (Variant subtype does not map to "
      "an ip address type.)";
  // expected[from][to], converting with subtype general.
  const std::vector<std::vector<std::string>> expected = {
      {"unknown/general:", forbidden(n[0], n[1]), "boolean/general:false", forbidden(n[0], n[3]),
       "string/general:", forbidden(n[0], n[5]), forbidden(n[0], n[6]), forbidden(n[0], n[7]),
       forbidden(n[0], n[8])},
      {forbidden(n[1], n[0]), "ip address/general:10.0.0.1", "boolean/general:true",
       forbidden(n[1], n[3]), "string/general:10.0.0.1", "byte sequence/general:0A-00-00-01",
       "integer/general:167772161", "ip endpoint/general:10.0.0.1:0", "uinteger/general:167772161"},
      {forbidden(n[2], n[0]), forbidden(n[2], n[1]), "boolean/general:true", forbidden(n[2], n[3]),
       "string/general:true", "byte sequence/general:01", "integer/general:1",
       forbidden(n[2], n[7]), "uinteger/general:1"},
      {forbidden(n[3], n[0]), forbidden(n[3], n[1]), "boolean/general:true", "time/general:300",
       "string/general:Thu Jan  1 00:05:00 1970", "byte sequence/general:00-00-00-00-00-00-01-2C",
       "integer/general:300", forbidden(n[3], n[7]), "uinteger/general:300"},
      {forbidden(n[4], n[0]), "ip address/general:10.0.0.1", "boolean/general:true",
       "time/general:0", "string/general:10.0.0.1", "byte sequence/general:31-30-2E-30-2E-30-2E-31",
       "integer/general:10", "ip endpoint/general:10.0.0.1:0", "uinteger/general:10"},
      {forbidden(n[5], n[0]), "ip address/ipv4:10.0.0.1", "boolean/general:true",
       "Cannot convert byte sequence '0A-00-00-01' to a time value. (Invalid size.)",
       "string/general:0A-00-00-01", "byte sequence/general:0A-00-00-01",
       "integer/general:167772161", forbidden(n[5], n[7]), "uinteger/general:167772161"},
      {forbidden(n[6], n[0]), noFamily, "boolean/general:true", "time/general:300",
       "string/general:300", "byte sequence/general:01-2C", "integer/general:300",
       forbidden(n[6], n[7]), "uinteger/general:300"},
      {forbidden(n[7], n[0]), "ip address/general:10.0.0.1", forbidden(n[7], n[2]),
       forbidden(n[7], n[3]), "string/general:10.0.0.1:67", forbidden(n[7], n[5]),
       forbidden(n[7], n[6]), "ip endpoint/general:10.0.0.1:67", forbidden(n[7], n[8])},
      {forbidden(n[8], n[0]), noFamily, "boolean/general:true", "time/general:167772161",
       "string/general:167772161", "byte sequence/general:00-00-00-00-0A-00-00-01",
       "integer/general:167772161", forbidden(n[8], n[7]), "uinteger/general:167772161"},
  };
  for (std::uint32_t from = 0; from < T::kCount; ++from) {
    for (std::uint32_t to = 0; to < T::kCount; ++to) {
      SCOPED_TRACE(std::string(n[from]) + " -> " + n[to]);
      // CVariantConversion runs the rule even where CVariant::convert would
      // find nothing to do.
      CVariant v(sources[from]);
      std::string result;
      try {
        CVariantConversion::convert(v, CVariantType(to), S::kGeneral);
        result = describe(v);
      } catch (const CException& e) {
        result = e.text();
        EXPECT_EQ(describe(v), describe(sources[from]));
      }
      EXPECT_EQ(result, expected[from][to]);
    }
  }
}

TEST(CVariantConversionTest, ForbiddenConversionNamesItsOperation) {
  EXPECT_EQ(convertText(CVariant(std::int64_t{1}), T::kUnknown, S::kGeneral),
            forbidden("integer", "unknown"));
  const auto e = qvt_test::caught([] { CVariant(std::int64_t{1}).convert(T::kUnknown); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation(), "CVariantConversion::_forbiddenConversion");
  EXPECT_EQ(e->className(), "static");
}

struct RuleRow {
  CVariant source;
  CVariantType to;
  std::string expected;  // description or whole error text
  CVariantSubType subtype = S::kGeneral;
};

CVariant str(const char* text) {
  return CVariant::fromString(text);
}
CVariant i64(std::int64_t value) {
  return CVariant(value);
}
CVariant u64(std::uint64_t value) {
  return CVariant(value);
}

TEST(CVariantConversionTest, RuleExamples) {
  const std::vector<unsigned char> nine = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::vector<RuleRow> rows = {
      // Numbers to bytes: fewest bytes, no 7-byte form; a uinteger always 8.
      {i64(0), T::kHexStore, "byte sequence/general:00"},
      {i64(0x123456), T::kHexStore, "byte sequence/general:12-34-56"},
      {i64(0xFFFFFFFFFFFF), T::kHexStore, "byte sequence/general:FF-FF-FF-FF-FF-FF"},
      {i64(0x1000000000000), T::kHexStore, "byte sequence/general:00-01-00-00-00-00-00-00"},
      {i64(-1), T::kHexStore, "byte sequence/general:FF-FF-FF-FF-FF-FF-FF-FF"},
      {u64(1), T::kHexStore, "byte sequence/general:00-00-00-00-00-00-00-01"},
      {CVariant(false), T::kHexStore, "byte sequence/general:00"},
      {str("ab"), T::kHexStore, "byte sequence/general:61-62"},
      {CVariant(CIPAddress("::1")), T::kHexStore,
       "byte sequence/general:00-00-00-00-00-00-00-00-00-00-00-00-00-00-00-01"},
      // Bytes to numbers, times and addresses.
      {CVariant(bytesOf({0x01, 0x2C})), T::kInteger, "integer/general:300"},
      {CVariant(CHexStore()), T::kInteger, "integer/general:0"},
      {CVariant(bytesOf({0xFF})), T::kInteger, "integer/general:255"},
      {CVariant(bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), T::kInteger,
       "integer/general:-1"},
      {CVariant(bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), T::kUInteger,
       "uinteger/general:18446744073709551615"},
      {CVariant(bytesOf(nine)), T::kInteger,
       "Cannot convert byte sequence '01-02-03-04-05-06-07-08-09' to an integer. (Integer "
       "overflow.)"},
      {CVariant(bytesOf(nine)), T::kUInteger,
       "Cannot convert byte sequence '01-02-03-04-05-06-07-08-09' to an unsigned integer. (Integer "
       "overflow.)"},
      {CVariant(bytesOf({0, 0, 0, 0, 0, 0, 0x01, 0x2C})), T::kTime, "time/general:300"},
      {CVariant(bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE})), T::kTime,
       "time/general:-2"},
      {CVariant(bytesOf({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1})), T::kIPAddress,
       "ip address/ipv6:::1"},
      {CVariant(bytesOf({1, 2, 3, 4, 5})), T::kIPAddress,
       "Illegal operation. (Address length does not match any known address type.)"},
      {CVariant(CHexStore()), T::kBoolean, "boolean/general:false"},
      // Text to numbers: scanf reading.
      {str("0x10"), T::kInteger, "integer/general:16"},
      {str("010"), T::kInteger, "integer/general:8"},
      {str("12abc"), T::kInteger, "integer/general:12"},
      {str(" \t-0x1F"), T::kInteger, "integer/general:-31"},
      {str("0x"), T::kInteger, "integer/general:0"},
      {str("99999999999999999999"), T::kInteger, "integer/general:9223372036854775807"},
      {str("-99999999999999999999"), T::kInteger, "integer/general:-9223372036854775808"},
      {str("abc"), T::kInteger,
       "Cannot convert variant value 'abc' to type 'integer'. (Value is not an integer.)"},
      {str(""), T::kInteger,
       "Cannot convert variant value '' to type 'integer'. (Value is not an integer.)"},
      {str("-1"), T::kUInteger, "uinteger/general:18446744073709551615"},
      {str("0x10"), T::kUInteger, "uinteger/general:0"},
      {str("010"), T::kUInteger, "uinteger/general:10"},
      {str("x1"), T::kUInteger,
       "Cannot convert variant value 'x1' to type 'uinteger'. (Value is not an integer.)"},
      // Text to booleans, times, addresses and endpoints.
      {str("False"), T::kBoolean, "boolean/general:false"},
      {str(""), T::kBoolean, "boolean/general:false"},
      {str("yes"), T::kBoolean, "boolean/general:true"},
      {str("0"), T::kBoolean, "boolean/general:true"},
      {str("Thu Jan  1 00:01:40 1970"), T::kTime, "time/general:100"},
      {str("not a date"), T::kTime, "time/general:0"},
      {str("fe80::1"), T::kIPAddress, "ip address/ipv6:fe80::1", S::kIPv6},
      {str("10.0.0.1"), T::kIPAddress, "ip address/ipv6:::ffff:10.0.0.1", S::kIPv6},
      {str("nope"), T::kIPAddress,
       "Cannot create an ip address. (Text 'nope' is not a valid IP address.)", S::kIPv4},
      {str("::1"), T::kIPAddress,
       "Cannot map address ::1 to ipv4. (Address is not a v6-mapped-v4 address.)", S::kIPv4},
      {str("[::1]:547"), T::kEndpoint, "ip endpoint/general:[::1]:547"},
      // Numbers to addresses, booleans and text.
      {u64(167772161), T::kIPAddress, "ip address/ipv4:10.0.0.1", S::kIPv4},
      {u64(0x10A000001), T::kIPAddress, "ip address/ipv4:10.0.0.1", S::kIPv4},
      {i64(-1), T::kIPAddress, "ip address/ipv4:255.255.255.255", S::kIPv4},
      {i64(1), T::kIPAddress, "ip address/ipv6:::1", S::kIPv6},
      {i64(-1), T::kBoolean, "boolean/general:false"},
      {i64(0), T::kBoolean, "boolean/general:false"},
      {i64(-5), T::kString, "string/general:-5"},
      {i64(-5), T::kUInteger, "uinteger/general:18446744073709551611"},
      {u64(18446744073709551615u), T::kInteger, "integer/general:-1"},
      // Addresses and endpoints.
      {CVariant(CIPAddress("10.0.0.1")), T::kIPAddress, "ip address/ipv6:::ffff:10.0.0.1",
       S::kIPv6},
      {CVariant(CIPAddress("::ffff:10.0.0.1")), T::kIPAddress, "ip address/ipv4:10.0.0.1",
       S::kIPv4},
      {CVariant(CIPAddress("0.0.0.0")), T::kBoolean, "boolean/general:true"},
      {CVariant(T::kIPAddress), T::kBoolean, "boolean/general:false"},
      {CVariant(T::kIPAddress), T::kString,
       "Illegal operation. (Unknown address types cannot be serialized.)"},
      {CVariant(CIPAddress("::1")), T::kUInteger, "uinteger/general:1"},
      {CVariant(CIPAddress("::1:0:0:0")), T::kInteger, "integer/general:281474976710656"},
      {CVariant(CIPAddress("ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff")), T::kUInteger,
       "uinteger/general:18446744073709551615"},
      {CVariant(CIPAddress("1::")), T::kInteger, "integer/general:9223372036854775807"},
      {CVariant(CEndpoint(CIPAddress("::ffff:10.0.0.1"), 67)), T::kIPAddress,
       "ip address/ipv4:10.0.0.1", S::kIPv4},
      {CVariant(CEndpoint(CIPAddress("fe80::1"), 547)), T::kString, "string/general:[fe80::1]:547"},
      // Times.
      {CVariant(CTimeT(0)), T::kBoolean, "boolean/general:false"},
      {CVariant(CTimeT(86400)), T::kString, "string/general:Fri Jan  2 00:00:00 1970"},
      {CVariant(CTimeT(-1)), T::kString, "Cannot display time string. (Invalid time.)"},
      {CVariant(CTimeT(-2)), T::kInteger, "integer/general:-2"},
      // Re-tagging.
      {str("x"), T::kString, "string/function name:x", S::kFunctionName},
      {i64(7), T::kInteger, "integer/9:7", CVariantSubType(9)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(describe(row.source) + " -> " + row.to.name() + "/" + row.subtype.name());
    EXPECT_EQ(convertText(row.source, row.to, row.subtype), row.expected);
  }
}

TEST(CVariantConversionTest, SeparatorHintOnlyForByteSequenceText) {
  const CVariant bytes(bytesOf({0x0A, 0x00, 0x01}));
  EXPECT_EQ(convertText(bytes, T::kString, S::kGeneral, ":"), "string/general:0A:00:01");
  EXPECT_EQ(convertText(bytes, T::kString, S::kGeneral, ""), "string/general:0A-00-01");
  EXPECT_EQ(bytes.string(" "), "0A 00 01");
  EXPECT_EQ(convertText(CVariant(std::int64_t{5}), T::kString, S::kGeneral, ":"),
            "string/general:5");
  CHexStore own = bytesOf({0x01, 0x02});
  own.setSeparator("::");
  EXPECT_EQ(CVariant(own).string(), "01::02");
}

TEST(CVariantConversionTest, UnreadableDateKeepsTargetTime) {
  CVariant target(CTimeT(42));
  CVariantConversion::convertInto(CVariant::fromString("garbage"), target, T::kTime, S::kGeneral,
                                  "");
  EXPECT_EQ(describe(target), "time/general:42");
}

}  // namespace
}  // namespace qvt
