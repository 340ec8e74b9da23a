#include "class_a/standard/CHexStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace qvt {
namespace {

TEST(CHexStoreTest, ParsesPairsAndSkipsSeparatorWidth) {
  const std::string bad =
      "CHexStore::_char2Nybble: Cannot convert character to nybble. (Invalid "
      "hexadecimal character '";
  // text, separator, text form with "-" or where and whole error text
  const std::vector<std::vector<std::string>> rows = {
      {"", "-", ""},
      {"0a-1b", "-", "0A-1B"},
      {"0A-", "-", "0A"},
      {"0a:1b", "-", "0A-1B"},  // the skipped character is not checked
      {"fF-aA-09", "-", "FF-AA-09"},
      {"0a1b", "-", bad + "'.)"},
      {"zz", "-", bad + "z'.)"},
      {"0g", "-", bad + "g'.)"},
      {"0", "-", bad + "'.)"},
      {"0a1b", "", "0A-1B"},
      {"0a::1b", "::", "0A-1B"},
      {"0a::", "::", "0A"},
      {"0a:", "::", bad + "'.)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("'" + row[0] + "' with '" + row[1] + "'");
    CHexStore store(16, row[1]);
    store.append(0x55);
    const std::string where = qvt_test::errorWhere([&] { store.parse(row[0]); });
    EXPECT_EQ(where == "no error" ? CHexStore::toText(store, "-") : where, row[2]);
    EXPECT_EQ(store.size(), where == "no error" ? store.size() : 0u);  // a failure empties it
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
