// SHA-256 (FIPS 180-4), for tests that compare extracted content with the
// hashes recorded for the fixtures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The digest of `n` bytes as 64 lowercase hex digits.
std::string Sha256Hex(const uint8_t* data, size_t n);
