#include "class_a/standard/CBuffer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qvt {
namespace {

using Buffer = CBuffer<unsigned char, 8>;

TEST(CBufferTest, StaysInlineUntilFullThenMovesToHeap) {
  Buffer buffer(4);
  EXPECT_TRUE(buffer.isInline());
  EXPECT_EQ(buffer.capacity(), 8u);
  for (unsigned char i = 0; i < 8; ++i)
    buffer.push_back(i);
  EXPECT_TRUE(buffer.isInline());
  const Buffer small(buffer);
  EXPECT_TRUE(small.isInline());
  buffer.push_back(8);
  EXPECT_FALSE(buffer.isInline());
  EXPECT_EQ(buffer.size(), 9u);
  EXPECT_EQ(std::vector<unsigned char>(buffer.begin(), buffer.end()),
            (std::vector<unsigned char>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(std::vector<unsigned char>(buffer.rbegin(), buffer.rbegin() + 3),
            (std::vector<unsigned char>{8, 7, 6}));
}

TEST(CBufferTest, CopiesAreIndependentAndMovesLeaveTheSourceEmpty) {
  Buffer big;
  for (int i = 0; i < 20; ++i)
    big.push_back(static_cast<unsigned char>(i));
  Buffer copy(big);
  copy[0] = 99;
  EXPECT_EQ(big[0], 0);

  const unsigned char* heap = big.data();
  Buffer moved(std::move(big));
  EXPECT_EQ(moved.data(), heap);
  EXPECT_EQ(big.size(), 0u);  // NOLINT(bugprone-use-after-move)
  EXPECT_TRUE(big.isInline());

  Buffer small;
  small.push_back(7);
  copy = std::move(small);
  EXPECT_EQ(copy.size(), 1u);
  EXPECT_EQ(copy[0], 7);
  EXPECT_TRUE(copy.isInline());

  moved.append(moved.data() + 10, 10);  // the source lives in the buffer itself
  EXPECT_EQ(moved.size(), 30u);
  EXPECT_EQ(moved[29], 19);
}

}  // namespace
}  // namespace qvt
