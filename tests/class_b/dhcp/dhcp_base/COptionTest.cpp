#include "class_b/dhcp/dhcp_base/COption.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "TestSupport.h"
#include "class_a/standard/CHexStore.h"
#include "class_b/dhcp/dhcp_base/COptionFake.h"

namespace qvt {
namespace {

using qvt_test::errorText;

using test::COptionFake;

TEST(COptionTest, FullTagPathWalksTheParents) {
  COption::Ptr relay(new COptionFake<std::uint8_t>(82, "subencoded"));
  COption::Ptr vendor(new COptionFake<std::uint8_t>(9, "subencoded"));
  COption::Ptr data(new COptionFake<CHexStore>(4491, "byte_sequence"));
  relay->addChild(vendor);
  vendor->addChild(data);

  EXPECT_EQ(relay->fullTagPath().string(), "82");
  EXPECT_EQ(vendor->fullTagPath().string(), "82/9");
  EXPECT_EQ(data->fullTagPath().string(), "82/9/4491");
  EXPECT_EQ(data->parent(), vendor.get());
  // A definition's full path still gives the last element as the own tag.
  data->attributes().setTagPath(CTagPath("82/9/0xfffffff0"));
  EXPECT_EQ(data->ownTag(), 0xfffffff0u);
  EXPECT_EQ(data->fullTagPath().string(), "82/9/0xfffffff0");
}

TEST(COptionTest, ConstructionCopyAndOrder) {
  COptionFake<std::uint8_t> root(0, "topencoded");
  COptionFake<std::uint8_t> type(53, "8bit", &root);
  type.setContext(77);
  EXPECT_EQ(type.attributes().tagPath().string(), "53");
  EXPECT_EQ(type.attributes().name(), "");
  EXPECT_EQ(type.context(), 77u);

  const COptionFake<std::uint8_t> copy(type);
  EXPECT_EQ(copy.parent(), &root);
  EXPECT_EQ(copy.context(), 77u);
  EXPECT_EQ(copy.type().string(), "8bit");
  EXPECT_TRUE(root < type);
  EXPECT_FALSE(type < copy);

  // An empty tag path has no own tag; it reads as 0xffffffff.
  type.attributes().tagPath().clear();
  EXPECT_EQ(type.ownTag(), 0xffffffffu);
}

TEST(COptionTest, StorageIsCheckedAgainstTheElementType) {
  COption::Ptr relay(new COptionFake<std::uint8_t>(82, "subencoded"));
  COption::Ptr circuit(new COptionFake<CHexStore>(1, "byte_sequence"));
  relay->addChild(circuit);
  COption& option = *circuit;
  option.storage<CHexStore>().push_back(CHexStore("70-6F-72-74"));
  EXPECT_EQ(option.storage<CHexStore>().size(), 1u);
  const COption& constant = option;
  EXPECT_EQ(constant.storage<CHexStore>()[0].string(), "70-6F-72-74");

  EXPECT_EQ(errorText([&] { option.storage<std::string>(); }),
            "Cannot access storage for option 82/1. (Option is not of the implied type.)");
  EXPECT_EQ(errorText([&] { constant.storage<std::uint32_t>(); }),
            "Cannot access storage for option 82/1. (Option is not of the implied type.)");
  // The element type must match exactly: a 16-bit vector is not an 8-bit one.
  COptionFake<std::uint16_t> size(57, "16bit");
  EXPECT_EQ(errorText([&] { size.storage<std::uint8_t>(); }),
            "Cannot access storage for option 57. (Option is not of the implied type.)");
}

TEST(COptionTest, MissingOptionErrorNamesTheOperation) {
  COptionFake<std::uint8_t> root(0, "topencoded");
  const auto e = qvt_test::caught([&] { root.get(CTagPath("82"), COptionType(), 0); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation() + ": " + e->text(),
            "COption::get: Cannot find option 82. (Option does not exist.)");
  EXPECT_EQ(e->module(), "dhcp_base");
}

}  // namespace
}  // namespace qvt
