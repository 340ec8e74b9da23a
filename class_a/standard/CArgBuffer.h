// CArgBuffer: a fixed-capacity store of message arguments.
//
// Values are copied one after the other into an inline byte buffer and turned
// into text only when asked for. Only texts longer than MaxInlineText - 1
// characters go to the heap; the buffer owns those blocks and copies them when
// it is copied, so two buffers never share one.
//
//   CArgBuffer<100, 1024, 200> args;
//   args.push(std::int32_t{-3});
//   args.push(std::string("eth0"));
//   args.arg(0);  // "-3"
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace qvt {

// Argument kinds, stored with each argument; they fix its printed form.
enum CArgKind : std::uint32_t {
  kArgInt8 = 0,    // "%li"
  kArgUInt8 = 1,   // "%lu"
  kArgInt16 = 2,   // "%li"
  kArgUInt16 = 3,  // "%lu"
  kArgInt32 = 4,   // "%li"
  kArgUInt32 = 5,  // "%lu"
  kArgHex32 = 6,   // "%#lx"
  kArgInt = 7,     // "%i"
  kArgUInt = 8,    // "%u"
  kArgDouble = 9,  // "%g"
  kArgInlineText = 10,
  kArgHeapText = 11,
};

// Raises the argument buffer's failures; defined in CArgBuffer.cpp. Each
// throws a CException and never returns.
namespace arg_buffer_errors {
[[noreturn]] void tooManyArguments(const char* operation);
[[noreturn]] void notEnoughBufferSpace(const char* operation);
[[noreturn]] void notEnoughMemory(const char* operation);
[[noreturn]] void invalidPointer(const char* operation);
[[noreturn]] void outOfBounds(const char* operation, std::size_t index);
}  // namespace arg_buffer_errors

template <std::size_t MaxArgs, std::size_t BufferBytes, std::size_t MaxInlineText>
class CArgBuffer {
 public:
  using ErrorHandler = void (*)(const char*);
  using BoundsHandler = void (*)(const char*, std::size_t);

  // An empty buffer. Its bytes are not cleared: only the used part is ever
  // read or copied.
  CArgBuffer() {}
  CArgBuffer(const CArgBuffer& other) { _copyFrom(other); }
  CArgBuffer& operator=(const CArgBuffer& other) {
    if (this != &other) {
      _freeHeapTexts();
      _empty();
      _copyFrom(other);
    }
    return *this;
  }
  virtual ~CArgBuffer() { _freeHeapTexts(); }

  void push(std::int8_t value) { _pushValue(value, kArgInt8); }
  void push(std::uint8_t value) { _pushValue(value, kArgUInt8); }
  void push(std::int16_t value) { _pushValue(value, kArgInt16); }
  void push(std::uint16_t value) { _pushValue(value, kArgUInt16); }
  void push(std::int32_t value) { _pushValue(value, kArgInt32); }
  void push(std::uint32_t value) { _pushValue(value, kArgUInt32); }
  void pushHex(std::uint32_t value) { _pushValue(value, kArgHex32); }
  void pushInt(std::int32_t value) { _pushValue(value, kArgInt); }
  void pushUInt(std::uint32_t value) { _pushValue(value, kArgUInt); }
  void push(double value) { _pushValue(value, kArgDouble); }
  void push(const std::string& text) { _push(text.c_str(), text.size()); }
  // pushs: a zero-terminated text; null is refused.
  void pushs(const char* text) {
    if (text == nullptr) errorInvalidPointer("CArgBuffer::pushs");
    _push(text, std::strlen(text));
  }

  std::size_t count() const { return static_cast<std::size_t>(count_); }

  // arg: the text form of argument index (0-based); raises "Out of bounds."
  // past the last argument.
  std::string arg(std::size_t index) const {
    if (index >= count_) errorOutOfBounds("CArgBuffer::arg", index);
    const Descriptor& d = descriptors_[index];
    const unsigned char* at = buffer_ + d.offset;
    switch (d.kind) {
      case kArgInt8:
        return _format("%li", static_cast<long>(_read<std::int8_t>(at)));
      case kArgUInt8:
        return _format("%lu", static_cast<unsigned long>(_read<std::uint8_t>(at)));
      case kArgInt16:
        return _format("%li", static_cast<long>(_read<std::int16_t>(at)));
      case kArgUInt16:
        return _format("%lu", static_cast<unsigned long>(_read<std::uint16_t>(at)));
      case kArgInt32:
        return _format("%li", static_cast<long>(_read<std::int32_t>(at)));
      case kArgUInt32:
        return _format("%lu", static_cast<unsigned long>(_read<std::uint32_t>(at)));
      case kArgHex32:
        return _format("%#lx", static_cast<unsigned long>(_read<std::uint32_t>(at)));
      case kArgInt:
        return _format("%i", _read<std::int32_t>(at));
      case kArgUInt:
        return _format("%u", _read<std::uint32_t>(at));
      case kArgDouble:
        return _format("%g", _read<double>(at));
      case kArgInlineText:
        return std::string(reinterpret_cast<const char*>(at));
      case kArgHeapText: {
        const std::uint64_t size = _read<std::uint64_t>(at);
        const char* text = _read<const char*>(at + sizeof(std::uint64_t));
        return std::string(text, static_cast<std::size_t>(size - 1));
      }
      default:
        return std::string();
    }
  }

  // reset: frees the heap texts and zeroes buffer, descriptors and count.
  void reset() {
    _freeHeapTexts();
    _clear();
  }

  std::uint32_t kind(std::size_t index) const {
    if (index >= count_) errorOutOfBounds("CArgBuffer::kind", index);
    return descriptors_[index].kind;
  }

  // The error handlers; each throws.
  ErrorHandler errorTooManyArguments = &arg_buffer_errors::tooManyArguments;
  ErrorHandler errorNotEnoughBufferSpace = &arg_buffer_errors::notEnoughBufferSpace;
  ErrorHandler errorNotEnoughMemory = &arg_buffer_errors::notEnoughMemory;
  ErrorHandler errorInvalidPointer = &arg_buffer_errors::invalidPointer;
  BoundsHandler errorOutOfBounds = &arg_buffer_errors::outOfBounds;

 private:
  struct Descriptor {
    std::uint64_t offset;
    std::uint32_t kind;
  };

  static std::string _format(const char* format, ...) __attribute__((format(printf, 1, 2))) {
    char text[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
  }

  template <class T>
  static T _read(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
  }

  void _clear() {
    std::memset(buffer_, 0, sizeof buffer_);
    std::memset(static_cast<void*>(descriptors_), 0, sizeof descriptors_);
    _empty();
  }

  void _empty() {
    writePosition_ = buffer_;
    count_ = 0;
  }

  void _checkSpace(std::size_t bytes) const {
    if (count_ >= MaxArgs) errorTooManyArguments("CArgBuffer::_checkSpace");
    if (bytes > static_cast<std::size_t>(buffer_ + BufferBytes - writePosition_)) {
      errorNotEnoughBufferSpace("CArgBuffer::_checkSpace");
    }
  }

  void _append(const void* bytes, std::size_t size, std::uint32_t kind) {
    descriptors_[count_] = {static_cast<std::uint64_t>(writePosition_ - buffer_), kind};
    std::memcpy(writePosition_, bytes, size);
    writePosition_ += size;
    ++count_;
  }

  template <class T>
  void _pushValue(T value, std::uint32_t kind) {
    _checkSpace(sizeof value);
    _append(&value, sizeof value, kind);
  }

  // A text that fits (with its terminator) within MaxInlineText bytes is kept
  // inline; a longer one goes to a heap block recorded as size and address.
  void _push(const char* text, std::size_t length) {
    if (text == nullptr) errorInvalidPointer("CArgBuffer::_push");
    const std::size_t size = length + 1;
    if (size <= MaxInlineText) {
      _checkSpace(size);
      descriptors_[count_] = {static_cast<std::uint64_t>(writePosition_ - buffer_), kArgInlineText};
      std::memcpy(writePosition_, text, length);
      writePosition_[length] = 0;
      writePosition_ += size;
      ++count_;
      return;
    }
    _checkSpace(sizeof(std::uint64_t) + sizeof(char*));
    char* block = new (std::nothrow) char[size];
    if (block == nullptr) errorNotEnoughMemory("CArgBuffer::_push");
    std::memcpy(block, text, length);
    block[length] = 0;
    _appendHeapRecord(size, block);
  }

  void _appendHeapRecord(std::uint64_t size, char* block) {
    unsigned char record[sizeof(std::uint64_t) + sizeof(char*)];
    std::memcpy(record, &size, sizeof size);
    std::memcpy(record + sizeof size, &block, sizeof block);
    _append(record, sizeof record, kArgHeapText);
  }

  void _freeHeapTexts() {
    for (std::uint64_t i = 0; i < count_; ++i) {
      if (descriptors_[i].kind == kArgHeapText) {
        delete[] _read<char*>(buffer_ + descriptors_[i].offset + sizeof(std::uint64_t));
      }
    }
  }

  // Copies the used values and descriptors, then gives every heap text a block
  // of its own.
  void _copyFrom(const CArgBuffer& other) {
    const std::size_t used = static_cast<std::size_t>(other.writePosition_ - other.buffer_);
    std::memcpy(buffer_, other.buffer_, used);
    std::memcpy(static_cast<void*>(descriptors_), other.descriptors_,
                static_cast<std::size_t>(other.count_) * sizeof(Descriptor));
    writePosition_ = buffer_ + used;
    count_ = other.count_;
    for (std::uint64_t i = 0; i < count_; ++i) {
      if (descriptors_[i].kind != kArgHeapText) continue;
      unsigned char* at = buffer_ + descriptors_[i].offset;
      const std::uint64_t size = _read<std::uint64_t>(at);
      char* copy = new (std::nothrow) char[size];
      if (copy == nullptr) {
        // Free the blocks copied so far; the later records are not ours.
        count_ = i;
        _freeHeapTexts();
        _empty();
        errorNotEnoughMemory("CArgBuffer::CArgBuffer");
      }
      std::memcpy(copy, _read<const char*>(at + sizeof size), size);
      std::memcpy(at + sizeof size, &copy, sizeof copy);
    }
  }

  unsigned char buffer_[BufferBytes];
  unsigned char* writePosition_ = buffer_;
  Descriptor descriptors_[MaxArgs];
  std::uint64_t count_ = 0;
};

// The argument list of every message.
using CMessageArgs = CArgBuffer<100, 1024, 200>;
// The small argument list of the DHCP option model.
using COptionArgs = CArgBuffer<10, 300, 30>;

}  // namespace qvt
