// MD5 and SHA1: the published vectors and padding boundaries of
// data/digests.txt, and the block buffering both share: any split of the
// input gives the digest of the whole, and byte sequences feed the same bytes.
#include "class_a/security/DigestBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "TestSupport.h"
#include "class_a/security/CMD5.h"
#include "class_a/security/CSHA1.h"
#include "class_a/standard/DataFile.h"

namespace {

using qvt::CHexStore;

template <class Digest>
class DigestBlocksTest : public ::testing::Test {};

using Digests = ::testing::Types<qvt::CMD5, qvt::CSHA1>;
// The test names, given explicitly: the macro's name generator argument may
// not be left out under -Wpedantic.
struct DigestNames {
  template <class Digest>
  static std::string GetName(int) {
    return std::is_same_v<Digest, qvt::CMD5> ? "MD5" : "SHA1";
  }
};
TYPED_TEST_SUITE(DigestBlocksTest, Digests, DigestNames);

template <class Digest>
std::string digestOf(const std::string& message) {
  Digest digest;
  const auto bytes = qvt_test::bytesOf(message);
  digest.update(bytes.data(), bytes.size());
  const CHexStore value = digest.final();
  return qvt_test::toHex(value.data(), value.size());
}

TYPED_TEST(DigestBlocksTest, PublishedVectorsAndPaddingBoundaries) {
  const std::string name = DigestNames::GetName<TypeParam>(0);
  std::size_t count = 0;
  for (const auto& [section, line] : qvt_test::dataLines("class_a/security/data/digests.txt")) {
    if (section != name) continue;
    ++count;
    const std::string expected = line.substr(0, line.find(' '));
    std::string message = line.substr(expected.size() + 1);
    if (message.size() > 3 && message[1] == '{') {
      message = std::string(std::stoul(message.substr(2)), message[0]);
    }
    SCOPED_TRACE(line);
    EXPECT_EQ(digestOf<TypeParam>(message), expected);
  }
  EXPECT_EQ(count, name == "MD5" ? 9u : 8u) << "data/digests.txt could not be read whole";
}

TYPED_TEST(DigestBlocksTest, SplitUpdatesMatchOneUpdate) {
  std::string message;
  for (int i = 0; i < 150; ++i)
    message += static_cast<char>('0' + i % 43);
  const auto bytes = qvt_test::bytesOf(message);
  TypeParam whole;
  whole.update(bytes.data(), bytes.size());
  const CHexStore expected = whole.final();

  // Splits inside the first, second and third block and at their boundaries.
  for (std::size_t split = 0; split <= bytes.size(); ++split) {
    SCOPED_TRACE(split);
    TypeParam digest;
    digest.update(bytes.data(), split);
    digest.update(bytes.data() + split, bytes.size() - split);
    EXPECT_EQ(digest.final(), expected);
  }
  TypeParam byteByByte;
  for (const unsigned char byte : bytes)
    byteByByte.update(&byte, 1);
  EXPECT_EQ(byteByByte.final(), expected);
}

TYPED_TEST(DigestBlocksTest, ByteSequenceInput) {
  const auto bytes = qvt_test::bytesOf("abc");
  TypeParam raw;
  raw.update(bytes.data(), bytes.size());
  TypeParam sequence;
  sequence.update(CHexStore(bytes.data(), bytes.size()));
  sequence.update(CHexStore());  // an empty sequence adds nothing
  const CHexStore digest = sequence.final();
  EXPECT_EQ(digest.size(), TypeParam::kDigestSize);
  EXPECT_EQ(digest, raw.final());
}

TEST(CSHA1Test, OneMillionTimesA) {
  const auto bytes = qvt_test::bytesOf(std::string(1000, 'a'));
  qvt::CSHA1 sha1;
  for (int i = 0; i < 1000; ++i)
    sha1.update(bytes.data(), bytes.size());
  EXPECT_EQ(sha1.final().string(), "34-AA-97-3C-D4-C4-DA-A4-F6-1E-EB-2B-DB-AD-27-31-65-34-01-6F");
}

TEST(CMD5Test, ObjectHashesANewMessageAfterFinal) {
  qvt::CMD5 md5;
  const auto first = qvt_test::bytesOf("message digest");
  md5.update(first.data(), first.size());
  md5.final();
  const auto second = qvt_test::bytesOf("abc");
  md5.update(second.data(), second.size());
  EXPECT_EQ(md5.final().string(), "90-01-50-98-3C-D2-4F-B0-D6-96-3F-7D-28-E1-7F-72");
  // Nothing fed after a final: the digest of the empty message.
  EXPECT_EQ(md5.final().string(), "D4-1D-8C-D9-8F-00-B2-04-E9-80-09-98-EC-F8-42-7E");
}

TEST(DigestPaddingTest, LengthReachesFiftySixModuloSixtyFour) {
  for (std::size_t used = 0; used < qvt::kDigestBlockSize; ++used) {
    SCOPED_TRACE(used);
    const std::size_t padding = qvt::paddingLength(used);
    EXPECT_EQ((used + padding) % 64, 56u);
    EXPECT_GE(padding, 1u);
    EXPECT_LE(padding, 64u);
  }
}

}  // namespace
