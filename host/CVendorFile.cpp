#include "host/CVendorFile.h"

#include <sstream>

#include "class_a/standard/CFileReader.h"
#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_base/CStringMap.h"
#include "class_b/dhcp/dhcp_base/CVendorRecord.h"

namespace qvt {

// CVendorFileReader: hands each record of a vendor file to a CVendorFile.
class CVendorFileReader : public CFileReader {
 public:
  CVendorFileReader(CVendorFile& file, std::string source)
      : file_(file), source_(std::move(source)) {}

 protected:
  void _processRecord(const std::string& record, std::uint64_t lineNumber) override {
    try {
      file_.entries_.push_back(CVendorFile::_entryOf(CStringMap(record)));
    } catch (const CException& e) {
      fail(CRaiser::none(), "host", "CVendorFile::load",
           {"Cannot read vendor classes from '%1'.", source_},
           {"Record ending at line %1: %2", lineNumber, e.text()});
    }
  }

 private:
  CVendorFile& file_;
  std::string source_;
};

CVendorFile::~CVendorFile() = default;

void CVendorFile::load(const std::string& directory, const std::string& fileName) {
  CVendorFileReader reader(*this, CFileReader::joinPath(directory, fileName));
  reader.execute(directory, fileName);
}

void CVendorFile::loadText(const std::string& text) {
  CVendorFileReader reader(*this, "(text)");
  std::istringstream stream(text);
  reader.readStream(stream);
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
