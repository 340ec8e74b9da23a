// CMessage: a message template with numbered placeholders and its arguments.
//
// Arguments are kept in a fixed argument buffer and substituted only when the
// text is asked for:
//
//   CMessage m("Cannot left shift by %1 bits.", -3);
//   m.text();  // "Cannot left shift by -3 bits."
//
// Substitution replaces "%1", "%2", ... in ascending order, searching the text
// as it stands after earlier replacements. So "%1" also matches the start of
// "%10", a marker inside an inserted argument is replaced as well, and a marker
// without an argument stays as written.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "class_a/standard/CArgBuffer.h"

namespace qvt {

// CHexArg: an unsigned 32-bit argument printed in hexadecimal ("0x1f").
struct CHexArg {
  std::uint32_t value;
};

class CMessage {
 public:
  CMessage() = default;
  // A template and its arguments, pushed in placeholder order (%1 first).
  // Integers up to 32 bits keep their kind; 64-bit integers are pushed as
  // their decimal text, a char as a one-character text.
  template <class... Args>
  CMessage(std::string templateText, const Args&... args)  // NOLINT(runtime/explicit)
      : templateText_(std::move(templateText)) {
    (pushArg(args), ...);
  }
  CMessage(const char* templateText) : templateText_(templateText ? templateText : "") {}
  virtual ~CMessage() = default;

  CMessage(const CMessage&) = default;
  CMessage& operator=(const CMessage&) = default;

  // text: the template with its placeholders replaced; rebuilt on every call.
  const std::string& text();
  std::string text() const;

  // clear: empties arguments, template and result, and sets id to -1.
  void clear();

  const std::string& templateText() const { return templateText_; }
  void setTemplateText(std::string text) { templateText_ = std::move(text); }
  std::int32_t id() const { return id_; }
  void setId(std::int32_t id) { id_ = id; }
  const std::string& module() const { return module_; }
  void setModule(std::string module) { module_ = std::move(module); }

  CMessageArgs& arguments() { return arguments_; }
  const CMessageArgs& arguments() const { return arguments_; }

  // Argument pushes by type.
  void pushArg(std::int8_t v) { arguments_.push(v); }
  void pushArg(std::uint8_t v) { arguments_.push(v); }
  void pushArg(std::int16_t v) { arguments_.push(v); }
  void pushArg(std::uint16_t v) { arguments_.push(v); }
  void pushArg(std::int32_t v) { arguments_.push(v); }
  void pushArg(std::uint32_t v) { arguments_.push(v); }
  void pushArg(long v) { arguments_.push(std::to_string(v)); }
  void pushArg(unsigned long v) { arguments_.push(std::to_string(v)); }
  void pushArg(long long v) { arguments_.push(std::to_string(v)); }
  void pushArg(unsigned long long v) { arguments_.push(std::to_string(v)); }
  void pushArg(double v) { arguments_.push(v); }
  void pushArg(char v) { arguments_.push(std::string(1, v)); }
  void pushArg(CHexArg v) { arguments_.pushHex(v.value); }
  void pushArg(const std::string& v) { arguments_.push(v); }
  void pushArg(const char* v) { arguments_.pushs(v); }
  void pushArg(bool) = delete;

  // substitute: the placeholder rules applied to a template and arguments.
  static std::string substitute(const std::string& templateText, const CMessageArgs& arguments);

 private:
  CMessageArgs arguments_;
  std::string formatted_;
  std::string templateText_;
  std::int32_t id_ = -1;
  std::string module_ = "standard";
};

}  // namespace qvt
