// CAllocationCounter: heap allocations per iteration of a benchmark,
// reported as the counter "allocs/op". The program's global operator new is
// replaced (AllocationCounter.cpp) so that every allocation is counted:
//
//   void BM_Copy(benchmark::State& state) {
//     CAllocationCounter counter(state);
//     for (auto _ : state) { ... }
//   }
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace qvt::bench {

// allocationCount: the allocations made so far by the whole program.
std::uint64_t allocationCount() noexcept;

class CAllocationCounter {
 public:
  explicit CAllocationCounter(benchmark::State& state) : state_(state), start_(allocationCount()) {}
  // Sets "allocs/op" when the measured loop is done.
  ~CAllocationCounter() {
    const auto count = allocationCount() - start_;
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
