#include "host/kvstore/KeyValueCopy.h"

#include <vector>

namespace qvt::host {

std::size_t copyRecords(CIKeyValueStore& from, CIKeyValueStore& to) {
  std::vector<CPrstKeyValue> records = from.list();
  to.saveAll(records);
  return records.size();
}

}  // namespace qvt::host
