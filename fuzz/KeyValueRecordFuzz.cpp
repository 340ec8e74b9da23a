// KeyValueRecordFuzz: arbitrary key-value record text, as "dhcp-eval kv
// import" reads it (readRecords). Checked beyond "no crash": when every
// record can be stored, the records written as text and read back are the
// same records, and saved to an SQLite store (all in one transaction) and
// looked up again they give the same values.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "host/kvstore/KeyValueRecordCheck.h"
#include "host/kvstore/KeyValueRecordFile.h"

namespace {

// kMaxStored: inputs with more records are not written to the store.
constexpr std::size_t kMaxStored = 16;

bool same(const qvt::CPrstKeyValue& a, const qvt::CPrstKeyValue& b) {
  return a.kclass() == b.kclass() && a.subclass() == b.subclass() && a.key() == b.key() &&
         a.value() == b.value() && a.enabled() == b.enabled();
}

qvt::CIKeyValueStore& store() {
  static const std::string path = "/dev/shm/dhcp-eval-fuzz-kv-" + std::to_string(::getpid());
  static const std::unique_ptr<qvt::CIKeyValueStore> made = [] {
    std::remove(path.c_str());
    std::atexit([] {
      for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((path + suffix).c_str());
    });
    qvt::host::CKeyValueStoreOptions options;
    options.create = true;
    return qvt::host::openKeyValueStore(path, options);
  }();
  return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<qvt::CPrstKeyValue> records;
  try {
    records =
        qvt::host::readRecords(std::string(reinterpret_cast<const char*>(data), size), "fuzz");
  } catch (const qvt::CException&) {
    return 0;
  }
  for (const qvt::CPrstKeyValue& record : records) {
    (void)record.string();
    if (!qvt::host::unstorableReason(record).empty()) return 0;
  }
  const std::vector<qvt::CPrstKeyValue> again =
      qvt::host::readRecords(qvt::host::writeRecords(records), "written");
  if (again.size() != records.size()) __builtin_trap();
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!same(records[i], again[i])) __builtin_trap();
  }
  if (records.empty() || records.size() > kMaxStored) return 0;
  qvt::CIKeyValueStore& kv = store();
  kv.saveAll(records);
  // A later record with the same key replaces an earlier one.
  for (std::size_t i = 0; i < records.size(); ++i) {
    const qvt::CPrstKeyValue& record = records[i];
    const qvt::CKeyValueKey key{record.kclass(), record.subclass(), record.key()};
    bool replaced = false;
    for (std::size_t j = i + 1; j < records.size(); ++j) {
      replaced = replaced || (records[j].kclass() == key.kclass &&
                              records[j].subclass() == key.subclass && records[j].key() == key.key);
    }
    if (replaced) continue;
    const std::vector<qvt::CPrstKeyValue> found = kv.query(qvt::kKeyValueByKey, key);
    if (found.size() != 1 || !same(found[0], record)) __builtin_trap();
  }
  for (const qvt::CPrstKeyValue& record : records)
    kv.remove({record.kclass(), record.subclass(), record.key()});
  return 0;
}
