#include "class_a/standard/CHexStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "class_a/standard/CException.h"

namespace qvt {
namespace {

struct ParseRow {
  std::string text;
  std::string separator;
  std::string expected;  // text form with "-", or the whole error text
  bool fails;
};

TEST(CHexStoreTest, ParsesPairsAndSkipsSeparatorWidth) {
  const std::string nybble = "Cannot convert character to nybble. ";
  const std::vector<ParseRow> rows = {
      {"", "-", "", false},
      {"00", "-", "00", false},
      {"0a-1b", "-", "0A-1B", false},
      {"0A-", "-", "0A", false},
      {"0a:1b", "-", "0A-1B", false},  // the skipped character is not checked
      {"fF-aA-09", "-", "FF-AA-09", false},
      {"0a1b", "-", nybble + "(Invalid hexadecimal character ''.)", true},
      {"zz", "-", nybble + "(Invalid hexadecimal character 'z'.)", true},
      {"0g", "-", nybble + "(Invalid hexadecimal character 'g'.)", true},
      {"0", "-", nybble + "(Invalid hexadecimal character ''.)", true},
      {"0a1b", "", "0A-1B", false},
      {"0a::1b", "::", "0A-1B", false},
      {"0a::", "::", "0A", false},
      {"0a:", "::", nybble + "(Invalid hexadecimal character ''.)", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("'" + row.text + "' with '" + row.separator + "'");
    CHexStore store(16, row.separator);
    store.append(0x55);
    try {
      store.parse(row.text);
      EXPECT_FALSE(row.fails);
      EXPECT_EQ(CHexStore::toText(store, "-"), row.expected);
    } catch (const CException& e) {
      EXPECT_TRUE(row.fails);
      EXPECT_EQ(e.text(), row.expected);
      EXPECT_EQ(e.operation(), "CHexStore::_char2Nybble");
      EXPECT_EQ(e.className(), "static");
      EXPECT_EQ(store.size(), 0u);
    }
  }
}

TEST(CHexStoreTest, TextFormUsesSeparatorBetweenBytesOnly) {
  const unsigned char raw[] = {0x0A, 0x1B, 0x2C};
  CHexStore store(raw, 3);
  EXPECT_EQ(store.string(), "0A-1B-2C");
  store.setSeparator(":");
  EXPECT_EQ(store.string(), "0A:1B:2C");
  EXPECT_EQ(CHexStore::toText(store, ""), "0A1B2C");
  EXPECT_EQ(CHexStore().string(), "");
  EXPECT_EQ(CHexStore(std::string("00")).string(), "00");
  EXPECT_EQ(store.byteToHex(0xF0), "F0");
}

TEST(CHexStoreTest, EqualityIgnoresSeparatorAndDataIsNullWhenEmpty) {
  CHexStore a(std::string("01-02"));
  CHexStore b(std::string("01:02"), ":");
  EXPECT_EQ(a, b);
  b.append(0x03);
  EXPECT_NE(a, b);
  a += CHexStore(std::string("03"));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a[2], 0x03);

  CHexStore empty;
  EXPECT_EQ(empty.data(), nullptr);
  empty.append(0x00);
  ASSERT_NE(empty.data(), nullptr);
  empty.clear();
  EXPECT_EQ(empty.data(), nullptr);
}

TEST(CHexStoreTest, GrowsPastInlineStorageAndCopiesDeeply) {
  CHexStore store;
  for (int i = 0; i < 200; ++i)
    store.append(static_cast<unsigned char>(i));
  CHexStore copy(store);
  copy[0] = 0xFF;
  EXPECT_EQ(store[0], 0x00);
  EXPECT_EQ(copy.size(), 200u);
  EXPECT_EQ(copy[199], 199);
  store += store;  // appending itself doubles the bytes
  EXPECT_EQ(store.size(), 400u);
  EXPECT_EQ(store[200], 0x00);
  EXPECT_EQ(store[399], 199);
}

}  // namespace
}  // namespace qvt
