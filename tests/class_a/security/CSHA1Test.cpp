#include "class_a/security/CSHA1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HexText.h"

namespace {

using qvt::CHexStore;
using qvt::CSHA1;
using qvt_test::bytesOf;
using qvt_test::toHex;

std::string sha1Hex(const std::string& message) {
  CSHA1 sha1;
  const auto bytes = bytesOf(message);
  sha1.update(bytes.data(), bytes.size());
  const CHexStore digest = sha1.final();
  return toHex(digest.data(), digest.size());
}

TEST(CSHA1Test, Fips180Vectors) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
      {"abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      // 448 bits: exactly 56 bytes, so the padding needs a second block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
  };
  for (const auto& [message, digest] : rows) {
    SCOPED_TRACE(message);
    EXPECT_EQ(sha1Hex(message), digest);
  }
}

TEST(CSHA1Test, OneMillionTimesA) {
  const std::string chunk(1000, 'a');
  const auto bytes = bytesOf(chunk);
  CSHA1 sha1;
  for (int i = 0; i < 1000; ++i)
    sha1.update(bytes.data(), bytes.size());
  const CHexStore digest = sha1.final();
  EXPECT_EQ(toHex(digest.data(), digest.size()), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST(CSHA1Test, PaddingBoundaries) {
  const std::vector<std::pair<std::size_t, std::string>> rows = {
      {55, "C1C8BBDC22796E28C0E15163D20899B65621D65A"},
      {56, "C2DB330F6083854C99D4B5BFB6E8F29F201BE699"},
      {57, "F08F24908D682555111BE7FF6F004E78283D989A"},
      {63, "03F09F5B158A7A8CDAD920BDDC29B81C18A551F5"},
      {64, "0098BA824B5C16427BD7A1122A5A442A25EC644D"},
      {65, "11655326C708D70319BE2610E8A57D9A5B959D3B"},
      {119, "EE971065AAA017E0632A8CA6C77BB3BF8B1DFC56"},
      {120, "F34C1488385346A55709BA056DDD08280DD4C6D6"},
      {128, "AD5B3FDBCB526778C2839D2F151EA753995E26A0"},
  };
  for (const auto& [length, digest] : rows) {
    SCOPED_TRACE(length);
    EXPECT_EQ(sha1Hex(std::string(length, 'a')), digest);
  }
}

TEST(CSHA1Test, SplitUpdatesMatchOneUpdate) {
  std::string message;
  for (int i = 0; i < 150; ++i)
    message += static_cast<char>('A' + i % 29);
  const auto bytes = bytesOf(message);
  const std::string expected = sha1Hex(message);

  for (std::size_t split = 0; split <= bytes.size(); ++split) {
    SCOPED_TRACE(split);
    CSHA1 sha1;
    sha1.update(bytes.data(), split);
    sha1.update(bytes.data() + split, bytes.size() - split);
    const CHexStore digest = sha1.final();
    EXPECT_EQ(toHex(digest.data(), digest.size()), expected);
  }

  CSHA1 byteByByte;
  for (unsigned char byte : bytes)
    byteByByte.update(&byte, 1);
  const CHexStore digest = byteByByte.final();
  EXPECT_EQ(toHex(digest.data(), digest.size()), expected);
}

TEST(CSHA1Test, ByteSequenceInputAndTextForm) {
  const auto bytes = bytesOf("abc");
  CSHA1 sha1;
  sha1.update(CHexStore(bytes.data(), bytes.size()));
  sha1.update(CHexStore());
  const CHexStore digest = sha1.final();
  ASSERT_EQ(digest.size(), CSHA1::kDigestSize);
  EXPECT_EQ(digest.string(), "A9-99-3E-36-47-06-81-6A-BA-3E-25-71-78-50-C2-6C-9C-D0-D8-9D");
}

}  // namespace
