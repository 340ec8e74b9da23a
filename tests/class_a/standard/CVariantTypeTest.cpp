#include "class_a/standard/CVariantType.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/CVariantSubType.h"

namespace qvt {
namespace {

using qvt_test::errorWhere;

TEST(CVariantTypeTest, CodeAboveEightIsRefused) {
  for (const std::uint32_t code : {9u, 255u, 4294967295u}) {
    SCOPED_TRACE(code);
    CVariantType type = CVariantType::kInteger;
    EXPECT_EQ(errorWhere([&] { type.set(code); }),
              "CVariantType::_checkValidity: Cannot set variant data type from value " +
                  std::to_string(code) + ". (Illegal value.)");
    EXPECT_EQ(type, CVariantType::kInteger);
  }
}

TEST(CVariantSubTypeTest, NamesAndDecimalFallback) {
  const std::vector<std::pair<std::uint32_t, std::string>> rows = {
      {0, "general"}, {1, "function name"},       {2, "reserved word"}, {3, "ipv4"}, {4, "ipv6"},
      {5, "5"},       {4000000000u, "4000000000"}};
  for (const auto& [code, name] : rows) {
    EXPECT_EQ(CVariantSubType(code).name(), name);
  }
}

TEST(CVariantSubTypeTest, AddressTypeMapping) {
  EXPECT_EQ(CVariantSubType::addressType(CVariantSubType::kIPv4), CIPAddress::kIPv4);
  EXPECT_EQ(CVariantSubType::addressType(CVariantSubType::kIPv6), CIPAddress::kIPv6);
  EXPECT_EQ(CVariantSubType::type(CIPAddress::kIPv4), CVariantSubType::kIPv4);
  EXPECT_EQ(CVariantSubType::type(CIPAddress::kIPv6), CVariantSubType::kIPv6);
  for (const std::uint32_t subtype : {0u, 1u, 2u, 5u}) {
    SCOPED_TRACE(subtype);
    EXPECT_EQ(errorWhere([&] { CVariantSubType::addressType(CVariantSubType(subtype)); }),
              "CVariantSubType::addressType: Cannot determine ip address type from variant "
              "subtype. (Variant subtype does not map to an ip address type.)");
  }
  EXPECT_EQ(qvt_test::caught([] { CVariantSubType::addressType(CVariantSubType(0)); })->className(),
            "static");
  for (const std::uint32_t addressType : {CIPAddress::kNone, 0u, 3u}) {
    SCOPED_TRACE(addressType);
    EXPECT_EQ(errorWhere([&] { CVariantSubType::type(addressType); }),
              "CVariantSubType::type: Cannot determine variant subtype from ip address type. "
              "(Unknown ip address type.)");
  }
}

}  // namespace
}  // namespace qvt
