#include "class_b/dhcp/dhcp_base/CFixedOffsetStorage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_b/dhcp/dhcp_base/CFixedRawOffset.h"

namespace qvt {
namespace {

using qvt_test::errorText;

TEST(CFixedRawOffsetTest, ReadsTagOffsetAndLength) {
  struct Row {
    std::string text;
    std::string result;  // the written form, or the error text
  };
  const std::string bad = "does not describe a valid fixed offset. (Cannot locate a";
  const std::vector<Row> rows = {
      {"7,1,1", "7,1,1"},
      {"\"7,1,1\"", "7,1,1"},
      {" \\\"7,1,1\"\\ ", "7,1,1"},
      {"1,2,3,4", "1,2,3"},
      {"x,2,3", "0,2,3"},
      // A negative number wraps to 32 bits, and what is written reads back.
      {"-2,0,4", "4294967294,0,4"},
      {"4294967294,0,4294967295", "4294967294,0,4294967295"},
      {"4294967296,0,99999999999", "2147483647,0,2147483647"},
      {"-99999999999,0,1", "2147483648,0,1"},
      {"5,2", "Format '5,2' " + bad + " 'length' definition.)"},
      {"5,2,", "Format '5,2,' " + bad + " 'length' definition.)"},
      {"5,,2", "Format '5,,2' " + bad + "n 'offset' definition.)"},
      {"5", "Format '5' " + bad + "n 'offset' definition.)"},
      {",1,2", "Format ',1,2' " + bad + " 'tag' definition.)"},
      {"", "Format '' " + bad + " 'tag' definition.)"},
      {"\"\"", "Format '\"\"' " + bad + " 'tag' definition.)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    CFixedRawOffset offset(9, 9, 9);
    const std::string error = errorText([&] { offset.string(row.text); });
    EXPECT_EQ(error == "no error" ? offset.string() : error, row.result);
  }
}

TEST(CFixedOffsetStorageTest, KeepsOneEntryPerTagInTagOrder) {
  CFixedOffsetStorage storage;
  storage.string("\"2,4,2\",\"1,0,4\"");
  EXPECT_EQ(storage.string(), "\"1,0,4\",\"2,4,2\"");

  storage.string("\"1,0,4\",\"1,8,2\"");
  ASSERT_EQ(storage.size(), 1u);
  EXPECT_EQ(*storage.find(1), CFixedRawOffset(1, 8, 2));

  storage.string("");
  EXPECT_TRUE(storage.empty());
  EXPECT_EQ(storage.string(), "");

  // Unquoted entries split at every comma.
  EXPECT_EQ(errorText([&] { storage.string("1,0,4"); }),
            "Format '1' does not describe a valid fixed offset. (Cannot locate an 'offset' "
            "definition.)");
}

}  // namespace
}  // namespace qvt
