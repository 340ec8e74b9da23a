#include "host/kvstore/KeyValueRecordFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace qvt::host {
namespace {

using qvt_test::errorText;

TEST(KeyValueRecordFileTest, WrittenRecordsReadBackTheSame) {
  std::vector<CPrstKeyValue> records = {{"pool", "cm", "00-11", "10.1.0.0"},
                                        {"pool", "", "default", "a=b # not a comment", false},
                                        {"#class", "sub", "k", "v"}};
  records[0].setModTime(1700000000);
  records[0].setOid(7);
  const std::string text = writeRecords(records);
  EXPECT_EQ(text.substr(0, text.find("\n\n") + 2),
            "class=pool\ndomains=\nenabled=true\nkey=00-11\nmod_time=Tue Nov 14 22:13:20 2023\n"
            "oid=7\nsubclass=cm\nvalue=10.1.0.0\n\n");
  const std::vector<CPrstKeyValue> read = readRecords(text, "(text)");
  ASSERT_EQ(read.size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i)
    EXPECT_EQ(read[i].string(), records[i].string());
  EXPECT_EQ(writeRecords({}), "");
}

TEST(KeyValueRecordFileTest, BlankLinesSeparateAndCommentsAreSkipped) {
  const std::string text =
      "# key-value records\r\n"
      "class=pool\r\n"
      "  # inside a record\r\n"
      "key=a\r\n"
      "value=1\r\n"
      " \t \r\n"
      "\n"
      "class=pool\nkey=b\nvalue=2\nenabled=no";
  const std::vector<CPrstKeyValue> read = readRecords(text, "(text)");
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].key() + "=" + read[0].value(), "a=1");
  EXPECT_EQ(read[1].key() + "=" + read[1].value() + (read[1].enabled() ? "" : " off"), "b=2 off");
  EXPECT_TRUE(readRecords("\n# nothing\n\n", "(text)").empty());
}

TEST(KeyValueRecordFileTest, ErrorsNameRecordAndFirstLine) {
  struct Row {
    std::string text;
    std::string reason;
  };
  const std::vector<Row> rows = {
      {"class=a\nkey=k\nvalue=v\n\n# second\n\nclass=b\nvalue=v\n",
       "Record 2 (line 7: 'class=b'): Failed to set a key_value record from text. (Missing key "
       "'key'.)"},
      {"# only\nkey=k\nvalue=v",
       "Record 1 (line 2: 'key=k'): Failed to set a key_value record "
       "from text. (Missing 'class' key.)"},
      {"class=a\nkey=k\nvalue=v\nenabeld=false",
       "Record 1 (line 1: 'class=a'): Unknown key 'enabeld'."},
      {"class=a\nkey=k\nvalue=v\nmod_time=soon",
       "Record 1 (line 1: 'class=a'): Failed to set a key_value record from text. (Invalid time "
       "'soon' in key 'mod_time'.)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(errorText([&] { readRecords(row.text, "kv.txt"); }),
              "Cannot read key-value records from 'kv.txt'. (" + row.reason + ")");
  }
  EXPECT_EQ(errorText([] { readRecordFile("/nonexistent/kv.txt"); }),
            "Cannot open file '/nonexistent/kv.txt'. (No such file or directory)");
}

}  // namespace
}  // namespace qvt::host
