// CBenchTimer: times an operation as `dhcp-eval --bench` reports it: the
// calling thread's CPU time per call, the median of a number of rounds.
//
//   CBenchTimer timer(7);                                   // 7 rounds
//   double ns = timer.nanosPerCall([&] { evaluator.execute(value, tree); });
//
// Each round runs the same number of calls, sized once (by doubling from one
// call) so that a round takes about kRound of CPU time. CPU time leaves out
// what other processes take of the machine (not their effect on caches).
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace qvt::tool {

class CBenchTimer {
 public:
  // kRound: the CPU time one round should take.
  static constexpr std::chrono::milliseconds kRound{20};

  // CBenchTimer: rounds (at least 1) per figure.
  explicit CBenchTimer(unsigned rounds) : rounds_(rounds == 0 ? 1 : rounds) {}

  // nanosPerCall: the median over the rounds of the CPU nanoseconds of one
  // call of op.
  template <class Op>
  double nanosPerCall(Op&& op) const {
    const std::uint64_t calls = _callsPerRound(op);
    std::vector<double> samples;
    for (unsigned round = 0; round < rounds_; ++round) {
      samples.push_back(_run(op, calls) * 1e9 / static_cast<double>(calls));
    }
    return median(samples);
  }

  unsigned rounds() const { return rounds_; }

  // median: the middle value (the mean of the two middle ones for an even
  // count); 0 for none.
  static double median(std::vector<double> values);
  // cpuSeconds: the CPU time the calling thread has used.
  static double cpuSeconds();

 private:
  template <class Op>
  static double _run(Op& op, std::uint64_t calls) {
    const double start = cpuSeconds();
    for (std::uint64_t call = 0; call < calls; ++call)
      op();
    return cpuSeconds() - start;
  }

  template <class Op>
  static std::uint64_t _callsPerRound(Op& op) {
    const double target = std::chrono::duration<double>(kRound).count();
    std::uint64_t calls = 1;
    for (;;) {
      const double took = _run(op, calls);
      if (took >= target / 4) {
        const double scaled = static_cast<double>(calls) * target / took;
        return scaled < 1 ? 1 : static_cast<std::uint64_t>(scaled);
      }
      calls *= 2;
    }
  }

  unsigned rounds_;
};

}  // namespace qvt::tool
