#include "class_b/dhcp/dhcp_base/COptionAttributes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CNumberConversion.h"
#include "class_a/standard/CStringMap.h"
#include "class_b/dhcp/dhcp_base/CElementAttributes.h"

namespace qvt {
namespace {

using qvt_test::errorText;

const std::string kDefaultElementText =
    "arrayed=false\nlen_prefix_width=0\nmax_value=\nmin_value=\nnull_terminated=false\n"
    "signed=false\nsublen_width=0\nsubtag_width=0\nsubtype_width=0\nunit=\n";

TEST(CElementAttributesTest, DefaultBoundsAreWrittenEmptyAndReadBack) {
  const CElementAttributes defaults;
  EXPECT_EQ(defaults.string(), kDefaultElementText);

  for (const std::string& text : {std::string(), kDefaultElementText, std::string("min_value=")}) {
    SCOPED_TRACE(text);
    CElementAttributes read;
    read.setMinValue(5);
    read.string(text);
    EXPECT_EQ(read.minValue(), CElementAttributes::kNoMinimum);
    EXPECT_EQ(read.maxValue(), CElementAttributes::kNoMaximum);
    EXPECT_EQ(read, defaults);
  }
}

TEST(CElementAttributesTest, RoundTripsEveryField) {
  CElementAttributes a;
  a.string(
      "signed=True\narrayed=TRUE\nnull_terminated=yes\nlen_prefix_width=1\nsubtag_width=2\n"
      "sublen_width=3\nsubtype_width=4\nunit= seconds \nmin_value=-10\nmax_value=2147483646");
  EXPECT_TRUE(a.isSigned());
  EXPECT_TRUE(a.arrayed());
  EXPECT_FALSE(a.nullTerminated());
  EXPECT_EQ(a.subtypeWidth(), 4u);
  EXPECT_EQ(a.unit(), "seconds");
  CElementAttributes b;
  b.string(a.string());
  EXPECT_EQ(a, b);
  EXPECT_EQ(b.maxValue(), 2147483646);
}

// A definition with every optional key left out.
const std::string kMinimal = "tagpath=43/1\ntype=string\nname=vendor-name";

TEST(COptionAttributesTest, DefaultsOfTheObjectAndOfTheText) {
  const COptionAttributes defaults;
  EXPECT_EQ(defaults.tagPath().string(), "0xffffffff");
  EXPECT_EQ(defaults.type().code(), COptionType::eUnknown);
  EXPECT_EQ(defaults.userDefinable().string(), "disallowed");
  EXPECT_EQ(defaults.maxInstances(), 1u);
  EXPECT_EQ(defaults.inputTypeEncodingValue(), -1);
  EXPECT_EQ(defaults.outputTypeEncodingValue(), -1);
  EXPECT_EQ(defaults.vendorId().string(), "0");

  COptionAttributes read;
  read.string(kMinimal + "\nmax_instances=\nvendor_oro=yes");
  EXPECT_EQ(read.tagPath().string(), "43/1");
  EXPECT_EQ(read.name(), "vendor-name");
  EXPECT_EQ(read.userDefinable().string(), "allowed");
  EXPECT_EQ(read.maxInstances(), 1u);
  EXPECT_FALSE(read.vendorOro());
  EXPECT_EQ(read.vendorId().string(), "0");
  EXPECT_EQ(read.inputTypeEncodingValue(), -1);
  EXPECT_TRUE(read.fixedOffsets().empty());
  EXPECT_EQ(read.elementAttributes(), CElementAttributes());
}

TEST(COptionAttributesTest, WritesEveryKeyAndReadsItBack) {
  COptionAttributes a;
  a.string(
      "tagpath=43/70000\ntype=Bool\nname=n\nclass=c\ndescription=d e\ndefault_value=1\n"
      "user_definable=required\nmax_instances=4\nvendor_id=4491/-1\nvendor_oro=true\n"
      "context_vendor_id=4491\ninput_type_encoding_value=3\noutput_type_encoding_value=-7\n"
      "fixed_offsets=\"2,4,2\",\"1,0,4\"\narrayed=true\nmin_value=0");
  const std::string text = a.string();
  EXPECT_EQ(text,
            "class=c\ncontext_vendor_id=4491\ndefault_value=1\ndescription=d e\n"
            "fixed_offsets=\"1,0,4\",\"2,4,2\"\ninput_type_encoding_value=3\nmax_instances=4\n"
            "name=n\noutput_type_encoding_value=-7\ntagpath=43/0x11170\ntype=boolean\n"
            "user_definable=required\nvendor_id=4491/0xffffffff\nvendor_oro=true\n"
            "arrayed=true\nlen_prefix_width=0\nmax_value=\nmin_value=0\nnull_terminated=false\n"
            "signed=false\nsublen_width=0\nsubtag_width=0\nsubtype_width=0\nunit=\n");
  COptionAttributes b;
  b.string(text);
  EXPECT_EQ(b.string(), text);
  EXPECT_EQ(b.vendorId()[1], -1);
  EXPECT_EQ(b.elementAttributes().minValue(), 0);

  // Written text reads back the same, also from texts the writer would not
  // produce ("vendor_id=/" names no vendor, as an empty vendor_id does).
  for (const std::string& written :
       {kMinimal, kMinimal + "\nvendor_id=/", kMinimal + "\nfixed_offsets=\"-2,0,4\""}) {
    SCOPED_TRACE(written);
    COptionAttributes once;
    once.string(written);
    COptionAttributes again;
    again.string(once.string());
    EXPECT_EQ(again.string(), once.string());
  }
}

TEST(COptionAttributesTest, ReportsMissingAndInvalidSettings) {
  struct Row {
    std::string text;
    std::string error;
  };
  const std::string invalid = "Invalid data for option 43/1. (";
  std::string deep = "tagpath=1";
  for (int i = 0; i < 100; ++i)
    deep += "/1";
  const std::vector<Row> rows = {
      {"type=string\nname=x",
       "Invalid option attribute data. (An option type definition must include a 'tagpath' "
       "setting.)"},
      {"tagpath=43/1\nname=x",
       invalid + "An option type definition must include a 'type' setting.)"},
      {"tagpath=43/1\ntype=string",
       invalid + "An option type definition must include a 'name' setting.)"},
      {"tagpath=43/1\ntype=strings\nname=x",
       "Cannot serialize option type. (Unknown option type 'strings'.)"},
      {kMinimal + "\nuser_definable=maybe", invalid + "Illegal value.)"},
      {kMinimal + "\nfixed_offsets=5,2", invalid + "Cannot locate an 'offset' definition.)"},
      {kMinimal + "\nfixed_offsets=\"5,2\"", invalid + "Cannot locate a 'length' definition.)"},
      {kMinimal + "\nmax_value=2147483648", invalid + "Value '2147483648' overflows 32 bits.)"},
      {kMinimal + "\ninput_type_encoding_value=-2147483649",
       invalid + "Value '-2147483649' overflows 32 bits.)"},
      // A path's own error passes unchanged.
      {deep + "\ntype=8bit\nname=x",
       "Cannot append to numeric path. (Depth 101 is larger than the maximum allowed depth of "
       "100.)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    COptionAttributes a;
    EXPECT_EQ(errorText([&] { a.string(row.text); }), row.error);
  }
}

TEST(COptionAttributesTest, NonNumericMaxInstancesKeepsTheParsersReasonAndType) {
  const auto parser = qvt_test::caught([] { CNumberConversion::toUInt32("many"); });
  ASSERT_TRUE(parser);
  COptionAttributes a;
  try {
    a.string(kMinimal + "\nmax_instances=many");
    FAIL() << "no error";
  } catch (const CNumberConversionException& e) {
    EXPECT_EQ(e.text(), "Invalid data for option 43/1. (" + parser->reason().text() + ")");
    EXPECT_EQ(e.operation(), parser->operation());
  }
  // Fields read before the failure keep their new values.
  EXPECT_EQ(a.tagPath().string(), "43/1");
  EXPECT_EQ(a.name(), "vendor-name");
}

}  // namespace
}  // namespace qvt
