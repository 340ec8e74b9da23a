// CHarness: times operations in batches and reports medians over
// repetitions, and measures the throughput of one or more threads.
//
//   keabench::CHarness harness({/*repetitions*/ 11, std::chrono::milliseconds(25)});
//   double ns = harness.nanosPerOp([&] { evaluate(); });
//   double perSecond = harness.throughput(2, [] { return makeWorker(); });
//
// A batch is sized once per figure (by doubling from one call until it runs
// for a quarter of the batch time, then scaling), so every repetition runs
// the same number of calls; the figure is the median of the repetitions'
// times per call.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace keabench {

class CHarness {
 public:
  struct Settings {
    // repetitions: timed batches per figure.
    int repetitions = 11;
    // batch: the time one batch should take.
    std::chrono::milliseconds batch{25};
    // threadRun, threadRepetitions: length and number of throughput runs.
    std::chrono::milliseconds threadRun{250};
    int threadRepetitions = 5;
  };

  explicit CHarness(const Settings& settings) : settings_(settings) {}

  const Settings& settings() const { return settings_; }

  // nanosPerOp: the median time of one call of op, in nanoseconds.
  template <class Op>
  double nanosPerOp(Op&& op) const {
    const std::uint64_t calls = _batchSize(op);
    std::vector<double> samples;
    for (int repetition = 0; repetition < settings_.repetitions; ++repetition) {
      samples.push_back(_seconds(_runBatch(op, calls)) * 1e9 / static_cast<double>(calls));
    }
    return median(samples);
  }

  // throughput: the median, over the throughput runs, of the calls per second
  // that `threads` threads complete together. Each thread builds its own
  // worker with makeWorker() (outside the timed run, one thread at a time)
  // and calls it in a loop. An exception of makeWorker is raised here.
  template <class MakeWorker>
  double throughput(unsigned threads, MakeWorker&& makeWorker) const {
    std::vector<double> samples;
    for (int repetition = 0; repetition < settings_.threadRepetitions; ++repetition) {
      samples.push_back(_throughputRun(threads, makeWorker));
    }
    return median(samples);
  }

  // median: the middle value (mean of the two middle ones for an even count);
  // 0 for no values.
  static double median(std::vector<double> values);

 private:
  using Clock = std::chrono::steady_clock;

  static double _seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
  }

  template <class Op>
  static Clock::duration _runBatch(Op& op, std::uint64_t calls) {
    const Clock::time_point start = Clock::now();
    for (std::uint64_t call = 0; call < calls; ++call)
      op();
    return Clock::now() - start;
  }

  template <class Op>
  std::uint64_t _batchSize(Op& op) const {
    const double target = _seconds(settings_.batch);
    std::uint64_t calls = 1;
    for (;;) {
      const double took = _seconds(_runBatch(op, calls));
      if (took >= target / 4) {
        return std::max<std::uint64_t>(1, static_cast<std::uint64_t>(calls * target / took));
      }
      calls *= 2;
    }
  }

  template <class MakeWorker>
  double _throughputRun(unsigned threads, MakeWorker& makeWorker) const {
    std::atomic<unsigned> ready{0};
    std::atomic<bool> go{false};
    std::atomic<bool> stop{false};
    std::mutex building;
    std::exception_ptr buildError;
    std::vector<std::uint64_t> counts(threads, 0);
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
        while (!go.load(std::memory_order_acquire))
          std::this_thread::yield();
        std::uint64_t count = 0;
        while (!stop.load(std::memory_order_relaxed)) {
          (*worker)();
          ++count;
        }
        counts[index] = count;
      });
    }
    while (ready.load() < threads)
      std::this_thread::yield();
    const Clock::time_point start = Clock::now();
    go.store(true, std::memory_order_release);
    std::this_thread::sleep_for(settings_.threadRun);
    stop.store(true, std::memory_order_relaxed);
    const Clock::time_point end = Clock::now();
    for (std::thread& thread : pool)
      thread.join();
    if (buildError) std::rethrow_exception(buildError);
    std::uint64_t total = 0;
    for (const std::uint64_t count : counts)
      total += count;
    return static_cast<double>(total) / _seconds(end - start);
  }

  Settings settings_;
};

}  // namespace keabench
