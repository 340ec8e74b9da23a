#include "tools/soak/ResidentMemory.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <utility>

namespace qvt::soak {

std::uint64_t residentKiB() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t pages = 0;
  std::uint64_t resident = 0;
  if (!(statm >> pages >> resident)) return 0;
  return resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) / 1024;
}

CMemoryTrace::CMemoryTrace(std::string name, std::uint64_t total)
    : name_(std::move(name)),
      total_(total),
      every_(std::max<std::uint64_t>(1, total / kSamples)),
      start_(std::chrono::steady_clock::now()) {
  std::printf("%s: %12s %10s %12s\n", name_.c_str(), "done", "seconds", "RSS KiB");
  std::printf("%s: %12d %10.1f %12llu\n", name_.c_str(), 0, 0.0,
              static_cast<unsigned long long>(residentKiB()));
  std::fflush(stdout);
}

void CMemoryTrace::_sample(std::uint64_t done) {
  const std::uint64_t resident = residentKiB();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  std::printf("%s: %12llu %10.1f %12llu\n", name_.c_str(), static_cast<unsigned long long>(done),
              elapsed.count(), static_cast<unsigned long long>(resident));
  std::fflush(stdout);
  if (++samples_ == kWarmUpSamples) {
    baseline_ = resident;
    highest_ = resident;
  } else if (samples_ > kWarmUpSamples) {
    highest_ = std::max(highest_, resident);
  }
}

bool CMemoryTrace::finish() const {
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  const std::uint64_t growth = highest_ > baseline_ ? highest_ - baseline_ : 0;
  const bool flat = samples_ > kWarmUpSamples && growth <= kFlatKiB;
  std::printf(
      "%s: %llu in %.1f s (%.0f per second); RSS after warm-up %llu KiB, highest later %llu "
      "KiB, growth %llu KiB: %s\n",
      name_.c_str(), static_cast<unsigned long long>(total_), elapsed.count(),
      static_cast<double>(total_) / elapsed.count(), static_cast<unsigned long long>(baseline_),
      static_cast<unsigned long long>(highest_), static_cast<unsigned long long>(growth),
      flat ? "flat" : "GROWING");
  std::fflush(stdout);
  return flat;
}

}  // namespace qvt::soak
