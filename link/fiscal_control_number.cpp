#include "link/fiscal_control_number.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#endif

#include <cstdio>
#include <cstring>
#include <memory>

namespace ulvo {

namespace {

constexpr std::size_t kBlock = 64;

// One block: ':' everywhere, `bytes` at its start.
void AddBlock(std::string& message, const std::string& bytes) {
  std::string block(kBlock, ':');
  block.replace(0, std::min(bytes.size(), kBlock), bytes.substr(0, kBlock));
  message += block;
}

std::string BigEndian(std::uint64_t value, int bytes) {
  std::string out(static_cast<std::size_t>(bytes), '\0');
  for (int i = bytes - 1; i >= 0; --i) {
    out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
  return out;
}

}  // namespace

std::string DailyControlMessage(const DailyControlData& d) {
  std::string message;
  AddBlock(message, d.dateText.substr(0, 10) + BigEndian(d.reportNumber, 4));
  for (const auto& [letter, net] : d.sales) {
    AddBlock(message, std::string(1, static_cast<char>(letter)) + BigEndian(net, 4));
  }
  AddBlock(message, BigEndian(d.ptuSum, 4));
  AddBlock(message, BigEndian(d.receipts, 4));
  AddBlock(message, BigEndian(d.runningPtu, 6));
  // The printer keeps "ABC12345678"; its printouts and the check dialog write "ABC 12345678".
  std::string unique = d.uniqueNumber.substr(0, 12);
  if (unique.size() == 11 && unique[3] != ' ') unique.insert(3, 1, ' ');
  unique.resize(12, '\0');
  AddBlock(message, unique + "00:00:00");
  return message;
}

namespace {

// SHA-1 through the system's own cryptography: OpenSSL's EVP interface, or CNG on Windows.
bool Sha1(const std::string& message, unsigned char (&digest)[20]) {
#ifdef _WIN32
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA1_ALGORITHM, nullptr, 0)))
    return false;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)) &&
            BCRYPT_SUCCESS(
                BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(message.data())),
                               static_cast<ULONG>(message.size()), 0)) &&
            BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
  if (hash != nullptr) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok;
#else
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  unsigned char full[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr) != 1 ||
      EVP_DigestUpdate(ctx.get(), message.data(), message.size()) != 1 ||
      EVP_DigestFinal_ex(ctx.get(), full, &length) != 1 || length != sizeof digest) {
    return false;
  }
  std::memcpy(digest, full, sizeof digest);
  return true;
#endif
}

}  // namespace

std::string Sha1Hex(const std::string& message) {
  unsigned char digest[20];
  if (!Sha1(message, digest)) return {};
  std::string hex;
  char two[3];
  for (unsigned char byte : digest) {
    std::snprintf(two, sizeof two, "%2.2X", byte);
    hex += two;
  }
  return hex;
}

std::string DailyControlNumber(const DailyControlData& data) {
  return Sha1Hex(DailyControlMessage(data));
}

}  // namespace ulvo
