#include "class_a/standard/CVariantConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CVariant.h"
#include "class_a/standard/DataFile.h"
#include "class_a/standard/VariantDescription.h"

namespace qvt {
namespace {

using T = CVariantType;
using S = CVariantSubType;
using qvt_test::describe;
using qvt_test::subtypeNamed;
using qvt_test::typeNamed;

CHexStore bytesOf(std::vector<unsigned char> raw) {
  return CHexStore(raw.data(), raw.size());
}

// convertText: the converted variant's description, or the error's whole text.
// A failed conversion must leave the variant as it was. direct: through
// CVariantConversion::convert rather than CVariant::convert.
std::string convertText(const CVariant& source, CVariantType type, CVariantSubType subtype,
                        const std::string& hint = std::string(), bool direct = false) {
  CVariant v(source);
  try {
    if (direct) {
      CVariantConversion::convert(v, type, subtype);
    } else {
      v.convert(type, subtype, hint);
    }
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

// sourceOf: the variant that "type/subtype:value" describes, built without
// the conversions under test.
CVariant sourceOf(const std::string& text) {
  const std::size_t slash = text.find('/');
  const std::string type = text.substr(0, slash);
  const std::string value = text.substr(text.find(':', slash) + 1);
  CVariant v;
  if (type == "ip address") {
    v = value == "none" ? CVariant(T::kIPAddress) : CVariant(CIPAddress(value));
  } else if (type == "boolean") {
    v = CVariant(value == "true");
  } else if (type == "time") {
    v = CVariant(CTimeT(std::stoll(value)));
  } else if (type == "string") {
    v = CVariant::fromString(value);
  } else if (type == "byte sequence") {
    std::string digits = value;
    digits.erase(std::remove(digits.begin(), digits.end(), '-'), digits.end());
    const std::vector<unsigned char> raw = qvt_test::fromHex(digits);
    v = CVariant(CHexStore(raw.data(), raw.size()));
  } else if (type == "integer") {
    v = CVariant(std::int64_t{std::stoll(value)});
  } else if (type == "ip endpoint") {
    v = CVariant(CEndpoint(value));
  } else if (type == "uinteger") {
    v = CVariant(std::uint64_t{std::stoull(value)});
  }
  EXPECT_EQ(describe(v), text) << "source not built as written";
  return v;
}

std::string forbidden(const char* from, const char* to) {
  return std::string("Cannot convert from type '") + from + "' to '" + to +
         "'. (Invalid conversion.)";
}

// The rows of data/conversions.txt: every pair of types, then the rules.
TEST(CVariantConversionTest, Table) {
  const auto rows = qvt_test::dataLines("class_a/standard/data/conversions.txt");
  ASSERT_EQ(rows.size(), 133u) << "data/conversions.txt could not be read whole";
  std::size_t pairs = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string input = row.input();
    const std::size_t arrow = input.find(" -> ");
    const CVariant source = sourceOf(input.substr(0, arrow));
    std::istringstream targets(input.substr(arrow + 4));
    for (std::string target; std::getline(targets, target, ',');) {
      target.erase(0, target.find_first_not_of(' '));
      const std::size_t slash = target.find('/');
      const CVariantType type = typeNamed(target.substr(0, slash));
      std::string expected = row.expected();
      if (expected == "refused") expected = forbidden(source.type().name(), type.name());
      EXPECT_EQ(convertText(source, type,
                            slash == std::string::npos ? S::kGeneral
                                                       : subtypeNamed(target.substr(slash + 1)),
                            "", row.section == "every pair"),
                expected);
      pairs += row.section == "every pair" ? 1 : 0;
    }
  }
  EXPECT_EQ(pairs, std::size_t{T::kCount * T::kCount});
}

TEST(CVariantConversionTest, ForbiddenConversionNamesItsOperation) {
  EXPECT_EQ(convertText(CVariant(std::int64_t{1}), T::kUnknown, S::kGeneral),
            forbidden("integer", "unknown"));
  const auto e = qvt_test::caught([] { CVariant(std::int64_t{1}).convert(T::kUnknown); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation(), "CVariantConversion::_forbiddenConversion");
  EXPECT_EQ(e->className(), "static");
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
