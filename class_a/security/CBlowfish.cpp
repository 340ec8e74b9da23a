#include "class_a/security/CBlowfish.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "class_a/standard/CHexStore.h"
#include "class_a/standard/Fail.h"

namespace qvt {
namespace {

constexpr const char* kModule = "security";
constexpr const char* kBufferError = "Cannot decipher blowfish buffer.";

// secureWipe: zeroes key material in a way the compiler may not drop as a dead store.
void secureWipe(void* memory, std::size_t length) {
  explicit_bzero(memory, length);
}

// CWipeOnExit: wipes a local buffer on every way out of a scope.
class CWipeOnExit {
 public:
  CWipeOnExit(void* memory, std::size_t length) : memory_(memory), length_(length) {}
  ~CWipeOnExit() { secureWipe(memory_, length_); }
  CWipeOnExit(const CWipeOnExit&) = delete;
  CWipeOnExit& operator=(const CWipeOnExit&) = delete;

 private:
  void* memory_;
  std::size_t length_;
};

// CFileDescriptor: closes an open descriptor when it goes.
class CFileDescriptor {
 public:
  explicit CFileDescriptor(int fd) : fd_(fd) {}
  ~CFileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  CFileDescriptor(const CFileDescriptor&) = delete;
  CFileDescriptor& operator=(const CFileDescriptor&) = delete;

