#include "class_a/security/CBlowfish.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/DataFile.h"
#include "class_a/standard/SystemError.h"

namespace {

using qvt::CBlowfish;
using qvt::CHexStore;
using qvt_test::bytesOf;
using qvt_test::errorWhere;
using qvt_test::fromHex;
using qvt_test::toHex;
using Bytes = std::vector<unsigned char>;

CBlowfish keyed(const Bytes& key) {
  CBlowfish cipher;
  cipher.init(key.data(), key.size());
  return cipher;
}

std::string ecb(const CBlowfish& cipher, const std::string& plainHex) {
  const Bytes p = fromHex(plainHex);
  std::uint32_t left = (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
  std::uint32_t right = (std::uint32_t{p[4]} << 24) | (p[5] << 16) | (p[6] << 8) | p[7];
  cipher.encryptBlock(left, right);
  char text[17];
  std::snprintf(text, sizeof text, "%08X%08X", left, right);
  return text;
}

struct EcbRow {
  std::string key;
  std::string plain;
  std::string cipher;
};

// Eric Young's published Blowfish vectors (the ECB set and the variable key
// length set), from data/blowfish-vectors.txt.
TEST(CBlowfishTest, PublishedVectors) {
  const auto rows = qvt_test::dataLines("class_a/security/data/blowfish-vectors.txt");
  EXPECT_EQ(rows.size(), 10u) << "data/blowfish-vectors.txt could not be read whole";
  for (const auto& row : rows) {
    std::istringstream fields(row.text);
    std::string key, plain, expected;
    fields >> key >> plain >> expected;
    SCOPED_TRACE(row.text);
    CBlowfish cipher = keyed(fromHex(key));
    EXPECT_EQ(ecb(cipher, plain), expected);

    // One CBC block with the zero initial value is the ECB block, read and
    // written big-endian; deciphering gives the plain text back.
    Bytes buffer = fromHex(plain);
    cipher.encipher(buffer.data(), buffer.size(), CBlowfish::kModeCBC);
    EXPECT_EQ(toHex(buffer), expected);
    cipher.decipher(buffer.data(), buffer.size(), CBlowfish::kModeCBC);
    EXPECT_EQ(toHex(buffer), plain);
  }
}

// The published chaining vectors use the initial value FEDCBA9876543210; ours
// is zero, so the value is folded into the first plain block for CBC, and CFB
// is checked on the blocks after the first, which depend only on the previous
// cipher block.
TEST(CBlowfishTest, PublishedChainingVectors) {
  CBlowfish cipher = keyed(fromHex("0123456789ABCDEFF0E1D2C3B4A59687"));
  const Bytes iv = fromHex("FEDCBA9876543210");
  const Bytes plain = fromHex("37363534333231204E6F77206973207468652074696D6520666F722000000000");

  Bytes buffer = plain;
  for (int i = 0; i < 8; ++i)
    buffer[i] ^= iv[i];
  cipher.encipher(buffer.data(), buffer.size(), CBlowfish::kModeCBC);
  EXPECT_EQ(toHex(buffer), "6B77B4D63006DEE605B156E27403979358DEB9E7154616D959F1652BD5FF92CC");

  Bytes cfb = fromHex("E73214A2822139CAF26ECF6D2EB9E76E3DA3DE04D1517200");
  cipher.decipher(cfb.data(), cfb.size(), CBlowfish::kModeCFB);
  EXPECT_EQ(toHex(cfb).substr(16), toHex(plain).substr(16, 32));
}

TEST(CBlowfishTest, KeyIsCutAfter56BytesAndEmptyKeyIsRejected) {
  Bytes key100(100);
  for (std::size_t i = 0; i < key100.size(); ++i)
    key100[i] = static_cast<unsigned char>(i * 7 + 1);
  const Bytes key56(key100.begin(), key100.begin() + 56);
  Bytes key56Changed = key56;
  key56Changed[55] ^= 0x01;
  const std::string plain = "0123456789ABCDEF";
  EXPECT_EQ(ecb(keyed(key100), plain), ecb(keyed(key56), plain));
  EXPECT_NE(ecb(keyed(key56Changed), plain), ecb(keyed(key56), plain));
  CBlowfish cipher;
  cipher.init(CHexStore(key100.data(), key100.size()));
  EXPECT_EQ(ecb(cipher, plain), ecb(keyed(key56), plain));

  // An empty key is refused and the previous key stays.
  cipher = keyed(fromHex("0123456789ABCDEF"));
  const std::string invalid =
      "CBlowfish::init: Cannot decipher blowfish buffer. (Invalid key length.)";
  EXPECT_EQ(errorWhere([&] { cipher.init(key100.data(), 0); }), invalid);
  EXPECT_EQ(errorWhere([&] { cipher.init(CHexStore()); }), invalid);
  EXPECT_EQ(ecb(cipher, "1111111111111111"), "61F9C3802281B096");
}

TEST(CBlowfishTest, BadBufferLengthsRaiseAndChangeNothing) {
  CBlowfish cipher = keyed(bytesOf("secret"));
  const Bytes original = bytesOf("0123456789ab");  // 12 bytes
  using Call = std::function<void(unsigned char*, unsigned char*, std::size_t)>;
  const std::string buffer =
      "CBlowfish::init: Cannot decipher blowfish buffer. (Invalid buffer length.)";
  const std::vector<std::pair<Call, std::string>> rows = {
      {[&](unsigned char* b, unsigned char*, std::size_t n) { cipher.encipher(b, n, 1); }, buffer},
      {[&](unsigned char* b, unsigned char*, std::size_t n) { cipher.decipher(b, n, 1); }, buffer},
      {[&](unsigned char* b, unsigned char* d, std::size_t n) { cipher.encipher(b, d, n, 2); },
       buffer},
      {[&](unsigned char* b, unsigned char* d, std::size_t n) { cipher.decipher(b, d, n, 2); },
       "CBlowfish::init: Cannot decipher buffer. (Invalid buffer length.)"},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t length : {0, 7, 12}) {
      SCOPED_TRACE(std::to_string(i) + " " + std::to_string(length));
      Bytes source = original;
      Bytes destination(original.size(), 0xAA);
      EXPECT_EQ(errorWhere([&] { rows[i].first(source.data(), destination.data(), length); }),
                rows[i].second);
      EXPECT_EQ(source, original);
      EXPECT_EQ(destination, Bytes(original.size(), 0xAA));
    }
  }
}

// Each call restarts the chain from a zero value; the destination forms leave
// the source alone; both modes round-trip.
TEST(CBlowfishTest, ChainingModes) {
  CBlowfish cipher = keyed(bytesOf("a key of some length"));
  const Bytes plain = bytesOf("forty bytes of plain text for the modes.");
  for (int mode : {CBlowfish::kModeCBC, CBlowfish::kModeCFB}) {
    SCOPED_TRACE(mode);
    Bytes first = plain;
    Bytes second = plain;
    cipher.encipher(first.data(), first.size(), mode);
    cipher.encipher(second.data(), second.size(), mode);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, plain);

    const Bytes source = plain;
    Bytes destination(plain.size());
    cipher.encipher(source.data(), destination.data(), source.size(), mode);
    EXPECT_EQ(source, plain);
    EXPECT_EQ(destination, first);
    Bytes back(plain.size());
    cipher.decipher(destination.data(), back.data(), destination.size(), mode);
    EXPECT_EQ(back, plain);
    cipher.decipher(first.data(), first.size(), mode);
    EXPECT_EQ(first, plain);
  }
  // CBC: the first block is the ECB block, the second is chained.
  Bytes cbc = bytesOf("same8bytsame8byt");
  cipher.encipher(cbc.data(), cbc.size(), CBlowfish::kModeCBC);
  const std::string block = toHex(bytesOf("same8byt"));
  EXPECT_EQ(toHex(cbc).substr(0, 16), ecb(cipher, block));
  EXPECT_NE(toHex(cbc).substr(16), ecb(cipher, block));
  // CFB: the first block is the plain block XOR the encrypted zero block.
  Bytes cfb = plain;
  cipher.encipher(cfb.data(), cfb.size(), CBlowfish::kModeCFB);
  const Bytes stream = fromHex(ecb(cipher, "0000000000000000"));
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(cfb[i], plain[i] ^ stream[i]);
}

