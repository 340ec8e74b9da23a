#include "class_a/security/CSHA1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

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

// The FIPS 180-1 vectors, then runs of "a" around the padding boundaries.
TEST(CSHA1Test, PublishedVectorsAndPaddingBoundaries) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
      {"abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      // 448 bits: exactly 56 bytes, so the padding needs a second block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
      {std::string(55, 'a'), "C1C8BBDC22796E28C0E15163D20899B65621D65A"},
      {std::string(56, 'a'), "C2DB330F6083854C99D4B5BFB6E8F29F201BE699"},
      {std::string(57, 'a'), "F08F24908D682555111BE7FF6F004E78283D989A"},
      {std::string(63, 'a'), "03F09F5B158A7A8CDAD920BDDC29B81C18A551F5"},
      {std::string(64, 'a'), "0098BA824B5C16427BD7A1122A5A442A25EC644D"},
      {std::string(65, 'a'), "11655326C708D70319BE2610E8A57D9A5B959D3B"},
      {std::string(119, 'a'), "EE971065AAA017E0632A8CA6C77BB3BF8B1DFC56"},
      {std::string(120, 'a'), "F34C1488385346A55709BA056DDD08280DD4C6D6"},
      {std::string(128, 'a'), "AD5B3FDBCB526778C2839D2F151EA753995E26A0"},
  };
  for (const auto& [message, digest] : rows) {
    SCOPED_TRACE(std::to_string(message.size()) + " bytes: " + message.substr(0, 20));
    EXPECT_EQ(sha1Hex(message), digest);
  }
}

TEST(CSHA1Test, OneMillionTimesA) {
  const auto bytes = bytesOf(std::string(1000, 'a'));
  CSHA1 sha1;
  for (int i = 0; i < 1000; ++i)
    sha1.update(bytes.data(), bytes.size());
  EXPECT_EQ(sha1.final().string(), "34-AA-97-3C-D4-C4-DA-A4-F6-1E-EB-2B-DB-AD-27-31-65-34-01-6F");
}

}  // namespace
