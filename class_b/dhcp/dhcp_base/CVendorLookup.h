// CVendorLookup: finds the vendor attributes that belong to a vendor class
// text, or to an enterprise number and a class text.
//
// Keys may be wildcard patterns (CWildcard). An exact key wins; otherwise the
// first loaded key with "?" or "*" that matches decides:
//
//   lookup.load({{"docsis*", docsis}, {"docsis3.0", docsis30}});
//   lookup.locate("docsis3.0").first;  // "docsis3.0"
//   lookup.locate("docsis2.0").first;  // "docsis*"
//
// A lookup is filled once and then only read; it takes no locks. The
// holders it stores are single-threaded (CGeneralPtr's counted owner): code
// that shares one lookup between threads reads the entries in place with
// find, which copies no holder, rather than with locate, whose result holds
// a copy.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/CVendorAttributes.h"

namespace qvt {

class CVendorLookup {
 public:
  using AttributesPtr = CGeneralPtr<CVendorAttributes>;
  using Classes = std::map<std::string, AttributesPtr, std::less<>>;
  // Result: the key under which the attributes are stored, and the shared
  // attributes.
  using Result = std::pair<std::string, AttributesPtr>;
  // Entry: a stored entry, its key and its attributes.
  using Entry = Classes::value_type;

  // CVendorLookup: empty; owner is kept for the host and not interpreted.
  explicit CVendorLookup(std::uint64_t owner = 0) : owner_(owner) {}
  virtual ~CVendorLookup();

  std::uint64_t owner() const { return owner_; }

  // load: stores each entry under its key, replacing the attributes stored
  // there, and lists each key holding "?" or "*" as a pattern after those
  // already listed (in key order within one call).
  void load(const Classes& entries);

  // locate(classText): the entry stored under classText, else the entry of
  // the first listed pattern that matches classText. Raises "Cannot find
  // attributes for vendor class '%1'." ("This vendor class is not defined.")
  // when neither exists.
  Result locate(const std::string& classText) const;
  // locate(enterpriseNumber, classText): the first entry in key order whose
  // vendor id begins with enterpriseNumber and whose key, read as a pattern,
  // matches classText. Entries without attributes or with an empty vendor id
  // are passed over. Raises "Cannot find attributes for vendor %1, class
  // '%2'." ("This vendor class is not defined.") when none qualifies.
  Result locate(std::int32_t enterpriseNumber, const std::string& classText) const;

  // find(classText), find(enterpriseNumber, classText): the entry the
  // locate of the same arguments gives, in place, or null when there is
  // none. Nothing is copied or counted, so any number of threads may find at
  // once; the entry stays in place as long as the lookup lives (a later load
  // may replace its attributes).
  const Entry* find(std::string_view classText) const;
  const Entry* find(std::int32_t enterpriseNumber, std::string_view classText) const;

  const Classes& classes() const { return classes_; }
  const std::vector<std::string>& patterns() const { return patterns_; }

 private:
  std::uint64_t owner_;
  Classes classes_;
  std::vector<std::string> patterns_;
};

}  // namespace qvt