TEST(CBlowfishTest, UnknownModesLeaveTheBufferUnchanged) {
  CBlowfish cipher = keyed(bytesOf("modes"));
  const Bytes plain = bytesOf("12345678");
  for (int mode : {0, 3, -1}) {
    SCOPED_TRACE(mode);
    Bytes buffer = plain;
    Bytes destination(plain.size());
    cipher.encipher(buffer.data(), buffer.size(), mode);
    cipher.decipher(buffer.data(), buffer.size(), mode);
    cipher.encipher(plain.data(), destination.data(), plain.size(), mode);
    EXPECT_EQ(buffer, plain);
    EXPECT_EQ(destination, plain);
  }
}

TEST(CBlowfishTest, EncryptAndDecryptString) {
  CBlowfish cipher = keyed(bytesOf("string key"));
  const std::vector<std::pair<std::string, std::size_t>> rows = {
      {"", 8}, {"1234567", 8}, {"12345678", 16}, {"1234567890123456", 24}};
  for (const auto& [text, size] : rows) {
    SCOPED_TRACE(text);
    CHexStore encrypted(bytesOf("old").data(), 3);
    cipher.encrypt_string(text, encrypted);
    // The zero-padded text enciphered in CBC mode.
    Bytes expected(size, 0);
    std::copy(text.begin(), text.end(), expected.begin());
    cipher.encipher(expected.data(), expected.size(), CBlowfish::kModeCBC);
    EXPECT_EQ(toHex(encrypted.data(), encrypted.size()), toHex(expected));
    std::string decrypted = "previous";
    cipher.decrypt_string(encrypted, decrypted);
    EXPECT_EQ(decrypted, text);
  }
  // Encryption stops at a zero byte.
  CHexStore withZero;
  CHexStore plain;
  cipher.encrypt_string(std::string("ab\0cdefghijk", 12), withZero);
  cipher.encrypt_string("ab", plain);
  EXPECT_EQ(withZero, plain);

  std::string out = "unchanged";
  cipher.decrypt_string(CHexStore(), out);
  EXPECT_EQ(out, "");
  out = "unchanged";
  const Bytes twelve(12, 0x41);
  EXPECT_EQ(errorWhere([&] { cipher.decrypt_string(CHexStore(twelve.data(), 12), out); }),
            "CBlowfish::init: Cannot decipher blowfish buffer. (Invalid buffer length.)");
  EXPECT_EQ(out, "unchanged");
  // Deciphered bytes without any zero byte: the whole block is the text.
  Bytes block = bytesOf("no zeros");
  cipher.encipher(block.data(), block.size(), CBlowfish::kModeCBC);
  cipher.decrypt_string(CHexStore(block.data(), block.size()), out);
  EXPECT_EQ(out, "no zeros");
}

