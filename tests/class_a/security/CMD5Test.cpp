#include "class_a/security/CMD5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HexText.h"

namespace {

using qvt::CHexStore;
using qvt::CMD5;
using qvt_test::bytesOf;
using qvt_test::toHex;

struct DigestRow {
  std::string message;
  std::string digest;
};

std::string md5Hex(const std::string& message) {
  CMD5 md5;
  const auto bytes = bytesOf(message);
  md5.update(bytes.data(), bytes.size());
  const CHexStore digest = md5.final();
  return toHex(digest.data(), digest.size());
}

TEST(CMD5Test, Rfc1321TestSuite) {
  const std::vector<DigestRow> rows = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    EXPECT_EQ(md5Hex(row.message), row.digest);
  }
}

// Lengths around the padding boundaries: 55 bytes leave room for the length
// in one block, 56 and 63 need a second block, 64 fills a block exactly.
TEST(CMD5Test, PaddingBoundaries) {
  const std::vector<std::pair<std::size_t, std::string>> rows = {
      {55, "EF1772B6DFF9A122358552954AD0DF65"},  {56, "3B0C8AC703F828B04C6C197006D17218"},
      {57, "652B906D60AF96844EBD21B674F35E93"},  {63, "B06521F39153D618550606BE297466D5"},
      {64, "014842D480B571495A4A0363793F7367"},  {65, "C743A45E0D2E6A95CB859ADAE0248435"},
      {119, "8A7BD0732ED6A28CE75F6DABC90E1613"}, {120, "5F61C0CCAD4CAC44C75FF505E1F1E537"},
      {128, "E510683B3F5FFE4093D021808BC6FF70"},
  };
  for (const auto& [length, digest] : rows) {
    SCOPED_TRACE(length);
    EXPECT_EQ(md5Hex(std::string(length, 'a')), digest);
  }
}

TEST(CMD5Test, SplitUpdatesMatchOneUpdate) {
  std::string message;
  for (int i = 0; i < 150; ++i)
    message += static_cast<char>('0' + i % 43);
  const auto bytes = bytesOf(message);
  const std::string expected = md5Hex(message);

  for (std::size_t split = 0; split <= bytes.size(); ++split) {
    SCOPED_TRACE(split);
    CMD5 md5;
    md5.update(bytes.data(), split);
    md5.update(bytes.data() + split, bytes.size() - split);
    const CHexStore digest = md5.final();
    EXPECT_EQ(toHex(digest.data(), digest.size()), expected);
  }

  CMD5 byteByByte;
  for (unsigned char byte : bytes)
    byteByByte.update(&byte, 1);
  const CHexStore digest = byteByByte.final();
  EXPECT_EQ(toHex(digest.data(), digest.size()), expected);
}

TEST(CMD5Test, ObjectHashesANewMessageAfterFinal) {
  CMD5 md5;
  const auto first = bytesOf("message digest");
  md5.update(first.data(), first.size());
  md5.final();

  const auto second = bytesOf("abc");
  md5.update(second.data(), second.size());
  const CHexStore digest = md5.final();
  EXPECT_EQ(toHex(digest.data(), digest.size()), "900150983CD24FB0D6963F7D28E17F72");

  // Nothing fed after a final: the digest of the empty message.
  const CHexStore empty = md5.final();
  EXPECT_EQ(toHex(empty.data(), empty.size()), "D41D8CD98F00B204E9800998ECF8427E");
}

TEST(CMD5Test, ByteSequenceInputAndTextForm) {
  const auto bytes = bytesOf("abc");
  CMD5 md5;
  md5.update(CHexStore(bytes.data(), bytes.size()));
  md5.update(CHexStore());  // an empty sequence adds nothing
  const CHexStore digest = md5.final();
  ASSERT_EQ(digest.size(), CMD5::kDigestSize);
  EXPECT_EQ(digest.string(), "90-01-50-98-3C-D2-4F-B0-D6-96-3F-7D-28-E1-7F-72");
}

}  // namespace
