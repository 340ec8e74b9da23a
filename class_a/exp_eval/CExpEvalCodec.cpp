// Built-in encodings, digests and ciphers: $BASE64.ENCODE, $BASE64.DECODE,
// $MD5, $SHA1, $ENCRYPT, $DECRYPT, $SENCRYPT and $SDECRYPT.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/security/CMD5.h"
#include "class_a/security/CSHA1.h"
#include "class_a/standard/CBase64.h"

namespace qvt {

namespace {

const unsigned char* bytesOf(const CVariant& value) {
  return static_cast<const unsigned char*>(value.raw_data());
}

// kMaxBlockData: the length byte of an encrypted block counts at most 255.
constexpr std::size_t kMaxBlockData = 255;
constexpr std::size_t kBlock = CBlowfish::kBlockSize;

}  // namespace

void CExpEval::_base64Encode(CExpEval& evaluator, CMultiVariant& results,
                             CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_base64Encode",
                                   "Failed to execute function $BASE64.ENCODE()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  for (; !arguments.empty(); arguments.advance()) {
    const CVariant& value = arguments.current();
    const std::size_t length = value.raw_len();
    results.append(_asString(CBase64::encode(bytesOf(value), length)));
  }
}

void CExpEval::_base64Decode(CExpEval& evaluator, CMultiVariant& results,
                             CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_base64Decode",
                                   "Failed to execute function $BASE64.DECODE()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  for (; !arguments.empty(); arguments.advance()) {
    results.append(CVariant(CBase64::decode(arguments.current().string())));
  }
}

void CExpEval::_md5(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_md5", "Failed to execute function $MD5()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  for (; !arguments.empty(); arguments.advance()) {
    const CVariant& value = arguments.current();
    const std::size_t length = value.raw_len();
    CMD5 digest;
    digest.update(bytesOf(value), length);
    results.append(CVariant(digest.final()));
  }
}

void CExpEval::_sha1(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_sha1", "Failed to execute function $SHA1()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  for (; !arguments.empty(); arguments.advance()) {
    const CVariant& value = arguments.current();
    const std::size_t length = value.raw_len();
    CSHA1 digest;
    digest.update(bytesOf(value), length);
    results.append(CVariant(digest.final()));
  }
}

void CExpEval::_encrypt(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_encrypt", "Failed to execute function $ENCRYPT()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  _requireCipher(evaluator, kCall);
  // Block: length byte, data, zero padding to a multiple of 8 (a whole block
  // of padding when length byte and data already fill blocks beyond the first).
  std::array<unsigned char, 1 + kMaxBlockData + kBlock> block{};
  std::size_t dataLength = 0;
  for (; !arguments.empty(); arguments.advance()) {
    const CVariant& value = arguments.current();
    const std::size_t length = value.raw_len();
    if (dataLength + length > kMaxBlockData) {
      std::size_t total = dataLength + length;
      for (arguments.advance(); !arguments.empty(); arguments.advance()) {
        total += arguments.current().raw_len();
      }
      _failCallWith(evaluator, kCall,
                    "Data of %1 bytes is longer than the 255 bytes a block can carry.", total);
    }
    if (length > 0) std::copy_n(bytesOf(value), length, block.begin() + 1 + dataLength);
    dataLength += length;
  }
  block[0] = static_cast<unsigned char>(dataLength);
  const std::size_t used = dataLength + 1;
  const std::size_t padding = used <= kBlock ? kBlock - used : kBlock - used % kBlock;
  const std::size_t size = used + padding;
  evaluator.cipher().encipher(block.data(), size, CBlowfish::kModeCBC);
  results.append(CVariant(CHexStore(block.data(), size)));
}

void CExpEval::_decrypt(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_decrypt", "Failed to execute function $DECRYPT()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  _requireCipher(evaluator, kCall);
  for (; !arguments.empty(); arguments.advance()) {
    const CVariant& value = arguments.current();
    const std::size_t length = value.raw_len();
    if (length < kBlock || length % kBlock != 0) {
      _failCallWith(evaluator, kCall, "Argument '%1' must be exactly eight (8) bytes long.",
                    value.string());
    }
    CHexStore block(bytesOf(value), length);
    evaluator.cipher().decipher(block.data(), length, CBlowfish::kModeCBC);
    const std::size_t dataLength = block[0];
    // A length byte beyond the block means a wrong key or foreign data.
    if (dataLength > length - 1) {
      _failCallWith(evaluator, kCall, "Argument '%1' must be exactly eight (8) bytes long.",
                    value.string());
    }
    results.append(CVariant(CHexStore(block.data() + 1, dataLength)));
  }
}

void CExpEval::_sencrypt(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_sencrypt",
                                   "Failed to execute function $SENCRYPT()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  _requireCipher(evaluator, kCall);
  for (; !arguments.empty(); arguments.advance()) {
    CHexStore encrypted;
    evaluator.cipher().encrypt_string(arguments.current().string(), encrypted);
    results.append(CVariant(std::move(encrypted)));
  }
}

void CExpEval::_sdecrypt(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_sdecrypt",
                                   "Failed to execute function $SDECRYPT()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  _requireCipher(evaluator, kCall);
  for (; !arguments.empty(); arguments.advance()) {
    const CVariant& value = arguments.current();
    const std::size_t length = value.raw_len();
    std::string text;
    evaluator.cipher().decrypt_string(CHexStore(bytesOf(value), length), text);
    results.append(_asString(text));
  }
}

void CExpEval::_requireCipher(CExpEval& evaluator, const CCallName& call) {
  if (evaluator.cipherKeyed_) return;
  if (evaluator.keyOnFirstUse_ && evaluator.hostContext_ != nullptr) evaluator.initCipher();
  if (!evaluator.cipherKeyed_) _failCall(evaluator, call, "The cipher has not been keyed.");
}

}  // namespace qvt
