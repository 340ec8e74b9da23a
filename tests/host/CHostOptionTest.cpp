#include "host/CHostOption.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CExpression.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

namespace qvt {
namespace {

using qvt_test::errorText;

COptionAttributes definition(const std::string& path, const std::string& type) {
  COptionAttributes attributes;
  attributes.string("tagpath=" + path + "\ntype=" + type + "\nname=test");
  return attributes;
}

// byteOption: a byte-sequence option at path holding one element of text.
COption::Ptr byteOption(const std::string& path, const std::string& bytes) {
  COption::Ptr option = makeOption(definition(path, "byte_sequence"));
  option->addValue(CVariant(CHexStore(bytes)));
  return option;
}

// A DHCPv4 message: 53 (discover), 82 with 1, 2 and a second 1, and two
// instances of 43 holding sub-option 1 each.
class CHostOptionTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    COption::Ptr type = makeOption(definition("53", "8bit"));
    type->addValue(CVariant(std::uint64_t{1}));
    root->addChild(type);
    COption::Ptr relay = makeOption(definition("82", "subencoded"));
    relay->addChild(byteOption("82/1", "70-6F-72-74-31"));
    relay->addChild(byteOption("82/2", "AA-BB"));
    relay->addChild(byteOption("82/1", "70-6F-72-74-32"));
    root->addChild(relay);
    for (const char* bytes : {"01", "02"}) {
      COption::Ptr vendor = makeOption(definition("43", "subencoded"));
      vendor->addChild(byteOption("43/1", bytes));
      root->addChild(vendor);
    }
  }

  std::string valueAt(const std::string& path) const {
    COption::Ptr found = root->get(CTagPath(path), any, 0);
    return CValueTypeConverter(found).variant(0).string();
  }

  COption::Ptr root = makeMessageRoot(4);
  const COptionType any{};
};

TEST_F(CHostOptionTreeTest, LookupsByTagPath) {
  const std::vector<std::pair<const char*, std::size_t>> rows = {
      {"53", 1}, {"82", 1},   {"82/1", 2}, {"82/2", 1}, {"82/3", 0},
      {"83", 0}, {"53/1", 0}, {"43/1", 2}, {"", 0},
  };
  for (const auto& [text, instances] : rows) {
    SCOPED_TRACE(text);
    const CTagPath path(text);
    EXPECT_EQ(root->contains(path, any, 0), instances > 0);
    EXPECT_EQ(root->instances(path, any, 0), instances);
    COption::Ptr holder = root;
    EXPECT_EQ(root->tryGet(path, holder, any, 0), instances > 0);
    EXPECT_EQ(holder.isNull(), instances == 0);
  }
  EXPECT_EQ(valueAt("82/1"), "70-6F-72-74-31");
  EXPECT_EQ(valueAt("82/2"), "AA-BB");
  EXPECT_EQ(valueAt("53"), "1");
  // The type filter applies to the option found; "unknown" accepts any.
  EXPECT_TRUE(root->contains(CTagPath("53"), COptionType(COptionType::e8bit), 0));
  EXPECT_FALSE(root->contains(CTagPath("53"), COptionType(COptionType::e16bit), 0));
  EXPECT_TRUE(root->contains(CTagPath("82/1"), COptionType(COptionType::eByteSequence), 0));
}

TEST_F(CHostOptionTreeTest, InstancesAreNumberedDepthFirstInWireOrder) {
  const std::vector<std::pair<std::int32_t, std::string>> rows = {
      {-1, "70-6F-72-74-31"}, {0, "70-6F-72-74-31"}, {1, "70-6F-72-74-32"}, {2, ""}};
  for (const auto& [instance, expected] : rows) {
    SCOPED_TRACE(instance);
    COption::Ptr holder = root;
    root->fill(CTagPath("82/1"), holder, instance, any, 0);
    EXPECT_EQ(holder ? CValueTypeConverter(holder).variant(0).string() : "", expected);
  }
  // Repeated enclosing options: 43/1 of the second 43 is instance 1.
  COption::Ptr second;
  root->fill(CTagPath("43/1"), second, 1, any, 0);
  ASSERT_FALSE(second.isNull());
  EXPECT_EQ(CValueTypeConverter(second).variant(0).string(), "02");
  EXPECT_EQ(root->find(CTagPath("43/1"), 1, any, 0), second.get());
  COption::List all;
  root->getAll(CTagPath("43/1"), all, any, 0);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].get(), second.get());
}

