// CBlowfish: the Blowfish block cipher (64-bit block, 16 rounds) in CBC or
// 64-bit CFB mode, and the raw key file that holds its key.
//
// Blocks are read big-endian (bytes 0-3 the left word, 4-7 the right word).
// The chaining value starts from the initial value (zero) on every call, so
// each call is independent:
//
//   CBlowfish cipher;
//   cipher.init(key, keyLength);
//   cipher.encipher(buffer, 16, CBlowfish::kModeCBC);
//
// One object must not be used by two threads at once: the chaining value of
// the running call lives in the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "class_a/security/CBlowfishTables.h"

namespace qvt {

class CHexStore;

class CBlowfish {
 public:
  static constexpr int kModeCBC = 1;
  static constexpr int kModeCFB = 2;
  static constexpr std::size_t kBlockSize = 8;
  // kMaxKeyLength: longer keys are cut to their first 56 bytes.
  static constexpr std::size_t kMaxKeyLength = 56;
  static constexpr std::size_t kDefaultKeyFileLength = 1024;

  // A cipher with the unkeyed standard tables and a zero initial value.
  CBlowfish();
  // The key schedule is wiped when the object goes.
  ~CBlowfish();
  CBlowfish(const CBlowfish&) = default;
  CBlowfish& operator=(const CBlowfish&) = default;

  // init: keys the cipher with the first min(length, 56) bytes of key.
  // Raises "Cannot decipher blowfish buffer. (Invalid key length.)" for a
  // length of 0; the previous key then stays.
  void init(const unsigned char* key, std::size_t length);
  // init: keys the cipher with the bytes of a byte sequence (empty raises as above).
  void init(const CHexStore& key);

  // encipher / decipher in place: length must be a non-zero multiple of 8,
  // else raises "Cannot decipher blowfish buffer. (Invalid buffer length.)"
  // and the buffer stays unchanged. A mode other than kModeCBC or kModeCFB
  // leaves the buffer unchanged.
  void encipher(unsigned char* buffer, std::size_t length, int mode);
  void decipher(unsigned char* buffer, std::size_t length, int mode);

  // encipher / decipher from source into destination (length bytes each; they
  // may be the same buffer). The length rule is that of the in-place forms;
  // decipher raises "Cannot decipher buffer. (Invalid buffer length.)". With
  // another mode, destination receives the source bytes unchanged.
  void encipher(const unsigned char* source, unsigned char* destination, std::size_t length,
                int mode);
  void decipher(const unsigned char* source, unsigned char* destination, std::size_t length,
                int mode);

  // encrypt_string: the text up to its first zero byte, with a terminating
  // zero, zero-padded to a multiple of 8 (at least 8), enciphered CBC into out
  // (cleared first). Raises "Cannot encrypt string. (Not enough memory for
  // this operation.)" when the work buffer cannot be allocated.
  void encrypt_string(const std::string& text, CHexStore& out);
  // decrypt_string: deciphers in (CBC) and gives the text up to the first
  // zero byte; an empty in gives an empty text. A length that is not a
  // multiple of 8 raises the buffer-length error and leaves out unchanged.
  void decrypt_string(const CHexStore& in, std::string& out);

  // init_from_file: keys the cipher with the first keyLength bytes of the raw
  // key file directory/fileName. Raises "Cannot initialize blowfish cipher
  // with key length 0. (Key cannot be empty.)", "Cannot open blowfish key file
  // '<path>'." with the system's reason (also when reading fails), or "Cannot
  // initialize blowfish cipher from key file '<path>'. (Key file is invalid.)"
  // when the file holds fewer than keyLength bytes.
  void init_from_file(const std::string& directory, const std::string& fileName,
                      std::size_t keyLength);

  // create_key_file: when directory/fileName does not exist, fills keyBuffer
  // (keyLength bytes) from the system's cryptographic random source and writes
  // it to a new file readable and writable by its owner only (mode 0600). An
  // existing file is kept as it is and keyBuffer is not touched. Raises
  // "Failed to create blowfish key file '<path>'." or "Failed to write to
  // blowfish key file '<path>'." with the system's reason; a file left
  // incomplete by a failure is removed. A keyLength of 0 raises the create
  // error with "Key cannot be empty.".
  void create_key_file(const std::string& directory, const std::string& fileName,
                       unsigned char* keyBuffer,
                       std::size_t keyLength = kDefaultKeyFileLength) const;

  // encryptBlock / decryptBlock: one block in ECB form, left and right words.
  void encryptBlock(std::uint32_t& left, std::uint32_t& right) const;
  void decryptBlock(std::uint32_t& left, std::uint32_t& right) const;

  // keyFilePath: directory and file name joined by exactly one "/"; an empty
  // directory gives the file name alone.
  static std::string keyFilePath(const std::string& directory, const std::string& fileName);

 private:
  std::uint32_t _f(std::uint32_t x) const;
  // _checkLength: raises the buffer-length error with the given description.
  void _checkLength(std::size_t length, const char* description) const;
  void _encipherCBC(unsigned char* buffer, std::size_t length);
  void _decipherCBC(unsigned char* buffer, std::size_t length);
  void _cipherCFB(unsigned char* buffer, std::size_t length, bool encipher);

  std::uint64_t _initialValue = 0;
  std::uint64_t _chain = 0;
  std::uint32_t _p[kBlowfishRounds + 2];
  std::uint32_t _s[4][256];
};

}  // namespace qvt
