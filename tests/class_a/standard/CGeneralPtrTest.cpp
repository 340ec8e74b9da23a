#include "class_a/standard/CGeneralPtr.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "TestSupport.h"

namespace qvt {
namespace {

// Counts its own deletions.
class Tracked {
 public:
  explicit Tracked(int& deletions) : deletions_(deletions) {}
  Tracked(const Tracked& other) = default;
  virtual ~Tracked() { ++deletions_; }
  int value = 7;

 private:
  int& deletions_;
};

class DerivedTracked : public Tracked {
 public:
  using Tracked::Tracked;
};

template <template <class> class Ownership>
using Ptr = CGeneralPtr<Tracked, Ownership>;

// Copies share one count; the object goes with its last holder.
TEST(CGeneralPtrTest, CopiesAndAssignmentsShareAndRelease) {
  int deletionsA = 0;
  int deletionsB = 0;
  CGeneralPtr<Tracked> a(new Tracked(deletionsA));
  CGeneralPtr<Tracked> sameA(a);
  CGeneralPtr<Tracked> b(new Tracked(deletionsB));
  EXPECT_EQ(sameA, a);
  EXPECT_EQ(sameA->value, 7);

  CGeneralPtr<Tracked>& alsoA = a;
  a = alsoA;  // assignment to itself
  a = sameA;
  EXPECT_EQ(a.useCount(), 2u);

  sameA = b;  // a keeps the first object alive
  EXPECT_EQ(a.useCount(), 1u);
  EXPECT_EQ(b.useCount(), 2u);
  a = b;
  EXPECT_EQ(deletionsA, 1);
  EXPECT_EQ(b.useCount(), 3u);

  CGeneralPtr<Tracked> moved(std::move(a));
  EXPECT_TRUE(a.isNull());
  EXPECT_EQ(moved.useCount(), 3u);
  moved.release();
  sameA = nullptr;
  EXPECT_TRUE(moved.isNull());
  EXPECT_EQ(b.useCount(), 1u);
  b.release();
  EXPECT_EQ(deletionsB, 1);
  EXPECT_EQ(b.useCount(), 0u);
}

TEST(CGeneralPtrTest, ConvertsToBaseAndCopiesDeep) {
  int deletions = 0;
  {
    CGeneralPtr<DerivedTracked> derived(new DerivedTracked(deletions));
    CGeneralPtr<Tracked> base(derived);
    EXPECT_EQ(base.useCount(), 2u);
    EXPECT_EQ(base, derived);
    CGeneralPtr<Tracked> copy = base.deepCopy();
    EXPECT_NE(copy, base);
    EXPECT_EQ(copy->value, 7);
    EXPECT_EQ(copy.useCount(), 1u);
  }
  EXPECT_EQ(deletions, 2);
}

TEST(CGeneralPtrTest, NotOwnersNeverDelete) {
  int deletions = 0;
  Tracked object(deletions);
  {
    Ptr<CSTNotOwnerPolicy> observer(&object);
    Ptr<CSTNotOwnerPolicy> copy(observer);
    Ptr<CMTNotOwnerPolicy> counted(&object);
    Ptr<CMTNotOwnerPolicy> countedCopy = counted;
    EXPECT_EQ(countedCopy.useCount(), 2u);
    EXPECT_EQ(copy.get(), &object);
  }
  EXPECT_EQ(deletions, 0);
}

TEST(CGeneralPtrTest, NullDereferenceRaises) {
  const CGeneralPtr<Tracked> null;
  EXPECT_FALSE(null);
  EXPECT_TRUE(null == nullptr);
  EXPECT_EQ(null.useCount(), 0u);
  EXPECT_EQ(qvt_test::errorWhere([&] { (void)null->value; }),
            "CGeneralPtr::operator->: Cannot dereference pointer. (Pointee is null.)");
  const auto e = qvt_test::caught([&] { (void)(*null).value; });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation() + ": " + e->text(),
            "CGeneralPtr::operator*: Cannot dereference pointer. (Pointee is null.)");
  EXPECT_EQ(e->className().rfind("qvt::CGeneralPtr<", 0), 0u);
}

TEST(CGeneralPtrTest, MultiThreadOwnerSurvivesConcurrentCopies) {
  int deletions = 0;
  using Shared = Ptr<CMTOwnerPolicy>;
  {
    Shared shared(new Tracked(deletions));
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&shared] {
        for (int i = 0; i < 10000; ++i) {
          Shared copy(shared);
          Shared other;
          other = copy;
          copy.release();
        }
      });
    }
    for (std::thread& thread : threads)
      thread.join();
    EXPECT_EQ(shared.useCount(), 1u);
    EXPECT_EQ(deletions, 0);
  }
  EXPECT_EQ(deletions, 1);
}

class Counter {
 public:
  virtual ~Counter() = default;
  // Fails the test when two calls overlap.
  void step() {
    if (inside_.exchange(true)) overlaps_.fetch_add(1);
    ++value_;
    std::this_thread::yield();
    inside_.store(false);
  }
  int value_ = 0;
  std::atomic<bool> inside_{false};
  std::atomic<int> overlaps_{0};
};

TEST(CGeneralPtrTest, MethodLockSerialisesCallsThroughCopies) {
  using Locked = CGeneralPtr<Counter, CMTOwnerPolicy, CMethodLockPolicy>;
  Locked counter(new Counter);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([copy = counter]() {
      for (int i = 0; i < 2000; ++i)
        copy->step();
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(counter->value_, 8000);
  EXPECT_EQ(counter->overlaps_.load(), 0);
}

}  // namespace
}  // namespace qvt
