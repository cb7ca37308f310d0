// CRC-32 kernels and the traditional decryption: the fast code gives the
// values of one table step per byte.
#include "unzip/crc32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unzip/zip_crypto.h"

namespace {

uint32_t Stepwise(uint32_t crc, const uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) crc = Crc32Step(crc, p[i]);
  return crc;
}

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> v(n + 64);
  uint32_t x = 12345;
  for (auto& b : v) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 16);
  }
  return v;
}

TEST(Crc32, KnownValues) {
  const std::string check = "123456789";
  const auto* p = reinterpret_cast<const uint8_t*>(check.data());
  EXPECT_EQ(~UpdateCrc32(0xFFFFFFFF, p, check.size()), 0xCBF43926u);
  EXPECT_EQ(kCrc32Table[1], 0x77073096u);
  EXPECT_EQ(kCrc32Table[255], 0x2D02EF8Du);
  std::vector<uint8_t> zeros(4096, 0);
  EXPECT_EQ(~UpdateCrc32(0xFFFFFFFF, zeros.data(), zeros.size()), ~Stepwise(0xFFFFFFFF, zeros.data(), zeros.size()));
}

// Every length around the kernels' block sizes, at every alignment, from
// several starting registers, and split across calls.
TEST(Crc32, FastKernelsMatchStepwise) {
  const auto data = Pattern(20000);
  for (uint32_t start : {0xFFFFFFFFu, 0u, 0x12345678u}) {
    for (size_t offset = 0; offset < 16; offset += 3) {
      for (size_t n : {0, 1, 7, 8, 15, 16, 63, 64, 65, 127, 128, 129, 143, 191, 192, 255, 256, 1000, 16000, 19999}) {
        const uint8_t* p = data.data() + offset;
        const uint32_t want = Stepwise(start, p, n);
        EXPECT_EQ(UpdateCrc32(start, p, n), want) << n << " at " << offset;
        EXPECT_EQ(UpdateCrc32Portable(start, p, n), want) << n << " at " << offset;
        const size_t half = n / 3;
        EXPECT_EQ(UpdateCrc32(UpdateCrc32(start, p, half), p + half, n - half), want) << n;
      }
    }
  }
}

TEST(ZipCrypto, BufferDecryptionMatchesByteSteps) {
  auto data = Pattern(5000);
  for (size_t n : {0, 1, 11, 12, 13, 4096, 5000}) {
    ZipKeys a, b;
    a.Init("5763049182736450918273645091827364");
    b = a;
    std::vector<uint8_t> x(data.begin(), data.begin() + n), y = x;
    DecryptBuffer(a, x.data(), x.size());
    for (auto& c : y) c = b.DecryptByte(c);
    EXPECT_EQ(x, y) << n;
    EXPECT_EQ(a.k0, b.k0);
    EXPECT_EQ(a.k1, b.k1);
    EXPECT_EQ(a.k2, b.k2);
  }
}

// Keys after a known password (traditional PKWARE encryption): encrypting
// with the update on the plain byte and decrypting again gives the input.
TEST(ZipCrypto, RoundTrip) {
  const auto plain = Pattern(300);
  ZipKeys enc, dec;
  enc.Init("secret");
  dec.Init("secret");
  std::vector<uint8_t> cipher(plain.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    const uint32_t t = (enc.k2 & 0xFFFF) | 2;
    cipher[i] = static_cast<uint8_t>(plain[i] ^ ((t * (t ^ 1)) >> 8));
    enc.Update(plain[i]);
  }
  DecryptBuffer(dec, cipher.data(), cipher.size());
  EXPECT_EQ(cipher, plain);
}

}  // namespace
