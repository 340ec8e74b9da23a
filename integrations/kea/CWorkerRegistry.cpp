#include "integrations/kea/CWorkerRegistry.h"

#include <mutex>
#include <utility>

namespace qvt::kea {

CHookWorker& CWorkerRegistry::local() {
  const std::thread::id self = std::this_thread::get_id();
  {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    if (const auto found = workers_.find(self); found != workers_.end()) return *found->second;
  }
  // Only this thread adds its own entry, so none appears meanwhile.
  std::unique_ptr<CHookWorker> made = maker_();
  CHookWorker& worker = *made;
  adopt(std::move(made));
  return worker;
}

void CWorkerRegistry::adopt(std::unique_ptr<CHookWorker> worker) {
  std::unique_lock<std::shared_mutex> lock(mutex_);
  workers_[std::this_thread::get_id()] = std::move(worker);
}

std::size_t CWorkerRegistry::size() const {
  std::shared_lock<std::shared_mutex> lock(mutex_);
  return workers_.size();
}

}  // namespace qvt::kea
