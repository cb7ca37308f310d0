// Helpers of the reader tests: fixture paths, temporary folders, file bytes,
// and a builder of small hand-made archives for the damaged and hostile
// cases that real tools never write.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "unzip/crc32.h"
#include "unzip/zip_crypto.h"

// Hand-made entries name only the fields they change.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace readertest {

using Bytes = std::vector<uint8_t>;

// A fixture of tests/fixtures/reader, as a program path (tests run in unzip/).
inline std::string Fixture(const std::string& name) { return "..\\tests\\fixtures\\reader\\" + name; }

inline Bytes ReadBytes(const std::string& program_path) {
  std::ifstream in(platform::HostPath(program_path), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& program_path, const Bytes& data) {
  std::ofstream out(platform::HostPath(program_path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A fresh folder below the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    host_ = std::filesystem::temp_directory_path() / ("kvreader_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(host_);
  }
  ~TempDir() {
    std::error_code ec;
    // Read-only files left by the tests must not stop the clean-up.
    for (auto it = std::filesystem::recursive_directory_iterator(host_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(host_, ec);
  }
  // The folder as a program path (ASCII, so the same bytes on every build).
  std::string Path() const { return host_.string(); }
  std::string Sub(const std::string& name) const { return platform::JoinPath(Path(), name); }

 private:
  std::filesystem::path host_;
};

inline void Put16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, static_cast<uint16_t>(v));
  Put16(b, static_cast<uint16_t>(v >> 16));
}
inline void Set32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t Get32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline uint16_t Get16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

inline uint32_t Crc(const Bytes& data) { return ~UpdateCrc32(0xFFFFFFFF, data.data(), data.size()); }

// A hand-made archive of stored entries.
struct HandEntry {
  std::string name;  // stored bytes, "/" separators
  Bytes data;
  uint16_t method = 0;
  uint16_t flags = 0;
  uint32_t dos_time = 0x2A434A23;  // 2001-02-03 09:17:06
  uint32_t external = 0x20;
  std::string password;            // encrypts (traditional) when not empty
  bool descriptor = false;         // bit 3, sizes 0 in the local header
  // Overrides of the header values (for damaged entries).
  bool override_sizes = false;
  uint32_t packed = 0, unpacked = 0;
  bool override_crc = false;
  uint32_t crc = 0;
};

// Builds the archive bytes; `directory_offset` receives where the central
// directory starts.
inline Bytes BuildArchive(const std::vector<HandEntry>& entries, const std::string& comment = "",
                          size_t* directory_offset = nullptr) {
  Bytes out, central;
  for (const HandEntry& e : entries) {
    const uint32_t crc = e.override_crc ? e.crc : Crc(e.data);
    Bytes payload = e.data;
    uint16_t flags = e.flags;
    if (!e.password.empty()) {
      flags |= 1;
      ZipKeys keys;
      keys.Init(e.password);
      Bytes header(12, 0x5A);
      header[11] = static_cast<uint8_t>(e.descriptor ? (e.dos_time >> 8) : (crc >> 24));
      Bytes plain = header;
      plain.insert(plain.end(), e.data.begin(), e.data.end());
      payload.clear();
      for (uint8_t p : plain) {
        const uint32_t t = (keys.k2 & 0xFFFF) | 2;
        payload.push_back(static_cast<uint8_t>(p ^ ((t * (t ^ 1)) >> 8)));
        keys.Update(p);
      }
    }
    if (e.descriptor) flags |= 8;
    const uint32_t packed = e.override_sizes ? e.packed : static_cast<uint32_t>(payload.size());
    const uint32_t unpacked = e.override_sizes ? e.unpacked : static_cast<uint32_t>(e.data.size());
    const auto offset = static_cast<uint32_t>(out.size());
    Put32(out, 0x04034B50);
    Put16(out, 20);
    Put16(out, flags);
    Put16(out, e.method);
    Put32(out, e.dos_time);
    Put32(out, e.descriptor ? 0 : crc);
    Put32(out, e.descriptor ? 0 : packed);
    Put32(out, e.descriptor ? 0 : unpacked);
    Put16(out, static_cast<uint16_t>(e.name.size()));
    Put16(out, 0);
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.insert(out.end(), payload.begin(), payload.end());
    if (e.descriptor) {
      Put32(out, 0x08074B50);
      Put32(out, crc);
      Put32(out, packed);
      Put32(out, unpacked);
    }
    Put32(central, 0x02014B50);
    Put16(central, 20);
    Put16(central, 20);
    Put16(central, flags);
    Put16(central, e.method);
    Put32(central, e.dos_time);
    Put32(central, crc);
    Put32(central, packed);
    Put32(central, unpacked);
    Put16(central, static_cast<uint16_t>(e.name.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, e.external);
    Put32(central, offset);
    central.insert(central.end(), e.name.begin(), e.name.end());
  }
  const auto dir_offset = static_cast<uint32_t>(out.size());
  if (directory_offset != nullptr) *directory_offset = dir_offset;
  out.insert(out.end(), central.begin(), central.end());
  Put32(out, 0x06054B50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint16_t>(entries.size()));
  Put16(out, static_cast<uint16_t>(entries.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, dir_offset);
  Put16(out, static_cast<uint16_t>(comment.size()));
  out.insert(out.end(), comment.begin(), comment.end());
  return out;
}

}  // namespace readertest
