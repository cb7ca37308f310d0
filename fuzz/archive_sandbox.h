// Shared by the archive fuzz targets: a folder below the system's temporary
// folder that holds the archive under test and, two levels down, the
// destination of its extraction, so that anything written outside the
// destination shows up in the listing of the folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/ui.h"
#include "unzip/unzip.h"

class ArchiveSandbox {
 public:
  ArchiveSandbox() {
    platform::SetHeadlessQuiet(true);
    std::random_device rd;
    root_ = std::filesystem::temp_directory_path() / ("kvfuzz_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(root_ / "d1" / "d2");
  }
  ~ArchiveSandbox() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  // Writes the archive; returns its name as a program path.
  std::string PutArchive(const uint8_t* data, size_t size) {
    std::ofstream out(root_ / "arch.zip", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return (root_ / "arch.zip").string();
  }
  std::string Dest() const { return (root_ / "d1" / "d2" / "out").string(); }

  // Sets up a component as the installer does, with handlers that never ask
  // the user; the multi-disk handler names no disk (the run ends).
  static void Prepare(TUnZip& uz) {
    uz.RecreateDirs = true;
    uz.OverwriteMode = TUZOverwriteMode::Always;
    uz.DoAll = true;
    uz.DoProcessMessages = false;
    uz.OnGetNextDisk = [](TUnZip&, int, std::string& name) { name.clear(); };
    uz.OnInCompleteZip = [](TUnZip&, TIncompleteZipMode& mode) { mode = TIncompleteZipMode::izAssumeBad; };
  }

  // Bytes in files below the destination; traps on anything outside it
  // but the archive and the two folders above the destination.
  uint64_t CheckAndClean() {
    uint64_t bytes = 0;
    const std::filesystem::path dest = root_ / "d1" / "d2" / "out";
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      const std::filesystem::path& p = it->path();
      if (p == root_ / "arch.zip" || p == root_ / "d1" || p == root_ / "d1" / "d2" || p == dest) continue;
      const std::string rel = p.lexically_relative(dest).generic_string();
      if (rel.empty() || rel == ".." || rel.compare(0, 3, "../") == 0) {  // written outside the destination
        std::fprintf(stderr, "written outside the destination: %s\n", p.string().c_str());
        __builtin_trap();
      }
      std::error_code size_ec;
      if (it->is_regular_file(size_ec)) bytes += it->file_size(size_ec);
    }
    std::filesystem::permissions(dest, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    for (auto it = std::filesystem::recursive_directory_iterator(dest, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dest, ec);
    return bytes;
  }

 private:
  std::filesystem::path root_;
};
