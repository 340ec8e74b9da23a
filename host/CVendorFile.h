// CVendorFile: the vendor classes the host knows, read from a vendor file,
// and the CVendorLookup filled from them.
//
// One record per vendor class, records separated by a blank line, "#" lines
// ignored. "class" is a class text or a wildcard pattern (CWildcard),
// "vendor_id" the vendor id (CVendorID text, enterprise number first),
// "description" optional:
//
//   class=docsis*
//   vendor_id=4491
//   description=CableLabs DOCSIS cable modem
//
//   CVendorFile vendors;
//   vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
//   CGeneralPtr<CVendorLookup> lookup = vendors.makeLookup();
//   lookup->locate("docsis3.0").second->vendorId()[0];   // 4491
//
// Patterns are listed in the lookup in file order, so the first matching
// pattern of the file decides.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/CVendorLookup.h"
#include "host/CRecordFileReader.h"

namespace qvt {

class CStringMap;

class CVendorFile {
 public:
  // Entry: a class key and its attributes (a CVendorRecord).
  using Entry = std::pair<std::string, CVendorLookup::AttributesPtr>;

  CVendorFile() = default;
  virtual ~CVendorFile();

  // load: adds the classes of directory/fileName. Raises the reader's
  // "Cannot open file '%1'." and, for an invalid record, "Cannot read vendor
  // classes from '%1'." with the reason "Record ending at line %1: %2" (the
  // line number and the record's error text: "Invalid vendor class data."
  // with the reason "A vendor class record must include a 'class' setting."
  // or "... a 'vendor_id' setting.", or the vendor id's error); classes read
  // before the failure stay.
  void load(const std::string& directory, const std::string& fileName);
  // loadText: as load, from text; '%1' = "(text)".
  void loadText(const std::string& text);

  // entries: the classes in file order (a class given twice is listed twice;
  // the later record's attributes win in the lookup).
  const std::vector<Entry>& entries() const { return entries_; }

  // fill: loads every entry into lookup, one at a time in file order.
  void fill(CVendorLookup& lookup) const;
  // makeLookup: a new lookup with owner, filled.
  CGeneralPtr<CVendorLookup> makeLookup(std::uint64_t owner = 0) const;

  // _entryOf: the entry of one record. Raises a CException naming the
  // missing key or the vendor id's error.
  static Entry _entryOf(const CStringMap& record);

 private:
  // _reader: a reader adding each record's entry.
  CRecordFileReader _reader();

  std::vector<Entry> entries_;
};

}  // namespace qvt
