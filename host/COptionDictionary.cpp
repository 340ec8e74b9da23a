#include "host/COptionDictionary.h"

#include <sys/stat.h>
#include <cstdlib>

#include "class_a/standard/CStringMap.h"
#include "host/ProgramPath.h"

namespace qvt {

namespace {

bool isDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

COptionDictionary::~COptionDictionary() = default;

void COptionDictionary::load(const std::string& directory, const std::string& fileName) {
  _reader().load(directory, fileName);
}

void COptionDictionary::loadText(const std::string& text) {
  _reader().loadText(text);
}

CRecordFileReader COptionDictionary::_reader() {
  return CRecordFileReader("COptionDictionary::load", "Cannot read option definitions from '%1'.",
                           [this](const CStringMap& record) {
                             COptionAttributes definition;
                             definition._set(record);
                             add(definition);
                           });
}

void COptionDictionary::add(const COptionAttributes& definition) {
  const CVendorID vendor = definition.vendorId();
  const std::int32_t enterprise = vendor.empty() ? 0 : vendor[0];
  definitions_.insert_or_assign(Key(enterprise, definition.tagPath()), definition);
}

const COptionAttributes* COptionDictionary::find(const CTagPath& path) const {
  const auto found = definitions_.find(Key(0, path));
  return found == definitions_.end() ? nullptr : &found->second;
}

const COptionAttributes* COptionDictionary::find(const CTagPath& path,
                                                 std::int32_t enterpriseNumber) const {
  if (enterpriseNumber != 0) {
    const auto found = definitions_.find(Key(enterpriseNumber, path));
    if (found != definitions_.end()) return &found->second;
  }
  return find(path);
}

COptionAttributes COptionDictionary::definitionOrBytes(const CTagPath& path,
                                                       std::int32_t enterpriseNumber) const {
  if (const COptionAttributes* definition = find(path, enterpriseNumber)) return *definition;
  COptionAttributes bytes;
  bytes.setTagPath(path);
  bytes.setType(COptionType(COptionType::eByteSequence));
  bytes.setName("option-" + path.string());
  bytes.userDefinable().string("allowed");
  return bytes;
}

std::string COptionDictionary::defaultDirectory() {
  const char* configured = std::getenv("DHCP_EVAL_DICTIONARIES");
  if (configured != nullptr && *configured != '\0') return configured;
  const std::string installed = host::installedDictionaryDirectory(host::programDirectory());
  if (isDirectory(installed)) return installed;
  // The source tree's folder, as an absolute path given by the build: the
  // compiler's __FILE__ may be relative (ccache's base_dir rewrites it).
  return DHCP_EVAL_DICTIONARY_DIR;
}

}  // namespace qvt
