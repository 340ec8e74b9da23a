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
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CHexStore.h"
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

// Eric Young's published Blowfish ECB vectors.
TEST(CBlowfishTest, PublishedEcbVectors) {
  const std::vector<EcbRow> rows = {
      {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
      {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
      {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
      {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
      {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
      {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
      {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
      {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
      {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
      {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
      {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
      {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
      {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
      {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
      {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
      {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
      {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
      {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
      {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
      {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
      {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
      {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
      {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
      {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
      {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
      {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
      {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
      {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
      {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
      {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
      {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
      {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
      {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key + " " + row.plain);
    CBlowfish cipher = keyed(fromHex(row.key));
    EXPECT_EQ(ecb(cipher, row.plain), row.cipher);

    // One CBC block with the zero initial value is the ECB block, read and
    // written big-endian; deciphering gives the plain text back.
    Bytes buffer = fromHex(row.plain);
    cipher.encipher(buffer.data(), buffer.size(), CBlowfish::kModeCBC);
    EXPECT_EQ(toHex(buffer), row.cipher);
    cipher.decipher(buffer.data(), buffer.size(), CBlowfish::kModeCBC);
    EXPECT_EQ(toHex(buffer), row.plain);
  }
}

// Eric Young's variable key length set: the first n bytes of one key, one plain block.
TEST(CBlowfishTest, PublishedVariableKeyLengthVectors) {
  const std::string fullKey = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
  const std::vector<std::string> ciphers = {
      "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
      "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
      "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
      "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
      "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
      "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
  };
  for (std::size_t length = 1; length <= ciphers.size(); ++length) {
    SCOPED_TRACE(length);
    const Bytes key = fromHex(fullKey.substr(0, 2 * length));
    EXPECT_EQ(ecb(keyed(key), "FEDCBA9876543210"), ciphers[length - 1]);
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