TEST_F(CHostOptionTreeTest, MissingOptionsRaiseOnGetOnly) {
  EXPECT_EQ(errorText([&] { root->get(CTagPath("82/3"), any, 0); }),
            "Cannot find option 82/3. (Option does not exist.)");
  EXPECT_EQ(errorText([&] { root->get(CTagPath("53"), COptionType(COptionType::eString), 0); }),
            "Cannot find option 53. (Option does not exist.)");
  // Asked below an option, the message names the whole path.
  COption::Ptr relay = root->get(CTagPath("82"), any, 0);
  EXPECT_EQ(errorText([&] { relay->get(CTagPath("9/4491"), any, 0); }),
            "Cannot find option 82/9/4491. (Option does not exist.)");
  EXPECT_EQ(errorText([&] { root->insert(CTagPath("60"), byteOption("60/1", "00")); }),
            "Cannot find option 60. (Option does not exist.)");
  // A top-level option has no parent; an element past the end is refused.
  EXPECT_EQ(relay->parent(), nullptr);
  EXPECT_EQ(errorText([&] { CValueTypeConverter(relay->get(CTagPath("1"), any, 0)).variant(1); }),
            "Cannot access element 1 in option 82/1. (Index out of range.)");
}

TEST_F(CHostOptionTreeTest, EditingTheTree) {
  root->insert(CTagPath("82"), byteOption("82/6", "73-75-62"));
  EXPECT_EQ(valueAt("82/6"), "73-75-62");
  EXPECT_EQ(root->get(CTagPath("82/6"), any, 0)->fullTagPath().string(), "82/6");

  EXPECT_EQ(root->remove(CTagPath("82/1"), any, 0), 2u);
  EXPECT_FALSE(root->contains(CTagPath("82/1"), any, 0));
  EXPECT_TRUE(root->contains(CTagPath("82/2"), any, 0));
  EXPECT_EQ(root->remove(CTagPath("43"), any, 0), 2u);
  EXPECT_EQ(root->childCount(), 2u);

  COption::Ptr relay = root->get(CTagPath("82"), any, 0);
  EXPECT_EQ(errorText([&] { relay->addChild(relay); }),
            "Cannot add a sub-option to option 82. (The sub-option would contain itself.)");
  COption::Ptr sub = relay->get(CTagPath("2"), any, 0);
  EXPECT_EQ(errorText([&] { sub->addChild(relay); }),
            "Cannot add a sub-option to option 82/2. (The sub-option would contain itself.)");
  EXPECT_EQ(errorText([&] { root->addChild(COption::Ptr()); }),
            "Cannot add a sub-option to option dhcp4-message. (The sub-option is null.)");
}

