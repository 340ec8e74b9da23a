// The block buffering both digests share: any split of the input gives the
// digest of the whole, and byte sequences feed the same bytes.
#include "class_a/security/DigestBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "TestSupport.h"
#include "class_a/security/CMD5.h"
#include "class_a/security/CSHA1.h"

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
