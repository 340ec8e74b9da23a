// AllocationCounter: the heap use of the calling thread, counted by the
// benchmark programs' replacement of the global operator new and delete
// (which shared libraries loaded by the program, Kea's among them, reach
// too, so every engine is counted the same way).
//
//   const qvt::bench::CHeapUse before = qvt::bench::heapUse();
//   auto kept = build();
//   const std::int64_t bytes = qvt::bench::heapUse().liveBytes - before.liveBytes;
//
// Bytes are the sizes asked for (without the allocator's own overhead and
// rounding, so the figure does not depend on the heap's history). Counters
// are per thread: a block freed by another thread than the one that
// allocated it shows up in the freeing thread's figures.
//
// In a Google Benchmark, CAllocationCounter reports the allocations per
// iteration as the counter "allocs/op":
//
//   void BM_Copy(benchmark::State& state) {
//     qvt::bench::CAllocationCounter counter(state);
//     for (auto _ : state) { ... }
//   }
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace qvt::bench {

struct CHeapUse {
  // liveBytes: bytes allocated minus bytes freed by this thread.
  std::int64_t liveBytes = 0;
  // allocations: number of allocations made by this thread.
  std::uint64_t allocations = 0;
};

// heapUse: the calling thread's counters since it started.
CHeapUse heapUse() noexcept;

class CAllocationCounter {
 public:
  explicit CAllocationCounter(benchmark::State& state)
      : state_(state), start_(heapUse().allocations) {}
  // Sets "allocs/op" when the measured loop is done.
  ~CAllocationCounter() {
    const auto count = heapUse().allocations - start_;
    state_.counters["allocs/op"] = benchmark::Counter(
        state_.iterations() ? static_cast<double>(count) / state_.iterations() : 0.0);
  }
  CAllocationCounter(const CAllocationCounter&) = delete;
  CAllocationCounter& operator=(const CAllocationCounter&) = delete;

 private:
  benchmark::State& state_;
  std::uint64_t start_;
};

}  // namespace qvt::bench
