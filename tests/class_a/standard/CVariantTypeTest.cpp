#include "class_a/standard/CVariantType.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(CVariantSubTypeTest, UnnamedCodesAreNamedInDecimal) {
  EXPECT_EQ(std::string(CVariantSubType(5).name()), "5");
  EXPECT_EQ(std::string(CVariantSubType(4000000000u).name()), "4000000000");
}

TEST(CVariantSubTypeTest, OnlyAddressSubtypesMapToAddressTypes) {
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