TEST(CBlowfishTest, KeyFilePathJoinsWithOneSlash) {
  const std::vector<std::vector<std::string>> rows = {
      {"/etc/keys", "server.key", "/etc/keys/server.key"},
      {"/etc/keys/", "server.key", "/etc/keys/server.key"},
      {"/etc/keys", "/server.key", "/etc/keys/server.key"},
      {"", "server.key", "server.key"},
      {"/", "server.key", "/server.key"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(CBlowfish::keyFilePath(row[0], row[1]), row[2]) << row[0] << " + " << row[1];
}

// CKeyDirectory: a fresh temporary directory, removed with its files.
class CKeyDirectory {
 public:
  CKeyDirectory() {
    std::string pattern = ::testing::TempDir() + "crypto_keys_XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~CKeyDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  Bytes read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  unsigned mode(const std::string& name) const {
    struct stat status {};
    return ::stat(file(name).c_str(), &status) == 0 ? status.st_mode & 0777 : 0;
  }

 private:
  std::string path_;
};

TEST(CBlowfishTest, CreateKeyFile) {
  CKeyDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  CBlowfish cipher;
  Bytes key(CBlowfish::kDefaultKeyFileLength, 0);
  cipher.create_key_file(directory.path(), "server.key", key.data());
  EXPECT_EQ(directory.read("server.key"), key);
  EXPECT_NE(key, Bytes(key.size(), 0));
  EXPECT_EQ(directory.mode("server.key"), 0600u);

  // A second call keeps the existing file byte for byte and leaves the buffer alone.
  Bytes other(CBlowfish::kDefaultKeyFileLength, 0x5A);
  cipher.create_key_file(directory.path() + "/", "server.key", other.data());
  EXPECT_EQ(directory.read("server.key"), key);
  EXPECT_EQ(other, Bytes(other.size(), 0x5A));

  // A new file gets a different key, owner-only whatever the umask.
  const mode_t previous = ::umask(0277);
  Bytes second(32, 0);
  cipher.create_key_file(directory.path(), "second.key", second.data(), second.size());
  ::umask(previous);
  EXPECT_EQ(directory.read("second.key"), second);
  EXPECT_NE(Bytes(key.begin(), key.begin() + 32), second);
  EXPECT_EQ(directory.mode("second.key"), 0600u);

  const std::string missing = directory.file("missing");
  EXPECT_EQ(errorWhere([&] { cipher.create_key_file(missing, "server.key", key.data(), 16); }),
            "CBlowfish::create_key_file: Failed to create blowfish key file '" + missing +
                "/server.key'. (" + qvt::systemErrorText(ENOENT) + ")");
  EXPECT_EQ(
      errorWhere([&] { cipher.create_key_file(directory.path(), "empty.key", key.data(), 0); }),
      "CBlowfish::create_key_file: Failed to create blowfish key file '" +
          directory.file("empty.key") + "'. (Key cannot be empty.)");
  EXPECT_FALSE(std::filesystem::exists(directory.file("empty.key")));
}

TEST(CBlowfishTest, InitFromFile) {
  CKeyDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  Bytes key(CBlowfish::kDefaultKeyFileLength, 0);
  CBlowfish().create_key_file(directory.path(), "server.key", key.data());
  CBlowfish cipher;
  cipher.init_from_file(directory.path(), "server.key", key.size());
  EXPECT_EQ(ecb(cipher, "0123456789ABCDEF"), ecb(keyed(key), "0123456789ABCDEF"));
  // A shorter key length reads only the start of the file.
  cipher.init_from_file(directory.path(), "server.key", 16);
  EXPECT_EQ(ecb(cipher, "0123456789ABCDEF"),
            ecb(keyed(Bytes(key.begin(), key.begin() + 16)), "0123456789ABCDEF"));

  // Failures keep the previous key.
  { std::ofstream(directory.file("short.key"), std::ios::binary) << std::string(10, '\x11'); }
  cipher = keyed(fromHex("0123456789ABCDEF"));
  const std::string where = "CBlowfish::init_from_file: ";
  const std::vector<std::pair<std::string, std::size_t>> failures = {
      {"short.key", 16}, {"absent.key", 16}, {"", 16}, {"short.key", 0}};
  const std::vector<std::string> texts = {
      "Cannot initialize blowfish cipher from key file '" + directory.file("short.key") +
          "'. (Key file is invalid.)",
      "Cannot open blowfish key file '" + directory.file("absent.key") + "'. (" +
          qvt::systemErrorText(ENOENT) + ")",
      // A directory opens but cannot be read: the system's reason is given.
      "Cannot open blowfish key file '" + directory.path() + "/'. (" +
          qvt::systemErrorText(EISDIR) + ")",
      "Cannot initialize blowfish cipher with key length 0. (Key cannot be empty.)"};
  for (std::size_t i = 0; i < failures.size(); ++i) {
    const auto& [name, length] = failures[i];
    EXPECT_EQ(
        errorWhere([&, &n = name, l = length] { cipher.init_from_file(directory.path(), n, l); }),
        where + texts[i]);
  }
  EXPECT_EQ(ecb(cipher, "1111111111111111"), "61F9C3802281B096");
  // Exactly as many bytes as the key length is enough.
  cipher.init_from_file(directory.path(), "short.key", 10);
  EXPECT_EQ(ecb(cipher, "1111111111111111"), ecb(keyed(Bytes(10, 0x11)), "1111111111111111"));
}

}  // namespace
