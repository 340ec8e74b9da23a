#include "host/CVendorFile.h"

#include "class_a/standard/Fail.h"
#include "class_a/standard/CStringMap.h"
#include "class_b/dhcp/dhcp_base/CVendorRecord.h"

namespace qvt {

CVendorFile::~CVendorFile() = default;

void CVendorFile::load(const std::string& directory, const std::string& fileName) {
  _reader().load(directory, fileName);
}

void CVendorFile::loadText(const std::string& text) {
  _reader().loadText(text);
}

CRecordFileReader CVendorFile::_reader() {
  return CRecordFileReader(
      "CVendorFile::load", "Cannot read vendor classes from '%1'.",
      [this](const CStringMap& record) { entries_.push_back(_entryOf(record)); });
}

CVendorFile::Entry CVendorFile::_entryOf(const CStringMap& record) {
  const std::string key = record.getString("class", "");
  const std::string id = record.getString("vendor_id", "");
  const char* missing = key.empty()  ? "A vendor class record must include a 'class' setting."
                        : id.empty() ? "A vendor class record must include a 'vendor_id' setting."
                                     : nullptr;
  if (missing != nullptr) {
    fail(CRaiser::none(), "host", "CVendorFile::_entryOf", "Invalid vendor class data.", missing);
  }
  return Entry(key, CVendorLookup::AttributesPtr(
                        new CVendorRecord(CVendorID(id), record.getString("description", ""))));
}

void CVendorFile::fill(CVendorLookup& lookup) const {
  for (const Entry& entry : entries_)
    lookup.load({{entry.first, entry.second}});
}

CGeneralPtr<CVendorLookup> CVendorFile::makeLookup(std::uint64_t owner) const {
  CGeneralPtr<CVendorLookup> lookup(new CVendorLookup(owner));
  fill(*lookup);
  return lookup;
}

}  // namespace qvt
