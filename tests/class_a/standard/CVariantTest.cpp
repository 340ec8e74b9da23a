#include "class_a/standard/CVariant.h"

#include <gtest/gtest.h>
#include <netinet/in.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/DataFile.h"
#include "class_a/standard/VariantDescription.h"

namespace qvt {
namespace {

using T = CVariantType;
using S = CVariantSubType;
using qvt_test::describe;
using qvt_test::typeNamed;

// outcome: the description of what make() returns, or the whole error text.
std::string outcome(const std::function<CVariant()>& make) {
  try {
    return describe(make());
  } catch (const CException& e) {
    return e.text();
  }
}

CVariant str(const std::string& text) {
  return CVariant::fromString(text);
}
CVariant i64(std::int64_t value) {
  return CVariant(value);
}
CVariant u64(std::uint64_t value) {
  return CVariant(value);
}
CVariant ip(const std::string& text) {
  return CVariant(CIPAddress(text));
}

TEST(CVariantTest, ConstructionFromValues) {
  CHexStore bytes;
  bytes.append(0xAB);
  const std::vector<std::pair<CVariant, std::string>> rows = {
      {CVariant(), "unknown/general:"},
      {CVariant(5), "integer/general:5"},
      {CVariant(-5L), "integer/general:-5"},
      {CVariant(static_cast<short>(-2)), "integer/general:-2"},
      {CVariant(5u), "uinteger/general:5"},
      {CVariant(std::uint8_t{200}), "uinteger/general:200"},
      {CVariant(std::numeric_limits<std::uint64_t>::max()),
       "uinteger/general:18446744073709551615"},
      {CVariant(true), "boolean/general:true"},
      {CVariant(CTimeT(7)), "time/general:7"},
      {CVariant(bytes), "byte sequence/general:AB"},
      {CVariant(CEndpoint(CIPAddress("10.0.0.1"), 67)), "ip endpoint/general:10.0.0.1:67"},
      {ip("10.0.0.1"), "ip address/ipv4:10.0.0.1"},
      {ip("fe80::1"), "ip address/ipv6:fe80::1"},
      // A type code alone gives that type's empty value.
      {CVariant(T::kUnknown), "unknown/general:"},
      {CVariant(T::kIPAddress), "ip address/general:none"},
      {CVariant(T::kBoolean), "boolean/general:false"},
      {CVariant(T::kTime), "time/general:0"},
      {CVariant(T::kString), "string/general:"},
      {CVariant(T::kHexStore), "byte sequence/general:"},
      {CVariant(T::kInteger), "integer/general:0"},
      {CVariant(T::kEndpoint), "ip endpoint/general:"},
      {CVariant(T::kUInteger), "uinteger/general:0"},
  };
  for (const auto& [variant, expected] : rows) {
    EXPECT_EQ(describe(variant), expected);
  }
  EXPECT_EQ(outcome([] { return CVariant(CIPAddress()); }),
            "Cannot determine variant subtype from ip address type. (Unknown ip address type.)");
}

TEST(CVariantTest, MadeFromText) {
  const auto rows = qvt_test::dataLines("class_a/standard/data/variant-texts.txt");
  ASSERT_EQ(rows.size(), 70u) << "data/variant-texts.txt could not be read whole";
  for (const auto& [hint, line] : rows) {
    const std::size_t end = line.find('|', 1);
    const std::string text = line.substr(1, end - 1);
    const std::string expected = line.substr(end + 1);
    SCOPED_TRACE(hint + " '" + text + "'");
    if (hint == "guess") {
      EXPECT_EQ(outcome([&] { return CVariant::fromText(text); }), expected);
      EXPECT_EQ(outcome([&] { return CVariant(T::kUnknown, text); }), expected);
    } else {
      EXPECT_EQ(outcome([&, &h = hint] { return CVariant(typeNamed(h), text); }), expected);
    }
  }
  const auto e = qvt_test::caught([] { CVariant::fromText(" "); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation(), "CVariantConversion::_guess");
  EXPECT_EQ(e->className(), "static");
  EXPECT_EQ(e->module(), "standard");
}

TEST(CVariantTest, RequireErrorsAndStringAssignment) {
  CVariant unknown;
  const auto e = qvt_test::caught([&] { CVariant::_require(T::kUnknown, "5", unknown); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation() + ": " + e->text(),
            "CVariant::_require: Cannot assign variant from text. (Unknown data type hint "
            "'unknown'.)");
  EXPECT_EQ(e->className(), "static");
  // A string variant keeps its type when assigned: trimmed, quotes removed.
  CVariant v(T::kString);
  v.assign(" '\"\"quoted\"' ");
  EXPECT_EQ(describe(v), "string/general:quoted");
  v.assign("5");
  EXPECT_EQ(describe(v), "string/general:5");
}

struct OperatorRow {
  std::string name;
  std::function<CVariant()> run;
  std::string expected;
};

TEST(CVariantTest, BinaryOperatorsAlignRightOperand) {
  const auto i64max = std::numeric_limits<std::int64_t>::max();
  const auto i64min = std::numeric_limits<std::int64_t>::min();
  const auto u64max = std::numeric_limits<std::uint64_t>::max();
  const std::string intDivision =
      "Cannot perform 'division' (/) on integer values. (Illegal operation.)";
  const std::vector<OperatorRow> rows = {
      {"integer 5 + string 3", [] { return i64(5) + str("3"); }, "integer/general:8"},
      {"string 5 + integer 3", [] { return str("5") + i64(3); }, "string/general:53"},
      {"max + 1", [=] { return i64(i64max) + i64(1); }, "integer/general:-9223372036854775808"},
      {"min - 1", [=] { return i64(i64min) - i64(1); }, "integer/general:9223372036854775807"},
      {"2^62 * 4", [] { return i64(std::int64_t{1} << 62) * i64(4); }, "integer/general:0"},
      {"min * -1", [=] { return i64(i64min) * i64(-1); }, "integer/general:-9223372036854775808"},
      {"u 0 - 1", [] { return u64(0) - u64(1); }, "uinteger/general:18446744073709551615"},
      {"u max + 1", [=] { return u64(u64max) + u64(1); }, "uinteger/general:0"},
      {"-7 / 2", [] { return i64(-7) / i64(2); }, "integer/general:-3"},
      {"u 7 / 2", [] { return u64(7) / u64(2); }, "uinteger/general:3"},
      {"5 / 0", [] { return i64(5) / i64(0); }, intDivision},
      {"min / -1", [=] { return i64(i64min) / i64(-1); }, intDivision},
      {"u 5 / 0", [] { return u64(5) / u64(0); },
       "Cannot perform 'division' (/) on uinteger values. (Illegal operation.)"},
      {"6 | 3", [] { return i64(6) | i64(3); }, "integer/general:7"},
      {"6 & 3", [] { return i64(6) & i64(3); }, "integer/general:2"},
      {"6 ^ 3", [] { return i64(6) ^ i64(3); }, "integer/general:5"},
      {"u 5 + integer -1", [] { return u64(5) + i64(-1); }, "uinteger/general:4"},
      {"integer 5 + boolean", [] { return i64(5) + CVariant(true); }, "integer/general:6"},
      {"integer 5 + string 0x10", [] { return i64(5) + str("0x10"); }, "integer/general:21"},
      {"integer + endpoint", [] { return i64(5) + CVariant(T::kEndpoint); },
       "Cannot convert from type 'ip endpoint' to 'integer'. (Invalid conversion.)"},
      {"ip + string", [] { return ip("10.0.0.255") + str("0.0.0.1"); }, "ip address/ipv4:10.0.1.0"},
      {"ip & ip", [] { return ip("10.1.2.3") & ip("255.255.0.0"); }, "ip address/ipv4:10.1.0.0"},
      {"ip v4 + ip v6 mapped", [] { return ip("10.0.0.1") + ip("::ffff:0.0.0.1"); },
       "ip address/ipv4:10.0.0.2"},
      {"ip v4 + ip v6", [] { return ip("10.0.0.1") + ip("::1"); },
       "Cannot map address ::1 to ipv4. (Address is not a v6-mapped-v4 address.)"},
      {"time + time", [] { return CVariant(CTimeT(10)) + CVariant(CTimeT(5)); }, "time/general:15"},
      {"time - integer", [] { return CVariant(CTimeT(10)) - i64(15); }, "time/general:-5"},
      {"time * uinteger", [] { return CVariant(CTimeT(10)) * u64(3); }, "time/general:30"},
      {"time / time", [] { return CVariant(CTimeT(7)) / CVariant(CTimeT(2)); }, "time/general:3"},
      {"time / 0", [] { return CVariant(CTimeT(7)) / i64(0); },
       "Cannot divide time. (Invalid time.)"},
      {"string + uinteger", [] { return str("ab") + u64(5); }, "string/general:ab5"},
      {"string + unknown", [] { return str("ab") + CVariant(); }, "string/general:ab"},
      {"function name + string", [] { return CVariant::fromText("$F") + str("x"); },
       "string/function name:$Fx"},
      {"bytes + bytes", [] { return CVariant::fromText("0a-") + CVariant::fromText("0b-"); },
       "byte sequence/general:0A-0B"},
      {"bytes + string", [] { return CVariant::fromText("0a-") + str("x"); },
       "byte sequence/general:0A-78"},
      {"unknown + integer", [] { return CVariant() + i64(1); },
       "Cannot convert from type 'integer' to 'unknown'. (Invalid conversion.)"},
      {"integer + unknown", [] { return i64(1) + CVariant(); },
       "Cannot convert from type 'unknown' to 'integer'. (Invalid conversion.)"},
      {"boolean + unknown", [] { return CVariant(true) + CVariant(); },
       "Cannot perform 'addition' (+) on boolean values. (Illegal operation.)"},
      {"-(uinteger 1)", [] { return -u64(1); }, "integer/general:-1"},
      {"-(integer min)", [=] { return -i64(i64min); }, "integer/general:-9223372036854775808"},
      {"~integer 0", [] { return ~i64(0); }, "integer/general:-1"},
      {"~uinteger 0", [] { return ~u64(0); }, "uinteger/general:18446744073709551615"},
      {"~ip", [] { return ~ip("255.255.255.0"); }, "ip address/ipv4:0.0.0.255"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(outcome(row.run), row.expected);
  }
  // The operands are not changed.
  const CVariant left = i64(5);
  const CVariant right = str("3");
  EXPECT_EQ(describe(left + right), "integer/general:8");
  EXPECT_EQ(describe(left) + " " + describe(right), "integer/general:5 string/general:3");
}

// Every refused (operator, type) pair with its whole message; every other pair
// of a known type must succeed on two equal operands.
TEST(CVariantTest, OperatorErrorTexts) {
  const std::vector<CVariant> samples = {ip("10.0.0.1"),
                                         CVariant(true),
                                         CVariant(CTimeT(4)),
                                         str("s"),
                                         CVariant::fromText("0a-"),
                                         i64(4),
                                         CVariant(CEndpoint(CIPAddress("10.0.0.1"), 1)),
                                         u64(4)};
  const std::vector<std::string> words = {"ip address",    "boolean", "time",     "string",
                                          "byte sequence", "integer", "endpoint", "uinteger"};
  struct Op {
    std::string name;
    std::string symbol;  // the operation is "CVariant::operator" and the symbol
    std::function<CVariant(const CVariant&)> run;
    std::string refused;  // the refused types, each followed by ","
  };
  using V = const CVariant&;
  const std::string bits = "boolean,time,string,byte sequence,endpoint,";
  const std::string noProduct = "ip address,boolean,string,byte sequence,endpoint,";
  const std::vector<Op> ops = {
      {"less-than", "<", [](V v) { return CVariant(v < v); }, "boolean,byte sequence,endpoint,"},
      {"addition", "+", [](V v) { return v + v; }, "boolean,endpoint,"},
      {"subtraction", "-", [](V v) { return v - v; }, "boolean,string,byte sequence,endpoint,"},
      {"multiplication", "*", [](V v) { return v * v; }, noProduct},
      {"division", "/", [](V v) { return v / v; }, noProduct},
      {"bitwise-or", "|", [](V v) { return v | v; }, bits},
      {"bitwise-and", "&", [](V v) { return v & v; }, bits},
      {"bitwise-xor", "^", [](V v) { return v ^ v; }, bits},
      {"bitwise-inverse", "~", [](V v) { return ~v; }, bits},
      {"unary-negation", "-", [](V v) { return -v; }, "ip address," + bits},
  };
  for (const auto& op : ops) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
      SCOPED_TRACE(op.name + " on " + words[i]);
      const bool refused = ("," + op.refused).find("," + words[i] + ",") != std::string::npos;
      const auto e = qvt_test::caught([&] { op.run(samples[i]); });
      EXPECT_EQ(e.has_value(), refused);
      if (e) {
        EXPECT_EQ(e->operation() + ": " + e->text(),
                  "CVariant::operator" + op.symbol + ": Cannot perform '" + op.name + "' (" +
                      op.symbol + ") on " + words[i] + " values. (Illegal operation.)");
        EXPECT_EQ(e->className(), "qvt::CVariant");
      }
    }
    EXPECT_EQ(qvt_test::errorWhere([&] { op.run(CVariant()); }),
              "CVariant::operator" + op.symbol + ": Cannot perform '" + op.name + "' (" +
                  op.symbol + ") on variant values. (Left variant operand has unknown type.)");
  }
}

struct CompareRow {
  std::string name;
  std::function<bool()> run;
  std::string expected;  // "true", "false" or the error text
};

TEST(CVariantTest, Comparisons) {
  const std::string boolLess =
      "Cannot perform 'less-than' (<) on boolean values. (Illegal "
      "operation.)";
  const auto tcp = [](const char* address, std::uint16_t port) {
    return CVariant(CEndpoint(CIPAddress(address), port));
  };
  const std::vector<CompareRow> rows = {
      {"unknown == unknown", [] { return CVariant() == CVariant(); }, "true"},
      {"unknown == 0", [] { return CVariant() == i64(0); }, "false"},
      {"0 == unknown", [] { return i64(0) == CVariant(); }, "false"},
      {"unknown != 0", [] { return CVariant() != i64(0); }, "true"},
      {"integer 5 == string 05", [] { return i64(5) == str("05"); }, "true"},
      {"string 05 == integer 5", [] { return str("05") == i64(5); }, "false"},
      {"string case", [] { return str("A") == str("a"); }, "false"},
      {"ip == string", [] { return ip("10.0.0.1") == str("10.0.0.1"); }, "true"},
      {"ip v4 == ip v6 mapped", [] { return ip("10.0.0.1") == ip("::ffff:10.0.0.1"); }, "true"},
      {"endpoint ==", [=] { return tcp("10.0.0.1", 67) == tcp("10.0.0.1", 67); }, "true"},
      {"endpoint port", [=] { return tcp("10.0.0.1", 67) == tcp("10.0.0.1", 68); }, "false"},
      {"bytes ==", [] { return CVariant::fromText("0a-1b") == str("\x0a\x1b"); }, "true"},
      {"bytes length", [] { return CVariant::fromText("0a-1b") == CVariant::fromText("0a-"); },
       "false"},
      {"time == integer", [] { return CVariant(CTimeT(3)) == i64(3); }, "true"},
      {"boolean == string", [] { return CVariant(true) == str("no"); }, "true"},
      {"a < b", [] { return str("a") < str("b"); }, "true"},
      {"prefix", [] { return str("a") < str("ab"); }, "true"},
      {"unsigned bytes", [] { return str("a") < str("\xff"); }, "true"},
      {"integer -1 < uinteger 0", [] { return i64(-1) < u64(0); }, "true"},
      {"uinteger 0 < integer -1", [] { return u64(0) < i64(-1); }, "true"},
      {"time", [] { return CVariant(CTimeT(-5)) < CVariant(CTimeT(1)); }, "true"},
      {"ip order", [] { return ip("10.0.0.1") < ip("10.0.0.2"); }, "true"},
      {"ip v4 < v6", [] { return ip("10.0.0.1") < ip("::1"); },
       "Cannot map address ::1 to ipv4. (Address is not a v6-mapped-v4 address.)"},
      {"true < false", [] { return CVariant(true) < CVariant(false); }, boolLess},
      {"true <= true", [] { return CVariant(true) <= CVariant(true); }, boolLess},
      {"true > true", [] { return CVariant(true) > CVariant(true); }, boolLess},
      {"true >= true", [] { return CVariant(true) >= CVariant(true); }, boolLess},
      {"5 <= 5", [] { return i64(5) <= i64(5); }, "true"},
      {"5 > 5", [] { return i64(5) > i64(5); }, "false"},
      {"5 >= 5", [] { return i64(5) >= i64(5); }, "true"},
      {"unknown < unknown", [] { return CVariant() < CVariant(); },
       "Cannot perform 'less-than' (<) on variant values. (Left variant operand has unknown "
       "type.)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string result = outcome([&] { return CVariant(row.run()); });
    EXPECT_EQ(result.rfind("boolean/general:", 0) == 0 ? result.substr(16) : result, row.expected);
  }
}

TEST(CVariantTest, LogicalOperators) {
  const std::string endpointBoolean =
      "Cannot convert from type 'ip endpoint' to 'boolean'. (Invalid conversion.)";
  const std::vector<OperatorRow> rows = {
      {"!0", [] { return !i64(0); }, "boolean/general:true"},
      {"!\"no\"", [] { return !str("no"); }, "boolean/general:false"},
      {"!unknown", [] { return !CVariant(); }, "boolean/general:true"},
      {"1 && \"false\"", [] { return i64(1) && str("false"); }, "boolean/general:false"},
      {"1 && 2", [] { return i64(1) && u64(2); }, "boolean/general:true"},
      {"unknown || true", [] { return CVariant() || CVariant(true); }, "boolean/general:true"},
      {"0 || unknown", [] { return i64(0) || CVariant(); }, "boolean/general:false"},
      {"!endpoint", [] { return !CVariant(T::kEndpoint); }, endpointBoolean},
      // No short circuit: the right side is converted even when the left decides.
      {"false && endpoint", [] { return CVariant(false) && CVariant(T::kEndpoint); },
       endpointBoolean},
      {"true || endpoint", [] { return CVariant(true) || CVariant(T::kEndpoint); },
       endpointBoolean},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(outcome(row.run), row.expected);
  }
}

std::vector<unsigned char> rawBytes(const CVariant& v) {
  const auto* p = static_cast<const unsigned char*>(v.raw_data());
  return p == nullptr ? std::vector<unsigned char>()
                      : std::vector<unsigned char>(p, p + v.raw_len());
}

TEST(CVariantTest, RawDataOfEveryType) {
  using Bytes = std::vector<unsigned char>;
  EXPECT_EQ(rawBytes(ip("10.0.0.1")), (Bytes{10, 0, 0, 1}));
  EXPECT_EQ(ip("::1").raw_len(), 16u);
  EXPECT_EQ(rawBytes(ip("::1")).back(), 1);
  EXPECT_EQ(rawBytes(CVariant(true)), (Bytes{1}));
  EXPECT_EQ(rawBytes(CVariant(false)), (Bytes{0}));
  EXPECT_EQ(rawBytes(CVariant(CTimeT(0x0102))), (Bytes{2, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(rawBytes(str("abc")), (Bytes{'a', 'b', 'c'}));
  EXPECT_EQ(str("").raw_len(), 0u);
  EXPECT_EQ(rawBytes(CVariant::fromText("0a-1b")), (Bytes{0x0A, 0x1B}));
  EXPECT_EQ(rawBytes(i64(-2)), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(rawBytes(u64(0x0102)), (Bytes{2, 1, 0, 0, 0, 0, 0, 0}));
  const CVariant v4(CEndpoint(CIPAddress("10.0.0.1"), 67));
  ASSERT_EQ(v4.raw_len(), sizeof(sockaddr_in));
  sockaddr_in in4{};
  std::memcpy(&in4, v4.raw_data(), sizeof in4);
  EXPECT_EQ(in4.sin_family, AF_INET);
  EXPECT_EQ(ntohs(in4.sin_port), 67);
  EXPECT_EQ(CVariant(CEndpoint(CIPAddress("::1"), 1)).raw_len(), sizeof(sockaddr_in6));

  EXPECT_EQ(outcome([] { return CVariant(CVariant().raw_data() != nullptr); }),
            "Cannot retrieve variant raw data. (Unknown variant type 'unknown'.)");
  EXPECT_EQ(outcome([] { return u64(CVariant().raw_len()); }),
            "Cannot retrieve variant raw length. (Unknown variant type 'unknown'.)");
}

TEST(CVariantTest, GettersConvertACopy) {
  const CVariant text = str("0x10");
  EXPECT_EQ(text.integer(), 16);
  EXPECT_EQ(text.uinteger(), 0u);
  EXPECT_TRUE(text.boolean());
  EXPECT_EQ(describe(text), "string/general:0x10");
  EXPECT_EQ(str("10.0.0.1:67").endpoint().port(), 67);
  EXPECT_EQ(str("Thu Jan  1 00:00:09 1970").time().seconds(), 9);
  EXPECT_EQ(i64(300).hexstore().string(), "01-2C");
  EXPECT_EQ(i64(300).string(), "300");
  EXPECT_EQ(str("abc").stringView(), "abc");
  EXPECT_TRUE(i64(1).stringView().empty());
}

TEST(CVariantTest, IPAddressGetterFamilies) {
  const CVariant v4 = ip("10.0.0.1");
  EXPECT_EQ(v4.ipaddress().string(), "10.0.0.1");
  EXPECT_EQ(v4.ipaddress(S::kIPv6).string(), "::ffff:10.0.0.1");
  EXPECT_EQ(v4.ipaddress(S::kIPv6, true).string(), "10.0.0.1");
  EXPECT_EQ(ip("::1").ipaddress(S::kIPv6).string(), "::1");
  EXPECT_EQ(outcome([] { return CVariant(ip("::1").ipaddress(S::kIPv4)); }),
            "Cannot map address ::1 to ipv4. (Address is not a v6-mapped-v4 address.)");
  EXPECT_EQ(str("10.0.0.1").ipaddress(S::kIPv4).string(), "10.0.0.1");
  EXPECT_EQ(u64(167772161).ipaddress(S::kIPv6).string(), CIPAddress("::10.0.0.1").string());
  const auto e = qvt_test::caught([] { i64(5).ipaddress(); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation() + ": " + e->text(),
            "CVariant::ipaddress: Cannot convert variant '5' (type 'integer') to an ip address. "
            "(No explicit target address family specified.)");
  EXPECT_EQ(e->className(), "qvt::CVariant");
}

TEST(CVariantTest, CopiesAssignmentAndReset) {
  const std::string longText(300, 'x');
  CVariant a = str(longText);
  CVariant b = a;
  EXPECT_EQ(b.string(), longText);
  b = i64(3);
  EXPECT_EQ(a.string(), longText);
  a = b;
  EXPECT_EQ(describe(a), "integer/general:3");
  CVariant c = str(longText) + str(longText);
  EXPECT_EQ(c.raw_len(), 600u);
  c.reset();
  EXPECT_FALSE(c.isKnown());
  EXPECT_EQ(describe(c), "unknown/general:");

  CVariant d = CVariant::fromText("$IF");
  EXPECT_TRUE(d.isFunctionName());
  d.setSubtype(S::kGeneral);
  EXPECT_EQ(describe(d), "string/general:$IF");
  d.setType(T::kInteger);  // no conversion: the type's empty value
  EXPECT_EQ(describe(d), "integer/general:0");
  d.convert(T::kInteger);  // nothing to do
  EXPECT_EQ(describe(d), "integer/general:0");
}

}  // namespace
}  // namespace qvt
