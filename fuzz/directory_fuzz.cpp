// Fuzz target: reading an archive's directory from arbitrary bytes: the end
// record, the central headers, and the rebuild from local headers when the
// directory is damaged; then every entry's names and comments and the
// archive comment. Ends only in the component's exceptions.
#include "fuzz/archive_sandbox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ArchiveSandbox sandbox;
  const std::string zip = sandbox.PutArchive(data, size);
  try {
    TUnZip uz;
    ArchiveSandbox::Prepare(uz);
    uz.SortMode = size > 0 && (data[size - 1] & 1) ? TZipSortMode::ByName : TZipSortMode::ByNone;
    uz.SetZipName(zip);
    uz.OpenArchive();
    const int n = uz.EntryCount();
    if (n < 0) __builtin_trap();
    for (int i = 0; i < n; ++i) {
      const TZipHeaderInfo& e = uz.Entry(i);
      if (uz.EntryPath(i) != e.StoredDir() + e.StoredName()) __builtin_trap();
      (void)uz.EntryComment(i);
    }
    (void)uz.ArchiveComment();
  } catch (const platform::Exception&) {
  }
  return 0;
}
