// CWorkerRegistry: one CHookWorker per thread, made on the thread's first
// packet and kept until the registry goes (when Kea unloads the hook, after
// its packet threads have stopped).
//
//   CWorkerRegistry workers([&] { return std::make_unique<CHookWorker>(shared); });
//   workers.local().classify(...);   // this thread's worker
//
// Finding the calling thread's worker takes a shared lock; only making a
// new worker takes the exclusive one (and the maker runs outside it).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <shared_mutex>
#include <thread>
#include <unordered_map>

#include "integrations/kea/CHookWorker.h"

namespace qvt::kea {

class CWorkerRegistry {
 public:
  using CMaker = std::function<std::unique_ptr<CHookWorker>()>;

  explicit CWorkerRegistry(CMaker maker) : maker_(std::move(maker)) {}
  CWorkerRegistry(const CWorkerRegistry&) = delete;
  CWorkerRegistry& operator=(const CWorkerRegistry&) = delete;

  // local: the calling thread's worker, made by the maker when the thread
  // has none. Raises the maker's errors (and tries again on the next call).
  CHookWorker& local();
  // adopt: makes worker the calling thread's worker (the one built at load
  // serves the loading thread).
  void adopt(std::unique_ptr<CHookWorker> worker);
  // size: how many threads have a worker.
  std::size_t size() const;

 private:
  CMaker maker_;
  mutable std::shared_mutex mutex_;
  std::unordered_map<std::thread::id, std::unique_ptr<CHookWorker>> workers_;
};

}  // namespace qvt::kea
