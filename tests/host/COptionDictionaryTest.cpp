#include "host/COptionDictionary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/CVendorFile.h"

namespace qvt {
namespace {

using qvt_test::errorText;

const std::string kDictionaries = DHCP_EVAL_SOURCE_DIR "/host/dictionaries";

std::size_t countRecords(const std::string& fileName) {
  std::ifstream file(kDictionaries + "/" + fileName);
  std::size_t records = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.rfind("tagpath=", 0) == 0) ++records;
  }
  return records;
}

CTagPath parentOf(const CTagPath& path) {
  return CTagPath(path.begin(), path.depth() - 1);
}

class CShippedDictionaryTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CShippedDictionaryTest, EveryDefinitionLoadsRoundTripsAndHasItsParent) {
  COptionDictionary dictionary;
  ASSERT_NO_THROW(dictionary.load(kDictionaries, GetParam()));
  // No record is lost or replaced by a later one of the same path and vendor.
  EXPECT_EQ(dictionary.size(), countRecords(GetParam()));
  for (const auto& [key, definition] : dictionary.definitions()) {
    SCOPED_TRACE(definition.tagPath().string());
    const std::string text = definition.string();
    COptionAttributes back;
    back.string(text);
    EXPECT_EQ(back.string(), text);
    EXPECT_EQ(back.tagPath(), key.second);
    EXPECT_NE(definition.type().code(), COptionType::eUnknown);
    EXPECT_FALSE(definition.name().empty());
    // A sub-option sits below an encapsulating definition or a fixed field.
    const CTagPath& path = key.second;
    if (path.depth() > 1) {
      const COptionAttributes* parent = dictionary.find(parentOf(path), key.first);
      ASSERT_NE(parent, nullptr);
      const std::uint32_t tag = path[path.depth() - 1];
      const bool fixed = parent->fixedOffsets().find(tag) != nullptr;
      EXPECT_TRUE(fixed || parent->type().code() == COptionType::eSubencoded);
      if (!fixed && parent->type().code() == COptionType::eSubencoded) {
        EXPECT_GT(parent->elementAttributes().subtagWidth(), 0u);
        EXPECT_GT(parent->elementAttributes().sublenWidth(), 0u);
      }
    }
    // Every fixed field has a definition of its own.
    for (const auto& [tag, offset] : definition.fixedOffsets()) {
      CTagPath field = path;
      field.push_back(tag);
      EXPECT_NE(dictionary.find(field, key.first), nullptr) << field.string();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, CShippedDictionaryTest,
                         ::testing::Values("dhcp4.defs", "dhcp6.defs"));

TEST(COptionDictionaryTest, ShippedDefinitions) {
  COptionDictionary dhcp4;
  COptionDictionary dhcp6;
  dhcp4.load(COptionDictionary::defaultDirectory(), "dhcp4.defs");
  dhcp6.load(COptionDictionary::defaultDirectory(), "dhcp6.defs");
  struct Row {
    const COptionDictionary& dictionary;
    const char* path;
    std::int32_t vendor;
    const char* type;
    const char* name;
  };
  const std::vector<Row> rows = {
      {dhcp4, "0xffffffe2", 0, "byte_sequence", "chaddr"},
      {dhcp4, "82/1", 0, "byte_sequence", "agent-circuit-id"},
      {dhcp4, "43", 0, "byte_sequence", "vendor-encapsulated-options"},
      {dhcp4, "43", 4491, "subencoded", "cablelabs-vendor-encapsulated-options"},
      {dhcp4, "43/2", 4491, "string", "cablelabs-device-type"},
      {dhcp4, "43", 311, "byte_sequence", "vendor-encapsulated-options"},
      {dhcp6, "0xffffff01", 0, "24bit", "transaction-id"},
      {dhcp6, "17/2/2", 4491, "string", "cablelabs-device-type"},
      {dhcp6, "25/26/4", 0, "ipaddress", "iaprefix-prefix"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    const COptionAttributes* found = row.dictionary.find(CTagPath(row.path), row.vendor);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->type().string(), row.type);
    EXPECT_EQ(found->name(), row.name);
  }
  EXPECT_EQ(dhcp4.find(CTagPath("43/2")), nullptr);  // CableLabs only
  EXPECT_EQ(dhcp6.find(CTagPath("16"))->fixedOffsets().string(), "\"1,0,4\",\"2,4,0\"");
  EXPECT_EQ(dhcp6.find(CTagPath("16/2"))->elementAttributes().lenPrefixWidth(), 2u);
  EXPECT_TRUE(dhcp4.find(CTagPath("55"))->elementAttributes().arrayed());
}

TEST(COptionDictionaryTest, MissingDefinitionsDecodeAsBytes) {
  COptionDictionary dictionary;
  dictionary.loadText("tagpath=53\ntype=8bit\nname=dhcp-message-type\n");
  const COptionAttributes bytes = dictionary.definitionOrBytes(CTagPath("82/250"));
  EXPECT_EQ(bytes.type().string(), "byte_sequence");
  EXPECT_EQ(bytes.name(), "option-82/250");
  EXPECT_EQ(bytes.tagPath().string(), "82/250");
  EXPECT_EQ(bytes.userDefinable().string(), "allowed");
}

TEST(COptionDictionaryTest, BadRecordsNameTheirLine) {
  struct Row {
    const char* text;
    const char* error;
  };
  const std::vector<Row> rows = {
      {"# comment\ntagpath=1\ntype=8bit\nname=a\n\ntagpath=2\ntype=bogus\nname=b\n",
       "Cannot read option definitions from '(text)'. (Record ending at line 8: Cannot "
       "serialize option type. (Unknown option type 'bogus'.))"},
      {"type=8bit\nname=a\n\n",
       "Cannot read option definitions from '(text)'. (Record ending at line 3: Invalid option "
       "attribute data. (An option type definition must include a 'tagpath' setting.))"},
      {"tagpath=43/1\ntype=string\nname=a\nmax_instances=many\n",
       "Cannot read option definitions from '(text)'. (Record ending at line 4: Invalid data for "
       "option 43/1. (Invalid argument))"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    COptionDictionary dictionary;
    EXPECT_EQ(errorText([&] { dictionary.loadText(row.text); }), row.error);
  }
  COptionDictionary dictionary;
  EXPECT_EQ(errorText([&] { dictionary.load("/nonexistent", "dhcp4.defs"); }),
            "Cannot open file '/nonexistent/dhcp4.defs'. (No such file or directory)");
}

TEST(COptionDictionaryTest, VendorDefinitionsArePreferredForTheirVendor) {
  COptionDictionary dictionary;
  dictionary.loadText(
      "tagpath=43\ntype=byte_sequence\nname=general\n\n"
      "tagpath=43\ntype=subencoded\nname=cablelabs\nvendor_id=4491\n\n"
      "tagpath=43\ntype=string\nname=replaced\n");
  EXPECT_EQ(dictionary.size(), 2u);
  EXPECT_EQ(dictionary.find(CTagPath("43"))->name(), "replaced");
  EXPECT_EQ(dictionary.find(CTagPath("43"), 4491)->name(), "cablelabs");
  EXPECT_EQ(dictionary.find(CTagPath("43"), 311)->name(), "replaced");
  EXPECT_EQ(dictionary.find(CTagPath("44"), 4491), nullptr);
}

TEST(COptionDictionaryTest, LookupsOfEveryKindOfPathSurviveCopies) {
  // Option codes, header codes, other one-element codes, longer paths and
  // vendor definitions; a copy answers from its own definitions.
  auto dictionary = std::make_unique<COptionDictionary>();
  dictionary->loadText(
      "tagpath=255\ntype=8bit\nname=last-code\n\n"
      "tagpath=0xffffffe2\ntype=byte_sequence\nname=chaddr\n\n"
      "tagpath=0xfffffe00\ntype=8bit\nname=low-pseudo\n\n"
      "tagpath=4491\ntype=string\nname=wide\n\n"
      "tagpath=82/1\ntype=byte_sequence\nname=circuit\n\n"
      "tagpath=43\ntype=subencoded\nname=cablelabs\nvendor_id=4491\n");
  const COptionDictionary copy = *dictionary;
  const std::vector<std::pair<const char*, const char*>> rows = {
      {"255", "last-code"}, {"0xffffffe2", "chaddr"}, {"0xfffffe00", "low-pseudo"},
      {"4491", "wide"},     {"82/1", "circuit"},
  };
  for (const auto& [path, name] : rows) {
    EXPECT_EQ(dictionary->find(CTagPath(path))->name(), name) << path;
    EXPECT_EQ(copy.find(CTagPath(path))->name(), name) << path;
    EXPECT_NE(copy.find(CTagPath(path)), dictionary->find(CTagPath(path))) << path;
  }
  EXPECT_EQ(dictionary->find(CTagPath("0xffffffe3")), nullptr);
  EXPECT_EQ(dictionary->find(CTagPath("254")), nullptr);
  EXPECT_EQ(dictionary->find(CTagPath("255/1")), nullptr);
  EXPECT_EQ(dictionary->find(CTagPath("43")), nullptr);
  dictionary.reset();
  EXPECT_EQ(copy.find(CTagPath("43"), 4491)->name(), "cablelabs");
  EXPECT_EQ(copy.find(CTagPath("255"), 4491)->name(), "last-code");
}

TEST(CVendorFileTest, ShippedVendorClasses) {
  CVendorFile vendors;
  vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
  const CGeneralPtr<CVendorLookup> lookup = vendors.makeLookup(9);
  EXPECT_EQ(lookup->owner(), 9u);
  struct Row {
    const char* classText;
    const char* key;
    const char* vendorId;
  };
  const std::vector<Row> rows = {
      {"docsis3.0", "docsis*", "4491"},
      {"docsis", "docsis*", "4491"},
      {"MSFT 5.0", "MSFT*", "311"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.classText);
    const CVendorLookup::Result found = lookup->locate(row.classText);
    EXPECT_EQ(found.first, row.key);
    EXPECT_EQ(found.second->vendorId().string(), row.vendorId);
    EXPECT_FALSE(found.second->description().empty());
  }
  EXPECT_EQ(lookup->locate(4491, "pktc2.0").first, "pktc*");
  EXPECT_EQ(errorText([&] { lookup->locate("Docsis3.0"); }),
            "Cannot find attributes for vendor class 'Docsis3.0'. (This vendor class is not "
            "defined.)");
}

TEST(CVendorFileTest, PatternsKeepFileOrder) {
  CVendorFile vendors;
  vendors.loadText("class=a*\nvendor_id=1\n\nclass=?x*\nvendor_id=2\ndescription=second\n");
  ASSERT_EQ(vendors.entries().size(), 2u);
  EXPECT_EQ(vendors.entries()[1].second->description(), "second");
  // In key order "?x*" would come first; the file lists "a*" first.
  EXPECT_EQ(vendors.makeLookup()->locate("ax1").first, "a*");
  EXPECT_EQ(vendors.makeLookup()->locate("bx1").first, "?x*");
}

TEST(CVendorFileTest, BadRecords) {
  const std::vector<std::pair<const char*, const char*>> rows = {
      {"vendor_id=4491\n",
       "Cannot read vendor classes from '(text)'. (Record ending at line 1: Invalid vendor class "
       "data. (A vendor class record must include a 'class' setting.))"},
      {"class=docsis*\ndescription=x\n",
       "Cannot read vendor classes from '(text)'. (Record ending at line 2: Invalid vendor class "
       "data. (A vendor class record must include a 'vendor_id' setting.))"},
  };
  for (const auto& [text, error] : rows) {
    SCOPED_TRACE(text);
    CVendorFile vendors;
    EXPECT_EQ(errorText([&, text = text] { vendors.loadText(text); }), error);
  }
}

}  // namespace
}  // namespace qvt