  int get() const { return fd_; }
  // close: closes now and reports whether the system accepted it.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::uint32_t load32(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

void store32(unsigned char* bytes, std::uint32_t word) {
  bytes[0] = static_cast<unsigned char>(word >> 24);
  bytes[1] = static_cast<unsigned char>(word >> 16);
  bytes[2] = static_cast<unsigned char>(word >> 8);
  bytes[3] = static_cast<unsigned char>(word);
}

// The feedback register is applied as two halves: low half to the left word,
// high half to the right word.
std::uint32_t lowHalf(std::uint64_t value) {
  return static_cast<std::uint32_t>(value);
}
std::uint32_t highHalf(std::uint64_t value) {
  return static_cast<std::uint32_t>(value >> 32);
}
std::uint64_t joinHalves(std::uint32_t left, std::uint32_t right) {
  return std::uint64_t{left} | (std::uint64_t{right} << 32);
}

// fillRandom: fills buffer from the kernel's cryptographic random source.
bool fillRandom(unsigned char* buffer, std::size_t length) {
  std::size_t filled = 0;
  while (filled < length) {
    const ssize_t got = ::getrandom(buffer + filled, length - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    filled += static_cast<std::size_t>(got);
  }
  return true;
}

// writeAll: writes every byte, resuming after partial writes and interrupts.
bool writeAll(int fd, const unsigned char* buffer, std::size_t length) {
  std::size_t written = 0;
  while (written < length) {
    const ssize_t put = ::write(fd, buffer + written, length - written);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace

CBlowfish::CBlowfish() {
  std::memcpy(_p, kBlowfishInitialP, sizeof _p);
  std::memcpy(_s, kBlowfishInitialS, sizeof _s);
}

CBlowfish::~CBlowfish() {
  secureWipe(_p, sizeof _p);
  secureWipe(_s, sizeof _s);
}

void CBlowfish::init(const unsigned char* key, std::size_t length) {
  if (length == 0) {
    fail(CRaiser::of(*this), kModule, "CBlowfish::init", kBufferError, "Invalid key length.");
  }
  length = std::min(length, kMaxKeyLength);
  _chain = _initialValue;
  std::memcpy(_p, kBlowfishInitialP, sizeof _p);
  std::memcpy(_s, kBlowfishInitialS, sizeof _s);

  std::size_t next = 0;
  for (std::uint32_t& word : _p) {
    std::uint32_t keyWord = 0;
    for (int i = 0; i < 4; ++i) {
      keyWord = (keyWord << 8) | key[next];
      next = (next + 1) % length;
    }
    word ^= keyWord;
  }

  std::uint32_t left = 0;
  std::uint32_t right = 0;
  for (std::size_t i = 0; i < kBlowfishRounds + 2; i += 2) {
    encryptBlock(left, right);
    _p[i] = left;
    _p[i + 1] = right;
  }
  for (auto& box : _s) {
    for (std::size_t i = 0; i < 256; i += 2) {
      encryptBlock(left, right);
      box[i] = left;
      box[i + 1] = right;
    }
  }
}

void CBlowfish::init(const CHexStore& key) {
  init(key.data(), key.size());
}

std::uint32_t CBlowfish::_f(std::uint32_t x) const {
  return ((_s[0][x >> 24] + _s[1][(x >> 16) & 0xFF]) ^ _s[2][(x >> 8) & 0xFF]) + _s[3][x & 0xFF];
}

void CBlowfish::encryptBlock(std::uint32_t& left, std::uint32_t& right) const {
  std::uint32_t l = left;
  std::uint32_t r = right;
  for (std::size_t i = 0; i < kBlowfishRounds; ++i) {
    l ^= _p[i];
    r ^= _f(l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= _p[kBlowfishRounds];
  l ^= _p[kBlowfishRounds + 1];
  left = l;
  right = r;
}

void CBlowfish::decryptBlock(std::uint32_t& left, std::uint32_t& right) const {
  std::uint32_t l = left;
  std::uint32_t r = right;
  for (std::size_t i = kBlowfishRounds + 1; i > 1; --i) {
    l ^= _p[i];
    r ^= _f(l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= _p[1];
  l ^= _p[0];
  left = l;
  right = r;
}

void CBlowfish::_checkLength(std::size_t length, const char* description) const {
  if (length == 0 || length % kBlockSize != 0) {
    fail(CRaiser::of(*this), kModule, "CBlowfish::init", description, "Invalid buffer length.");
  }
}

void CBlowfish::_encipherCBC(unsigned char* buffer, std::size_t length) {
  _chain = _initialValue;
  for (unsigned char* block = buffer; block != buffer + length; block += kBlockSize) {
    std::uint32_t left = load32(block) ^ lowHalf(_chain);
    std::uint32_t right = load32(block + 4) ^ highHalf(_chain);
    encryptBlock(left, right);
    store32(block, left);
    store32(block + 4, right);
    _chain = joinHalves(left, right);
  }
  _chain = _initialValue;
}

void CBlowfish::_decipherCBC(unsigned char* buffer, std::size_t length) {
  _chain = _initialValue;
  for (unsigned char* block = buffer; block != buffer + length; block += kBlockSize) {
    const std::uint32_t cipherLeft = load32(block);
    const std::uint32_t cipherRight = load32(block + 4);
    std::uint32_t left = cipherLeft;
    std::uint32_t right = cipherRight;
    decryptBlock(left, right);
    store32(block, left ^ lowHalf(_chain));
    store32(block + 4, right ^ highHalf(_chain));
    _chain = joinHalves(cipherLeft, cipherRight);
  }
  _chain = _initialValue;
}

void CBlowfish::_cipherCFB(unsigned char* buffer, std::size_t length, bool encipher) {
  _chain = _initialValue;
  for (unsigned char* block = buffer; block != buffer + length; block += kBlockSize) {
    std::uint32_t keyLeft = lowHalf(_chain);
    std::uint32_t keyRight = highHalf(_chain);
    encryptBlock(keyLeft, keyRight);
    const std::uint32_t inLeft = load32(block);
    const std::uint32_t inRight = load32(block + 4);
    const std::uint32_t outLeft = inLeft ^ keyLeft;
    const std::uint32_t outRight = inRight ^ keyRight;
    store32(block, outLeft);
    store32(block + 4, outRight);
    // The feedback is always the ciphertext block: the output when
    // enciphering, the input when deciphering.
    _chain = encipher ? joinHalves(outLeft, outRight) : joinHalves(inLeft, inRight);
  }
  _chain = _initialValue;
}

void CBlowfish::encipher(unsigned char* buffer, std::size_t length, int mode) {
  _checkLength(length, kBufferError);
  if (mode == kModeCBC) {
    _encipherCBC(buffer, length);
  } else if (mode == kModeCFB) {
    _cipherCFB(buffer, length, true);
  }
}

void CBlowfish::decipher(unsigned char* buffer, std::size_t length, int mode) {
  _checkLength(length, kBufferError);
  if (mode == kModeCBC) {
    _decipherCBC(buffer, length);
  } else if (mode == kModeCFB) {
    _cipherCFB(buffer, length, false);
  }
}

void CBlowfish::encipher(const unsigned char* source, unsigned char* destination,
                         std::size_t length, int mode) {
  _checkLength(length, kBufferError);
  if (source != destination) std::memmove(destination, source, length);
  encipher(destination, length, mode);
}

void CBlowfish::decipher(const unsigned char* source, unsigned char* destination,
                         std::size_t length, int mode) {
  _checkLength(length, "Cannot decipher buffer.");
  if (source != destination) std::memmove(destination, source, length);
  decipher(destination, length, mode);
}

void CBlowfish::encrypt_string(const std::string& text, CHexStore& out) {
  const std::size_t textLength = std::min(text.find('\0'), text.size());
  // Room for the text and its terminating NUL, rounded up to whole blocks.
  const std::size_t length = (textLength / kBlockSize + 1) * kBlockSize;

  std::vector<unsigned char> work;
  try {
    work.assign(length, 0);
  } catch (const std::bad_alloc&) {
    fail(CRaiser::of(*this), kModule, "CBlowfish::encrypt_string", "Cannot encrypt string.",
         "Not enough memory for this operation.");
  }
  std::memcpy(work.data(), text.data(), textLength);
  _encipherCBC(work.data(), length);
  out.clear();
  out.append(work.data(), length);
}

void CBlowfish::decrypt_string(const CHexStore& in, std::string& out) {
  if (in.size() == 0) {
    out.clear();
    return;
  }
  _checkLength(in.size(), kBufferError);

  std::vector<unsigned char> work;
  try {
    work.assign(in.data(), in.data() + in.size());
  } catch (const std::bad_alloc&) {
    fail(CRaiser::of(*this), kModule, "CBlowfish::decrypt_string", "Cannot decrypt string.",
         "Not enough memory for this operation.");
  }
  CWipeOnExit wipe(work.data(), work.size());
  _decipherCBC(work.data(), work.size());
  const auto end = std::find(work.begin(), work.end(), 0);
  out.assign(work.begin(), end);
}

std::string CBlowfish::keyFilePath(const std::string& directory, const std::string& fileName) {
  if (directory.empty()) return fileName;
  const std::size_t lastKept = directory.find_last_not_of('/');
  const std::string head = lastKept == std::string::npos ? "" : directory.substr(0, lastKept + 1);
  const std::size_t firstKept = fileName.find_first_not_of('/');
  const std::string tail = firstKept == std::string::npos ? "" : fileName.substr(firstKept);
  return head + "/" + tail;
}

void CBlowfish::init_from_file(const std::string& directory, const std::string& fileName,
                               std::size_t keyLength) {
  const std::string path = keyFilePath(directory, fileName);
  if (keyLength == 0) {
    fail(CRaiser::of(*this), kModule, "CBlowfish::init_from_file",
         {"Cannot initialize blowfish cipher with key length %1.", keyLength},
         "Key cannot be empty.");
  }
  CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) {
    const std::uint32_t code = lastSystemError();
    failSystem(CRaiser::of(*this), kModule, "CBlowfish::init_from_file",
               {"Cannot open blowfish key file '%1'.", path}, code);
  }

  // Only the first 56 bytes key the cipher; the rest is read to check that the
  // file holds keyLength bytes, without buffering a key of any size.
  unsigned char key[kMaxKeyLength];
  unsigned char chunk[4096];
  CWipeOnExit wipeKey(key, sizeof key);
  CWipeOnExit wipeChunk(chunk, sizeof chunk);
  std::size_t total = 0;
  while (total < keyLength) {
    const ssize_t got = ::read(file.get(), chunk, std::min(sizeof chunk, keyLength - total));
    if (got < 0) {
      if (errno == EINTR) continue;
      const std::uint32_t code = lastSystemError();
      failSystem(CRaiser::of(*this), kModule, "CBlowfish::init_from_file",
                 {"Cannot open blowfish key file '%1'.", path}, code);
    }
    if (got == 0) break;
    if (total < kMaxKeyLength) {
      const std::size_t keep = std::min(static_cast<std::size_t>(got), kMaxKeyLength - total);
      std::memcpy(key + total, chunk, keep);
    }
    total += static_cast<std::size_t>(got);
  }
  if (total < keyLength) {
    fail(CRaiser::of(*this), kModule, "CBlowfish::init_from_file",
         {"Cannot initialize blowfish cipher from key file '%1'.", path}, "Key file is invalid.");
  }
  init(key, std::min(keyLength, kMaxKeyLength));
}

void CBlowfish::create_key_file(const std::string& directory, const std::string& fileName,
                                unsigned char* keyBuffer, std::size_t keyLength) const {
  const std::string path = keyFilePath(directory, fileName);
  const char* operation = "CBlowfish::create_key_file";
  if (keyLength == 0) {
    fail(CRaiser::of(*this), kModule, operation, {"Failed to create blowfish key file '%1'.", path},
         "Key cannot be empty.");
  }
  // O_EXCL: an existing file (or one that appears meanwhile) is never
  // overwritten, and a symbolic link at the path is not followed.
  CFileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (file.get() < 0) {
    const std::uint32_t code = lastSystemError();
    if (code == EEXIST) return;
    failSystem(CRaiser::of(*this), kModule, operation,
               {"Failed to create blowfish key file '%1'.", path}, code);
  }

  // Any failure from here removes the incomplete file, keeping errno for the reason.
  const auto discard = [&path, &file]() {
    const std::uint32_t code = lastSystemError();
    file.close();
    ::unlink(path.c_str());
    return code;
  };
  // The umask may narrow the mode given to open; the key must stay owner-only
  // and readable.
  if (::fchmod(file.get(), 0600) != 0 || !fillRandom(keyBuffer, keyLength)) {
    const std::uint32_t code = discard();
    failSystem(CRaiser::of(*this), kModule, operation,
               {"Failed to create blowfish key file '%1'.", path}, code);
  }
  if (!writeAll(file.get(), keyBuffer, keyLength) || ::fsync(file.get()) != 0) {
    const std::uint32_t code = discard();
    failSystem(CRaiser::of(*this), kModule, operation,
               {"Failed to write to blowfish key file '%1'.", path}, code);
  }
  if (!file.close()) {
    const std::uint32_t code = lastSystemError();
    ::unlink(path.c_str());
    failSystem(CRaiser::of(*this), kModule, operation,
               {"Failed to write to blowfish key file '%1'.", path}, code);
  }
}

}  // namespace qvt
