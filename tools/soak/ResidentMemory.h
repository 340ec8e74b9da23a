// ResidentMemory: the resident memory of the running process over the
// course of a soak run, and whether it stayed flat after warm-up.
//
//   CMemoryTrace trace("exchanges", 1000000);
//   for (std::uint64_t i = 1; i <= 1000000; ++i) {
//     work();
//     trace.at(i);           // prints a line at every twentieth
//   }
//   bool flat = trace.finish();
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace qvt::soak {

// residentKiB: the resident set size of this process in KiB (0 when the
// system does not tell).
std::uint64_t residentKiB();

class CMemoryTrace {
 public:
  // kSamples: lines printed over a run; kWarmUpSamples: those before the
  // baseline is taken; kFlatKiB: the growth beyond the baseline still
  // called flat.
  static constexpr std::uint64_t kSamples = 20;
  static constexpr std::uint64_t kWarmUpSamples = 2;
  static constexpr std::uint64_t kFlatKiB = 1024;

  // CMemoryTrace: prints the header of a run of total steps named name.
  CMemoryTrace(std::string name, std::uint64_t total);

  // at: after step done (counted from 1); prints a sample line at every
  // total / kSamples steps.
  void at(std::uint64_t done) {
    if (done % every_ == 0) _sample(done);
  }
  // finish: prints the verdict; true when the highest resident size after
  // warm-up exceeds the baseline by at most kFlatKiB.
  bool finish() const;

 private:
  void _sample(std::uint64_t done);

  std::string name_;
  std::uint64_t total_;
  std::uint64_t every_;
  std::uint64_t samples_ = 0;
  std::uint64_t baseline_ = 0;
  std::uint64_t highest_ = 0;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace qvt::soak
