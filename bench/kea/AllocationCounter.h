// AllocationCounter: the heap use of the calling thread, counted by this
// program's replacement of the global operator new and delete (which Kea's
// shared libraries reach too, so both engines are counted the same way).
//
//   const keabench::CHeapUse before = keabench::heapUse();
//   auto kept = build();
//   const std::int64_t bytes = keabench::heapUse().liveBytes - before.liveBytes;
//
// Bytes are the sizes asked for (without the allocator's own overhead and
// rounding, so the figure does not depend on the heap's history). Counters
// are per thread:
// a block freed by another thread than the one that allocated it shows up
// in the freeing thread's figures.
#pragma once

#include <cstdint>

namespace keabench {

struct CHeapUse {
  // liveBytes: bytes allocated minus bytes freed by this thread.
  std::int64_t liveBytes = 0;
  // allocations: number of allocations made by this thread.
  std::uint64_t allocations = 0;
};

// heapUse: the calling thread's counters since it started.
CHeapUse heapUse() noexcept;

}  // namespace keabench
