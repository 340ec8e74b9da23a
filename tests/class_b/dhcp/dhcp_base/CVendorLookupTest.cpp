#include "class_b/dhcp/dhcp_base/CVendorLookup.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "class_b/dhcp/dhcp_base/CVendorRecord.h"

namespace qvt {
namespace {

using qvt_test::errorText;

CVendorLookup::AttributesPtr vendor(const std::string& id, const std::string& description) {
  return CVendorLookup::AttributesPtr(new CVendorRecord(CVendorID(id), description));
}

std::string keyOf(const CVendorLookup& lookup, const std::string& classText) {
  return lookup.locate(classText).first;
}

TEST(CVendorLookupTest, ExactKeysWinOverPatterns) {
  CVendorLookup lookup(7);
  lookup.load({{"docsis*", vendor("4491", "any docsis")}, {"docsis3.0", vendor("4491/3", "3.0")}});
  EXPECT_EQ(keyOf(lookup, "docsis3.0"), "docsis3.0");
  EXPECT_EQ(lookup.locate("docsis3.0").second->description(), "3.0");
  EXPECT_EQ(keyOf(lookup, "docsis2.0"), "docsis*");
  EXPECT_EQ(lookup.owner(), 7u);
  EXPECT_EQ(errorText([&] { lookup.locate("pktc1.0"); }),
            "Cannot find attributes for vendor class 'pktc1.0'. (This vendor class is not "
            "defined.)");
}

TEST(CVendorLookupTest, TheFirstListedPatternDecides) {
  CVendorLookup lookup;
  lookup.load({{"a*", vendor("1", "a")}});
  lookup.load({{"ab*", vendor("2", "ab")}});
  EXPECT_EQ(keyOf(lookup, "abc"), "a*");

  // Reloading a key replaces its attributes and lists it again; the earlier
  // listing still decides.
  lookup.load({{"a*", vendor("3", "a again")}});
  EXPECT_EQ(lookup.patterns().size(), 3u);
  const CVendorLookup::Result found = lookup.locate("abc");
  EXPECT_EQ(found.first, "a*");
  EXPECT_EQ(found.second->vendorId().string(), "3");
}

TEST(CVendorLookupTest, SetsAloneDoNotMakeAPattern) {
  CVendorLookup lookup;
  lookup.load({{"[abc]x", vendor("4491", "set")}});
  EXPECT_TRUE(lookup.patterns().empty());
  EXPECT_EQ(keyOf(lookup, "[abc]x"), "[abc]x");
  EXPECT_EQ(errorText([&] { lookup.locate("bx"); }),
            "Cannot find attributes for vendor class 'bx'. (This vendor class is not defined.)");
  EXPECT_EQ(lookup.locate(4491, "bx").first, "[abc]x");
}

TEST(CVendorLookupTest, ByEnterpriseNumberInKeyOrder) {
  CVendorLookup lookup;
  lookup.load({{"*", vendor("4491/1", "catch-all")},
               {"docsis*", vendor("4491/2", "docsis")},
               {"pktc", vendor("-1", "negative")},
               {"empty", CVendorLookup::AttributesPtr()}});
  EXPECT_EQ(lookup.locate(4491, "anything").first, "*");
  EXPECT_EQ(lookup.locate(4491, "docsis3.0").first, "*");  // "*" sorts before "docsis*"
  EXPECT_EQ(lookup.locate(-1, "pktc").first, "pktc");
  EXPECT_EQ(errorText([&] { lookup.locate(-1, "pktc1.0"); }),
            "Cannot find attributes for vendor -1, class 'pktc1.0'. (This vendor class is not "
            "defined.)");
  EXPECT_EQ(errorText([&] { lookup.locate(4492, "anything"); }),
            "Cannot find attributes for vendor 4492, class 'anything'. (This vendor class is not "
            "defined.)");
}

TEST(CVendorLookupTest, FindReadsInPlaceAndLocateSharesTheEntry) {
  CVendorLookup lookup;
  const CVendorLookup::AttributesPtr attributes = vendor("4491", "docsis");
  lookup.load({{"docsis*", attributes}, {"pktc", vendor("4491/2", "pktc")}});
  const CVendorLookup::Entry* found = lookup.find("docsis3.0");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found, &*lookup.classes().find("docsis*"));
  EXPECT_EQ(attributes.useCount(), 2u);  // ours and the lookup's: find copies none
  EXPECT_EQ(lookup.find(4491, "pktc"), &*lookup.classes().find("pktc"));
  EXPECT_EQ(lookup.find("pktc1.0"), nullptr);
  EXPECT_EQ(lookup.find(4492, "pktc"), nullptr);
  // locate's result holds the stored attributes.
  const CVendorLookup::Result located = lookup.locate("docsis3.0");
  EXPECT_EQ(located.second.get(), attributes.get());
  EXPECT_EQ(attributes.useCount(), 3u);
}

}  // namespace
}  // namespace qvt
