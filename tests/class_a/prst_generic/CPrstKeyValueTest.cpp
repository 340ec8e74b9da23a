#include "class_a/prst_generic/CPrstKeyValue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace qvt {
namespace {

using qvt_test::caught;
using qvt_test::errorText;

// fields: the record's fields in one line, for table comparisons.
std::string fields(const CPrstKeyValue& r) {
  return r.kclass() + "|" + r.subclass() + "|" + r.key() + "|" + r.value() + "|" +
         (r.enabled() ? "on" : "off") + "|" + std::to_string(r.modTime().seconds()) + "|" +
         std::to_string(r.oid()) + "|" + r.domains();
}

TEST(CPrstKeyValueTest, SetReadsFieldsAndDefaults) {
  struct Row {
    std::string text;
    std::string fields;
  };
  const std::vector<Row> rows = {
      {"class=pool\nkey=k\nvalue=v", "pool||k|v|on|0|0|"},
      {"class=pool\nsubclass=cm\nkey=k\nvalue=10.1.0.0", "pool|cm|k|10.1.0.0|on|0|0|"},
      {"class=c\nkey=k\nvalue=v\nenabled=yes", "c||k|v|off|0|0|"},
      {"class=c\nkey=k\nvalue=v\nenabled=TRUE", "c||k|v|on|0|0|"},
      {"class=c\nkey=k\nvalue=v\nenabled=True", "c||k|v|on|0|0|"},
      {"class=c\nkey=k\nvalue=v\nenabled=", "c||k|v|off|0|0|"},
      {"class=c\nkey=k\nvalue=a=b\noid=42\ndomains=ops", "c||k|a=b|on|0|42|ops"},
      {"class=c\nkey=k\nvalue=v\nmod_time=Fri Jan  2 00:00:00 1970", "c||k|v|on|86400|0|"},
      {"class=c\nkey=k\nvalue=\nunknown=1", "c||k||on|0|0|"},
      {" class = c \n key = k \n value = v ", "c||k|v|on|0|0|"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    CPrstKeyValue record;
    record._set(row.text);
    EXPECT_EQ(fields(record), row.fields);
  }
}

TEST(CPrstKeyValueTest, SetChecksClassKeyValueInOrderAndKeepsEarlierFields) {
  struct Row {
    std::string text;
    std::string reason;
    std::string fieldsAfter;
  };
  // The record starts as "old|old|old|old|off|5|7|old" in every row.
  const std::vector<Row> rows = {
      {"key=k\nvalue=v", "Missing 'class' key.", "old|old|old|old|off|5|7|"},
      {"value=v", "Missing 'class' key.", "old|old|old|old|off|5|7|"},
      {"class=c\nvalue=v\noid=9", "Missing key 'key'.", "c||old|old|off|5|9|"},
      {"class=c\nsubclass=s\nkey=k\ndomains=d", "Missing 'value' key.", "c|s|k|old|off|5|7|d"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    CPrstKeyValue record("old", "old", "old", "old", false);
    record.setModTime(5);
    record.setOid(7);
    record.setDomains("old");
    const auto e = caught([&] { record._set(row.text); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), "Failed to set a key_value record from text. (" + row.reason + ")");
    EXPECT_EQ(e->operation(), "CPrstKeyValue::_set");
    EXPECT_EQ(e->module(), "prst_generic");
    EXPECT_EQ(fields(record), row.fieldsAfter);
  }
}

TEST(CPrstKeyValueTest, SetRefusesUnreadableOidAndModTime) {
  CPrstKeyValue record;
  EXPECT_EQ(errorText([&] { record._set("class=c\nkey=k\nvalue=v\nmod_time=yesterday"); }),
            "Failed to set a key_value record from text. (Invalid time 'yesterday' in key "
            "'mod_time'.)");
  EXPECT_EQ(errorText([&] { record._set("oid=12x\nclass=c\nkey=k\nvalue=v"); }),
            "Cannot deserialize number '12x' from text. (Invalid argument)");
}

TEST(CPrstKeyValueTest, TextFormListsEveryKeyAndReadsBack) {
  CPrstKeyValue record("pool", "cm", "00-11-22-33-44-55", "10.1.0.0", false);
  record.setModTime(86400);
  record.setOid(12);
  record.setDomains("ops");
  const std::string text = record.string();
  EXPECT_EQ(text,
            "class=pool\ndomains=ops\nenabled=false\nkey=00-11-22-33-44-55\n"
            "mod_time=Fri Jan  2 00:00:00 1970\noid=12\nsubclass=cm\nvalue=10.1.0.0\n");
  CPrstKeyValue copy;
  copy.string(text);
  EXPECT_EQ(fields(copy), fields(record));
  EXPECT_EQ(copy.string(), text);
}

TEST(CPrstKeyValueTest, RecordsDifferingOnlyInSubclassAreDistinct) {
  const CPrstKeyValue a("c", "s1", "k", "v");
  const CPrstKeyValue b("c", "s2", "k", "v");
  EXPECT_FALSE(a.sameKey(b));
  EXPECT_TRUE(a.sameKey(CPrstKeyValue("c", "s1", "k", "other", false)));
}

}  // namespace
}  // namespace qvt