TEST_F(CHostOptionTreeTest, LookupsFollowTagsChangedAfterAdding) {
  // The tree remembers its sub-options' tags; a change made afterwards,
  // through the attributes or by replacing them, is still found exactly.
  COption::Ptr relay = root->get(CTagPath("82"), any, 0);
  COption::Ptr circuit = relay->get(CTagPath("1"), any, 0);
  COptionAttributes& held = circuit->attributes();
  held.setTagPath(CTagPath("82/7"));
  EXPECT_EQ(valueAt("82/7"), "70-6F-72-74-31");
  EXPECT_EQ(valueAt("82/1"), "70-6F-72-74-32");  // the second instance is first now
  held.setTagPath(CTagPath("82/1"));
  EXPECT_EQ(valueAt("82/1"), "70-6F-72-74-31");
  EXPECT_EQ(root->instances(CTagPath("82/1"), any, 0), 2u);

  root->get(CTagPath("53"), any, 0)->setAttributes(definition("54", "8bit"));
  EXPECT_FALSE(root->contains(CTagPath("53"), any, 0));
  EXPECT_EQ(valueAt("54"), "1");

  // An option in two trees: both see its change.
  COption::Ptr other = makeMessageRoot(4);
  COption::Ptr remote = relay->get(CTagPath("2"), any, 0);
  other->addChild(remote);
  remote->attributes().setTagPath(CTagPath("9"));
  EXPECT_TRUE(other->contains(CTagPath("9"), any, 0));
  EXPECT_TRUE(root->contains(CTagPath("82/9"), any, 0));
  EXPECT_FALSE(root->contains(CTagPath("82/2"), any, 0));

  // An option whose attributes were handed out before it was added.
  COption::Ptr late = byteOption("12", "01");
  COptionAttributes& early = late->attributes();
  root->addChild(late);
  early.setTagPath(CTagPath("13"));
  EXPECT_EQ(valueAt("13"), "01");
  // A removed option's later changes reach no tree.
  EXPECT_EQ(root->remove(CTagPath("13"), any, 0), 1u);
  early.setTagPath(CTagPath("14"));
  EXPECT_FALSE(root->contains(CTagPath("14"), any, 0));
}

TEST(CHostOptionTest, ManySubOptionsAreFoundInWireOrder) {
  // Enough sub-options for the tree to index them by tag; repeated tags,
  // removals and a changed tag keep the order of a plain scan.
  COption::Ptr root = makeMessageRoot(4);
  const COptionType any;
  std::vector<std::uint32_t> tags;
  for (std::uint32_t i = 0; i < 40; ++i) {
    const std::uint32_t tag = i % 3 == 0 ? 0xffffffe0u + i % 5 : (i * 7) % 23;
    tags.push_back(tag);
    root->addChild(byteOption(std::to_string(tag), "01"));
    root->child(i)->setContext(i);
  }
  const auto expectScanOrder = [&] {
    for (std::uint32_t tag : {0u, 7u, 14u, 21u, 5u, 22u, 99u, 0xffffffe0u, 0xffffffe3u}) {
      std::vector<std::uint64_t> expected;
      for (std::size_t i = 0; i < root->childCount(); ++i) {
        if (root->child(i)->ownTag() == tag) expected.push_back(root->child(i)->context());
      }
      const CTagPath path(tag);
      ASSERT_EQ(root->instances(path, any, 0), expected.size()) << tag;
      for (std::size_t n = 0; n < expected.size(); ++n) {
        EXPECT_EQ(root->find(path, static_cast<std::int32_t>(n), any, 0)->context(), expected[n])
            << tag;
      }
      EXPECT_EQ(root->contains(path, any, 0), !expected.empty()) << tag;
    }
  };
  expectScanOrder();
  EXPECT_EQ(root->remove(CTagPath(7u), any, 0), 1u);
  EXPECT_EQ(root->remove(CTagPath(0xffffffe0u), any, 0), 3u);
  expectScanOrder();
  root->child(30)->attributes().setTagPath(CTagPath(21u));
  expectScanOrder();
  root->clearChildren();
  expectScanOrder();
}

TEST_F(CHostOptionTreeTest, CloneIsDeepAndEqual) {
  COption::Ptr copy = root->clone();
  EXPECT_TRUE(copy->equals(*root));
  EXPECT_EQ(copy->get(CTagPath("82/2"), any, 0)->fullTagPath().string(), "82/2");
  COption::Ptr copied = copy->get(CTagPath("82/1"), any, 0);
  EXPECT_NE(copied.get(), root->get(CTagPath("82/1"), any, 0).get());
  copied->setValue(0, CVariant(CHexStore("00")));
  EXPECT_FALSE(copy->equals(*root));
  EXPECT_EQ(valueAt("82/1"), "70-6F-72-74-31");
}

TEST_F(CHostOptionTreeTest, DumpShowsPathsTypesAndValues) {
  EXPECT_EQ(root->dump(),
            "53 8bit: 1\n"
            "82 subencoded\n"
            "82/1 byte_sequence: 70-6F-72-74-31\n"
            "82/2 byte_sequence: AA-BB\n"
            "82/1 byte_sequence: 70-6F-72-74-32\n"
            "43 subencoded\n"
            "43/1 byte_sequence: 01\n"
            "43 subencoded\n"
            "43/1 byte_sequence: 02\n");
}

