#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CExpression.h"
#include "class_b/dhcp/dhcp_base/COptionFake.h"

namespace qvt {
namespace {

using qvt_test::errorText;

using test::COptionFake;

template <class T>
CGeneralPtr<COption> option(const std::string& type, std::vector<T> elements,
                            std::uint32_t tag = 43) {
  auto* fake = new COptionFake<T>(tag, type);
  static_cast<std::vector<T>&>(*fake) = std::move(elements);
  return CGeneralPtr<COption>(fake);
}

std::string describe(const CVariant& value) {
  return std::string(value.type().name()) + ": " + value.string();
}

// One read and what it gives: "type: text" of a variant, a number, or the
// error text.
struct Read {
  const char* name;
  CGeneralPtr<COption> option;
  std::function<std::string(const CValueTypeConverter&)> read;
  std::string expected;
};

TEST(CValueTypeConverterTest, NativeAndConvertedReads) {
  using C = const CValueTypeConverter&;
  const auto v = [](std::uint32_t i) { return [i](C c) { return describe(c.variant(i)); }; };
  const auto u32 = [](C c) { return std::to_string(c.toUInt32(0)); };
  const auto text = [](C c) { return c.toString(0); };
  const auto seconds = [](C c) { return std::to_string(c.toTime(0).seconds()); };
  const auto boolean = [](std::uint32_t i) {
    return [i](C c) { return std::string(c.toBoolean(i) ? "true" : "false"); };
  };
  const std::vector<Read> rows = {
      {"24bit natively by the 32-bit read", option<std::uint32_t>("24bit", {0x123456}), u32,
       "1193046"},
      {"24bit through a variant by the 8-bit read", option<std::uint32_t>("24bit", {0x123456}),
       [](C c) { return std::to_string(c.toUInt8(0)); }, "86"},
      {"24bit through a variant by the 16-bit read", option<std::uint32_t>("24bit", {0x123456}),
       [](C c) {
         std::uint16_t value = 0;
         c.get(0, value);
         return std::to_string(value);
       },
       "13398"},
      {"24bit as variant", option<std::uint32_t>("24bit", {0x123456}), v(0), "integer: 1193046"},
      {"8bit second element", option<std::uint8_t>("8bit", {1, 3, 6}), v(1), "integer: 3"},
      {"64bit above the signed range", option<std::uint64_t>("64bit", {~0ull}),
       [](C c) { return std::to_string(c.toUInt64(0)); }, "18446744073709551615"},
      {"16bit to text", option<std::uint16_t>("16bit", {1500}), text, "1500"},
      {"dnsname through the variant", option<std::string>("dnsname", {"example.com"}), text,
       "example.com"},
      {"dnsname as variant", option<std::string>("dnsname", {"example.com"}), v(0),
       "string: example.com"},
      {"128bit byte sequence through the variant",
       option<CHexStore>("128bit", {CHexStore("00-01-02-03-04-05-06-07-08-09-0A-0B-0C-0D-0E-0F")}),
       [](C c) { return c.toHexStore(0).string(); },
       "00-01-02-03-04-05-06-07-08-09-0A-0B-0C-0D-0E-0F"},
      {"byte sequence to text keeps its separator",
       option<CHexStore>("byte_sequence", {CHexStore("0A:1B", ":")}), text, "0A:1B"},
      {"snmp_oid gives a string", option<CHexStore>("snmp_oid", {CHexStore("2B-06-01")}), v(0),
       "string: 2B-06-01"},
      {"ipaddress natively", option<CIPAddress>("ipaddress", {CIPAddress("2001:db8::1")}),
       [](C c) { return c.toIPAddress(0).string(); }, "2001:db8::1"},
      {"byte sequence as an IPv4 address",
       option<CHexStore>("byte_sequence", {CHexStore("0A-00-00-02")}),
       [](C c) { return c.toIPAddress(0, CVariantSubType::kIPv4).string(); }, "10.0.0.2"},
      {"boolean natively", option<bool>("boolean", {false, true}), boolean(1), "true"},
      {"8bit as boolean", option<std::uint8_t>("8bit", {0}), boolean(0), "false"},
      {"time natively", option<CTimeT>("time", {CTimeT(86400)}), seconds, "86400"},
      {"32bit as time", option<std::uint32_t>("32bit", {3600}), seconds, "3600"},
      {"endpoint natively", option<CEndpoint>("ip_endpoint", {CEndpoint("10.0.0.1:67")}),
       [](C c) { return c.toEndpoint(0).string(); }, "10.0.0.1:67"},
      {"string to a number", option<std::string>("string", {"42"}), u32, "42"},
  };
  for (const Read& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.read(CValueTypeConverter(row.option)), row.expected);
    // variantOf reads in place what variant() reads, into a value that held
    // something else before.
    CVariant value = CVariant::fromText("'left over'");
    ASSERT_TRUE(CValueTypeConverter::variantOf(*row.option, 0, value));
    const CVariant expected = CValueTypeConverter(row.option).variant(0);
    EXPECT_EQ(describe(value), describe(expected));
    EXPECT_EQ(value.subtype(), expected.subtype());
    if (value.isHexStore()) {
      EXPECT_EQ(value.hexstore().separator(), expected.hexstore().separator());
    }
  }
}

TEST(CValueTypeConverterTest, IndexErrorsNameTheFullTagPath) {
  CGeneralPtr<COption> relay = option<std::uint8_t>("subencoded", {}, 82);
  CGeneralPtr<COption> circuit =
      option<CHexStore>("byte_sequence", {CHexStore("01"), CHexStore("02")}, 1);
  relay->addChild(circuit);
  const CValueTypeConverter empty(option<std::uint8_t>("8bit", {}, 53));
  const CValueTypeConverter two(circuit);

  const std::string range = "Cannot access element 0 in option 53. (Index out of range.)";
  EXPECT_EQ(errorText([&] { empty.variant(0); }), range);
  EXPECT_EQ(errorText([&] { empty.toUInt8(0); }), range);
  EXPECT_EQ(errorText([&] { two.toHexStore(2); }),
            "Cannot access element 2 in option 82/1. (Index out of range.)");
  EXPECT_EQ(errorText([&] { two.toString(0xffffffffu); }),
            "Cannot access element 4294967295 in option 82/1. (Index out of range.)");
  EXPECT_EQ(two.toHexStore(1).string(), "02");
}

TEST(CValueTypeConverterTest, TypesWithoutValuesAreRefusedAfterTheIndexCheck) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"subencoded", "Cannot convert a subencoded option to a variant. (Invalid conversion.)"},
      {"topencoded", "Cannot convert a topencoded option to a variant. (Invalid conversion.)"},
      {"control", "Cannot convert protocol control data type to a variant. (Invalid conversion.)"},
      {"fixed_offset", "Cannot convert a fixed_offset option to a variant. (Invalid conversion.)"},
  };
  for (const auto& [type, text] : rows) {
    SCOPED_TRACE(type);
    const CValueTypeConverter converter(option<std::uint8_t>(type, {7}));
    EXPECT_EQ(errorText([&] { converter.variant(0); }), text);
    EXPECT_EQ(errorText([&] { converter.toString(0); }), text);
    EXPECT_EQ(errorText([&] { converter.variant(1); }),
              "Cannot access element 1 in option 43. (Index out of range.)");
  }
  CGeneralPtr<COption> unknown = option<std::uint8_t>("8bit", {7});
  for (const std::uint32_t code : {std::uint32_t{COptionType::eUnknown}, std::uint32_t{42}}) {
    unknown->attributes().type().setCode(code);
    EXPECT_EQ(errorText([&] { CValueTypeConverter(unknown).toUInt16(0); }),
              "Cannot convert unknown data type to a variant. (Invalid conversion.)");
  }
}

