// Running a compiled tree again allocates nothing for everyday values: the
// nodes keep their values and argument lists from run to run. The count comes
// from replacing the global operator new, so sanitizer builds (which bring
// their own) leave this test out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "EngineTestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#define QVT_TEST_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QVT_TEST_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef QVT_TEST_COUNT_ALLOCATIONS
#define QVT_TEST_COUNT_ALLOCATIONS 1
#endif

#if QVT_TEST_COUNT_ALLOCATIONS

namespace {
long gAllocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++gAllocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace qvt::test {
namespace {

using CExpEvalAllocation = CEngineTest;

TEST_F(CExpEvalAllocation, RepeatedRunsDoNotAllocate) {
  engine.initCipher();
  const char* const texts[] = {
      "'docsis3.0' == 'docsis3.0'",
      "$IF($LEN('abcdef') > 2, $LEFT('abcdef', 2), $RIGHT('abcdef', 2))",
      "$MATCH('docsis3.0:host42', 'docsis*:host[0-9]*')",
      "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20",
      "$MD5('hello world')",
      "$DECRYPT($ENCRYPT('abc'))",
      "$COND(0, 1) && $STARTSWITH('abcdef', 'abc') || $INSTR('abc', 'c') == 2",
      "$UCASE('abc') + $STR(10.0.0.1) + $MID('abcdef', 1, 2)",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile(text);
    CVariant result;
    engine.execute(result, tree);
    const long before = gAllocations;
    for (int i = 0; i < 10; ++i)
      engine.execute(result, tree);
    EXPECT_EQ(0, gAllocations - before);
  }
  const long before = gAllocations;
  { CExpEval another(&host); }
  EXPECT_EQ(0, gAllocations - before) << "constructing an engine";
}

}  // namespace
}  // namespace qvt::test

#endif