// One definition type and the element storage makeOption gives it.
TEST(CHostOptionTest, MakeOptionPicksTheElementType) {
  struct Row {
    const char* type;
    const char* text;     // read by string(text)
    const char* variant;  // the element as "type: text"
  };
  const std::vector<Row> rows = {
      {"8bit", "200", "integer: 200"},
      {"24bit", "16777215", "integer: 16777215"},
      {"64bit", "18446744073709551615", "integer: -1"},
      {"128bit", "00-01-02-03-04-05-06-07-08-09-0A-0B-0C-0D-0E-0F",
       "byte sequence: 00-01-02-03-04-05-06-07-08-09-0A-0B-0C-0D-0E-0F"},
      {"byte_sequence", "0A-1B", "byte sequence: 0A-1B"},
      {"snmp_oid", "2B-06-01", "string: 2B-06-01"},
      {"string", "docsis3.0", "string: docsis3.0"},
      {"dnsname", "example.com", "string: example.com"},
      {"ipaddress", "10.0.0.1", "ip address: 10.0.0.1"},
      {"ip_endpoint", "10.0.0.1:67", "ip endpoint: 10.0.0.1:67"},
      {"boolean", "true", "boolean: true"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    COption::Ptr option = makeOption(definition("1", row.type));
    option->string(row.text);
    ASSERT_EQ(option->count(), 1u);
    const CVariant value = CValueTypeConverter(option).variant(0);
    EXPECT_EQ(std::string(value.type().name()) + ": " + value.string(), row.variant);
  }
  for (const char* type : {"subencoded", "topencoded", "control", "fixed_offset"}) {
    SCOPED_TRACE(type);
    COption::Ptr option = makeOption(definition("1", type));
    EXPECT_NE(dynamic_cast<CHostOptionContainer*>(option.get()), nullptr);
    EXPECT_EQ(errorText([&] { option->addValue(CVariant(true)); }),
              std::string("Cannot set a value of option 1. (Option type ") + type +
                  " holds no elements.)");
  }
}

TEST(CHostOptionTest, ValuesAreCheckedAgainstTheType) {
  COption::Ptr relay = makeOption(definition("82", "subencoded"));
  COption::Ptr option = makeOption(definition("82/4", "24bit"));
  relay->addChild(option);
  option->addValue(CVariant(std::uint64_t{0xffffff}));
  EXPECT_EQ(errorText([&] { option->addValue(CVariant(std::uint64_t{0x1000000})); }),
            "Cannot set a value of option 82/4. (Value 16777216 is out of range for type "
            "24bit.)");
  COption::Ptr small = makeOption(definition("53", "8bit"));
  EXPECT_EQ(errorText([&] { small->addValue(CVariant(std::int64_t{-1})); }),
            "Cannot set a value of option 53. (Value 18446744073709551615 is out of range for "
            "type 8bit.)");
  EXPECT_EQ(errorText([&] { small->setValue(0, CVariant(std::uint64_t{1})); }),
            "Cannot access element 0 in option 53. (Index out of range.)");
  COption::Ptr expression = makeOption(definition("1", "expression"));
  EXPECT_EQ(errorText([&] { expression->addValue(CVariant::fromString("[1]")); }),
            "Cannot set a value of option 1. (No evaluator is set for expression options.)");
}

TEST(CHostOptionTest, ExpressionOptionsCompileWithTheirEvaluator) {
  CExpEval engine(nullptr);
  COption::Ptr option = makeOption(definition("1", "expression"), nullptr, 0, &engine);
  option->addValue(CVariant::fromString("[2 * 21]"));
  EXPECT_EQ(option->storage<CExpression>()[0].text(), "[2 * 21]");
  EXPECT_EQ(CValueTypeConverter(option).toUInt32(0), 42u);
  EXPECT_EQ(option->string(), "[2 * 21]");
}

}  // namespace
}  // namespace qvt