TEST(CValueTypeConverterTest, StorageMustMatchTheOptionType) {
  // The definition says 16bit, the option holds 8-bit elements.
  const CValueTypeConverter converter(option<std::uint8_t>("16bit", {1}));
  const std::string wrong =
      "Cannot access storage for option 43. (Option is not of the implied type.)";
  EXPECT_EQ(errorText([&] { converter.toUInt16(0); }), wrong);
  EXPECT_EQ(errorText([&] { converter.variant(0); }), wrong);
  EXPECT_EQ(errorText([] { CValueTypeConverter(CGeneralPtr<COption>()).variant(0); }),
            "Cannot dereference pointer. (Pointee is null.)");
}

TEST(CValueTypeConverterTest, ExpressionOptionsEvaluate) {
  CExpEval engine(nullptr);
  const CValueTypeConverter converter(option<CExpression>(
      "expression", {CExpression(&engine, "[1 + 2]"), CExpression(&engine, "10.0.0.1")}));
  EXPECT_EQ(converter.toUInt32(0), 3u);
  EXPECT_EQ(describe(converter.variant(1)), "ip address: 10.0.0.1");
  EXPECT_EQ(converter.toIPAddress(1).string(), "10.0.0.1");
  // A failing expression passes its error on.
  const CValueTypeConverter failing(
      option<CExpression>("expression", {CExpression(&engine, "[1 / 0]")}));
  EXPECT_EQ(errorText([&] { failing.variant(0); }),
            "Cannot execute expression '[1 / 0]'. (Expression does not evaluate.)");
}

TEST(CValueTypeConverterTest, VariantOfRefusesWhereVariantRaisesOrEvaluates) {
  // variantOf answers false and leaves the value alone.
  CExpEval engine(nullptr);
  const std::vector<CGeneralPtr<COption>> refused = {
      option<std::uint8_t>("8bit", {}),
      option<std::uint8_t>("subencoded", {1}),
      option<CExpression>("expression", {CExpression(&engine, "[1 + 2]")}),
  };
  for (const CGeneralPtr<COption>& each : refused) {
    SCOPED_TRACE(each->type().string());
    CVariant value = CVariant::fromText("'left over'");
    EXPECT_FALSE(CValueTypeConverter::variantOf(*each, 0, value));
    EXPECT_EQ(describe(value), "string: left over");
  }
}

}  // namespace
}  // namespace qvt
