#include "class_a/standard/CArgBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace qvt {
namespace {

struct ErrorRow {
  std::string name;
  std::function<void()> action;
  std::string operation;
  std::string text;
};

TEST(CArgBufferTest, RaisesItsErrorsWithExactTexts) {
  const std::vector<ErrorRow> rows = {
      {"101st argument",
       [] {
         CMessageArgs args;
         for (std::int32_t i = 0; i < 100; ++i)
           args.push(i);
         EXPECT_EQ(args.count(), 100u);
         args.push(std::int32_t{100});
       },
       "CArgBuffer::_checkSpace", "Cannot process argument. (Too many arguments.)"},
      {"buffer full",
       [] {
         CMessageArgs args;
         for (int i = 0; i < 5; ++i)
           args.push(std::string(199, 'a'));  // 1000 bytes
         args.push(std::string(300, 'b'));    // a 16-byte heap record still fits
         args.push(std::string(10, 'c'));
       },
       "CArgBuffer::_checkSpace", "Cannot process argument. (Not enough buffer space.)"},
      {"null text", [] { CMessageArgs().pushs(nullptr); }, "CArgBuffer::pushs",
       "Cannot push string argument. (Invalid pointer.)"},
      {"index past the end",
       [] {
         CMessageArgs args;
         args.push(1.0);
         args.arg(1);
       },
       "CArgBuffer::arg", "Cannot access argument 1. (Out of bounds.)"},
  };
  for (const ErrorRow& row : rows) {
    SCOPED_TRACE(row.name);
    const auto e = qvt_test::caught(row.action);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->operation() + ": " + e->text(), row.operation + ": " + row.text);
    EXPECT_EQ(e->className() + " " + e->module(), "static standard");
    EXPECT_EQ(e->severity(), 4u);
  }
}

TEST(CArgBufferTest, LongTextsGoToTheHeapAndAreCopied) {
  const std::string inlineText(199, 'i');
  const std::string heapText(200, 'h');
  auto copy = std::make_unique<CMessageArgs>();
  {
    CMessageArgs args;
    args.push(inlineText);
    args.push(heapText);
    EXPECT_EQ(args.kind(0), kArgInlineText);
    EXPECT_EQ(args.kind(1), kArgHeapText);
    *copy = args;
    CMessageArgs second(args);
    EXPECT_EQ(second.arg(1), heapText);
  }
  // The originals are gone; the copy owns blocks of its own.
  EXPECT_EQ(copy->arg(0), inlineText);
  EXPECT_EQ(copy->arg(1), heapText);
  copy->reset();
  EXPECT_EQ(copy->count(), 0u);

  COptionArgs small;
  small.push(std::string(29, 'x'));
  small.push(std::string(30, 'y'));
  EXPECT_EQ(small.kind(0), kArgInlineText);
  EXPECT_EQ(small.kind(1), kArgHeapText);
  EXPECT_EQ(small.arg(1), std::string(30, 'y'));
}

}  // namespace
}  // namespace qvt
