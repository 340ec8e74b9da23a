// CHarness: times operations in batches and reports medians over
// repetitions, and measures the throughput of one or more threads.
//
//   keabench::CHarness harness({/*repetitions*/ 11, std::chrono::milliseconds(25)});
//   double ns = harness.nanosPerOp([&] { evaluate(); });
//   auto [ours, kea] = harness.nanosPerOp([&] { ours(); }, [&] { kea(); });
//   double factor = harness.scaling([] { return makeWorker(); }).factor;
//
// Times are the calling thread's CPU time, so that other processes on a busy
// machine do not count (their effect on caches and clock speed still does).
// A batch is sized once per figure (by doubling from one call until it runs
// for a quarter of the batch time, then scaling), so every repetition runs
// the same number of calls; the figure is the median of the repetitions'
// times per call. Throughput is counted against the wall clock.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace keabench {

class CHarness {
 public:
  struct Settings {
    // repetitions: timed batches per figure.
    int repetitions = 11;
    // batch: the CPU time one batch should take.
    std::chrono::milliseconds batch{25};
    // threadRun, threadRepetitions: length and number of throughput runs.
    std::chrono::milliseconds threadRun{250};
    int threadRepetitions = 7;
  };

  explicit CHarness(const Settings& settings) : settings_(settings) {}

  const Settings& settings() const { return settings_; }

  // nanosPerOp: the median time of one call of op, in nanoseconds.
  template <class Op>
  double nanosPerOp(Op&& op) const {
    const std::uint64_t calls = _batchSize(op);
    std::vector<double> samples;
    for (int repetition = 0; repetition < settings_.repetitions; ++repetition) {
      samples.push_back(_runBatch(op, calls) * 1e9 / static_cast<double>(calls));
    }
    return median(samples);
  }

  // nanosPerOp (two operations): the medians of one call of first and of
  // second. Their batches run in turn, so that a change in the machine's load
  // falls on both alike.
  template <class First, class Second>
  std::pair<double, double> nanosPerOp(First&& first, Second&& second) const {
    const std::uint64_t firstCalls = _batchSize(first);
    const std::uint64_t secondCalls = _batchSize(second);
    std::vector<double> firstSamples, secondSamples;
    for (int repetition = 0; repetition < settings_.repetitions; ++repetition) {
      firstSamples.push_back(_runBatch(first, firstCalls) * 1e9 / static_cast<double>(firstCalls));
      secondSamples.push_back(_runBatch(second, secondCalls) * 1e9 /
                              static_cast<double>(secondCalls));
    }
    return {median(firstSamples), median(secondSamples)};
  }

  // CThroughput: calls completed per wall-clock second by all threads
  // together, and per second of CPU time the threads used (which other
  // processes on the machine do not lower; waiting on each other does).
  struct CThroughput {
    double perSecond = 0;
    double perCpuSecond = 0;
  };

  // CScaling: throughput on one thread and on two, and how two compare with
  // one (medians of the ratios of runs taken in turn).
  struct CScaling {
    CThroughput one;
    CThroughput two;
    double factor = 0;
    double cpuFactor = 0;
  };

  // scaling: runs one thread and then two, threadRepetitions times in turn,
  // each thread calling its own worker (built with makeWorker() outside the
  // timed run, one thread at a time) in a loop. Figures are medians over the
  // repetitions. An exception of makeWorker is raised here.
  template <class MakeWorker>
  CScaling scaling(MakeWorker&& makeWorker) const {
    std::vector<double> one, two, oneCpu, twoCpu, factor, cpuFactor;
    for (int repetition = 0; repetition < settings_.threadRepetitions; ++repetition) {
      const CThroughput single = _throughputRun(1, makeWorker);
      const CThroughput pair = _throughputRun(2, makeWorker);
      one.push_back(single.perSecond);
      two.push_back(pair.perSecond);
      oneCpu.push_back(single.perCpuSecond);
      twoCpu.push_back(pair.perCpuSecond);
      factor.push_back(pair.perSecond / single.perSecond);
      cpuFactor.push_back(pair.perCpuSecond / single.perCpuSecond);
    }
    return {{median(one), median(oneCpu)},
            {median(two), median(twoCpu)},
            median(factor),
            median(cpuFactor)};
  }

  // median: the middle value (mean of the two middle ones for an even count);
  // 0 for no values.
  static double median(std::vector<double> values);

 private:
  using Clock = std::chrono::steady_clock;

  static double _seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
  }

  // _threadSeconds: the CPU time the calling thread has used.
  static double _threadSeconds();

  // _runBatch: the CPU seconds of calls calls of op on this thread.
  template <class Op>
  static double _runBatch(Op& op, std::uint64_t calls) {
    const double start = _threadSeconds();
    for (std::uint64_t call = 0; call < calls; ++call) {
      op();
    }
    return _threadSeconds() - start;
  }

  template <class Op>
  std::uint64_t _batchSize(Op& op) const {
    const double target = _seconds(settings_.batch);
    std::uint64_t calls = 1;
    for (;;) {
      const double took = _runBatch(op, calls);
      if (took >= target / 4) {
        return std::max<std::uint64_t>(1, static_cast<std::uint64_t>(calls * target / took));
      }
      calls *= 2;
    }
  }

  template <class MakeWorker>
  CThroughput _throughputRun(unsigned threads, MakeWorker& makeWorker) const {
    std::atomic<unsigned> ready{0};
    std::atomic<bool> go{false};
    std::atomic<bool> stop{false};
    std::mutex building;
    std::exception_ptr buildError;
    std::vector<std::uint64_t> counts(threads, 0);
    std::vector<double> cpuSeconds(threads, 0);
    std::vector<std::thread> pool;
    for (unsigned index = 0; index < threads; ++index) {
      pool.emplace_back([&, index] {
        // Workers are built one at a time: building may use code that is
        // not thread-safe (Kea's expression scanner keeps global state).
        std::unique_lock<std::mutex> lock(building);
        std::optional<decltype(makeWorker())> worker;
        try {
          worker.emplace(makeWorker());
        } catch (...) {
          if (!buildError) buildError = std::current_exception();
        }
        lock.unlock();
        ready.fetch_add(1);
        if (!worker) return;
        while (!go.load(std::memory_order_acquire)) {
          std::this_thread::yield();
        }
        const double cpuStart = _threadSeconds();
        std::uint64_t count = 0;
        while (!stop.load(std::memory_order_relaxed)) {
          (*worker)();
          ++count;
        }
        cpuSeconds[index] = _threadSeconds() - cpuStart;
        counts[index] = count;
      });
    }
    while (ready.load() < threads) {
      std::this_thread::yield();
    }
    const Clock::time_point start = Clock::now();
    go.store(true, std::memory_order_release);
    std::this_thread::sleep_for(settings_.threadRun);
    stop.store(true, std::memory_order_relaxed);
    const Clock::time_point end = Clock::now();
    for (std::thread& thread : pool) {
      thread.join();
    }
    if (buildError) std::rethrow_exception(buildError);
    double total = 0;
    double cpu = 0;
    for (unsigned index = 0; index < threads; ++index) {
      total += static_cast<double>(counts[index]);
      cpu += cpuSeconds[index];
    }
    return {total / _seconds(end - start), cpu > 0 ? total / cpu : 0};
  }

  Settings settings_;
};

}  // namespace keabench
