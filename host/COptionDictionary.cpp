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

COptionDictionary::COptionDictionary(const COptionDictionary& other)
    : definitions_(other.definitions_) {
  _reindex();
}

COptionDictionary& COptionDictionary::operator=(const COptionDictionary& other) {
  if (this != &other) {
    definitions_ = other.definitions_;
    _reindex();
  }
  return *this;
}

COptionDictionary::~COptionDictionary() = default;

void COptionDictionary::_reindex() {
  index_.clear();
  options_.fill(nullptr);
  headers_.fill(nullptr);
  for (const auto& [key, definition] : definitions_) {
    index_.emplace(key, &definition);
    _indexGeneral(key, &definition);
  }
}

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
  Key key(enterprise, definition.tagPath());
  const auto stored = definitions_.insert_or_assign(key, definition).first;
  _indexGeneral(key, &stored->second);
  index_.insert_or_assign(std::move(key), &stored->second);
}

const COptionAttributes** COptionDictionary::_slot(std::uint32_t tag) noexcept {
  if (tag < options_.size()) return &options_[tag];
  if (tag >= 0xffffff00u) return &headers_[tag & 0xffu];
  return nullptr;
}

void COptionDictionary::_indexGeneral(const Key& key,
                                      const COptionAttributes* definition) noexcept {
  if (key.first != 0 || key.second.depth() != 1) return;
  if (const COptionAttributes** slot = _slot(key.second[0])) *slot = definition;
}

std::size_t COptionDictionary::CKeyHash::operator()(const Key& key) const noexcept {
  std::uint64_t hash = static_cast<std::uint32_t>(key.first) * 0x9E3779B97F4A7C15u;
  for (const std::uint32_t tag : key.second)
    hash = (hash ^ tag) * 0x100000001B3u;
  return static_cast<std::size_t>(hash ^ (hash >> 29));
}

const COptionAttributes* COptionDictionary::find(const CTagPath& path) const {
  if (path.depth() == 1) {
    if (const COptionAttributes* const* slot = _slot(path[0])) return *slot;
  }
  const auto found = index_.find(Key(0, path));
  return found == index_.end() ? nullptr : found->second;
}

const COptionAttributes* COptionDictionary::find(const CTagPath& path,
                                                 std::int32_t enterpriseNumber) const {
  if (enterpriseNumber != 0) {
    const auto found = index_.find(Key(enterpriseNumber, path));
    if (found != index_.end()) return found->second;
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
