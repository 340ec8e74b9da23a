// CMessageStore: translations of message templates, read from a message
// locale file.
//
// A locale file is a CFileReader file of records separated by blank lines:
//
//   # shift errors
//   id=17
//   en_US=Cannot left shift by %1 bits.
//   de_DE=...
//
// translate() looks a message's English template up and, when the entry has a
// text for the wanted locale, replaces the template with it.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "class_a/standard/CFileReader.h"
#include "class_a/standard/CMessage.h"

namespace qvt {

class CMessageStore : public CFileReader {
 public:
  struct Entry {
    std::int32_t id = -1;
    std::map<std::string, std::string> translations;  // locale -> text
  };

  CMessageStore();
  ~CMessageStore() override;

  // translate: sets the message's id and, when a translation for locale
  // exists, its template. An unknown template gets id -1 and keeps its text.
  void translate(CMessage& message, const std::string& locale) const;
  // translate: the same on a bare template text (no id).
  void translate(std::string& templateText, const std::string& locale) const;

  // Locales whose translations are kept while reading; "*" keeps all.
  std::set<std::string>& locales() { return locales_; }
  const std::string& defaultLocale() const { return defaultLocale_; }
  void setDefaultLocale(std::string locale) { defaultLocale_ = std::move(locale); }
  const std::map<std::string, Entry>& entries() const { return entries_; }

 protected:
  void _processRecord(const std::string& record, std::uint64_t lineNumber) override;

 private:
  std::set<std::string> locales_;
  std::string defaultLocale_ = "en_US";
  std::map<std::string, Entry> entries_;
};

}  // namespace qvt
