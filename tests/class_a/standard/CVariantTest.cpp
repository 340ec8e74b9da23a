#include "class_a/standard/CVariant.h"

#include <gtest/gtest.h>
#include <netinet/in.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <sstream>
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
  ASSERT_EQ(rows.size(), 69u) << "data/variant-texts.txt could not be read whole";
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

// operand: the variant "kind:value" names in data/variant-operators.txt.
CVariant operand(const std::string& text) {
  const std::size_t colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  const std::string value = colon == std::string::npos ? "" : text.substr(colon + 1);
  if (kind == "int") return i64(std::stoll(value));
  if (kind == "uint") return u64(std::stoull(value));
  if (kind == "str") return str(value);
  if (kind == "bool") return CVariant(value == "true");
  if (kind == "time") return CVariant(CTimeT(std::stoll(value)));
  if (kind == "bytes" || kind == "fn") return CVariant::fromText(value);
  if (kind == "ip") return value == "none" ? CVariant(T::kIPAddress) : ip(value);
  if (kind == "endpoint")
    return value.empty() ? CVariant(T::kEndpoint) : CVariant(CEndpoint(value));
  EXPECT_EQ(kind, "unknown");
  return CVariant();
}

CVariant apply(const std::string& op, const CVariant& a, const CVariant& b) {
  if (op == "+") return a + b;
  if (op == "-") return a - b;
  if (op == "*") return a * b;
  if (op == "/") return a / b;
  if (op == "|") return a | b;
  if (op == "&") return a & b;
  if (op == "^") return a ^ b;
  if (op == "&&") return a && b;
  if (op == "||") return a || b;
  if (op == "==") return CVariant(a == b);
  if (op == "!=") return CVariant(a != b);
  if (op == "<") return CVariant(a < b);
  if (op == "<=") return CVariant(a <= b);
  if (op == ">") return CVariant(a > b);
  if (op == ">=") return CVariant(a >= b);
  ADD_FAILURE() << "no operator " << op;
  return CVariant();
}

CVariant applyUnary(const std::string& op, const CVariant& v) {
  if (op == "-") return -v;
  if (op == "~") return ~v;
  EXPECT_EQ(op, "!");
  return !v;
}

TEST(CVariantTest, Operators) {
  const auto rows = qvt_test::dataLines("class_a/standard/data/variant-operators.txt");
  ASSERT_EQ(rows.size(), 78u) << "data/variant-operators.txt could not be read whole";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    std::istringstream words(row.input());
    std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
    EXPECT_EQ(outcome([&w] {
                return w.size() == 2 ? applyUnary(w[0], operand(w[1]))
                                     : apply(w[1], operand(w[0]), operand(w[2]));
              }),
              row.expected());
  }
  // Bytes against the string of the same bytes; text compares unsigned.
  EXPECT_TRUE(CVariant::fromText("0a-1b") == str("\x0a\x1b"));
  EXPECT_TRUE(str("a") < str("\xff"));
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

// Getters convert a copy; the conversions themselves are in the conversion table.
TEST(CVariantTest, GettersConvertACopy) {
  const CVariant text = str("0x10");
  EXPECT_EQ(text.integer(), 16);
  EXPECT_TRUE(text.boolean());
  EXPECT_EQ(describe(text), "string/general:0x10");
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
