// Fuzz target: extracting every entry of an arbitrary archive into a
// temporary folder. Traps on a file outside the destination and on more
// bytes written than the entries state (counted with multiplicity: many
// directory entries may share one local header).
#include "fuzz/archive_sandbox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ArchiveSandbox sandbox;
  const std::string zip = sandbox.PutArchive(data, size);
  uint64_t declared = 0;
  try {
    TUnZip uz;
    ArchiveSandbox::Prepare(uz);
    uz.SetDestDir(sandbox.Dest());
    uz.Password = "password";
    int asked = 0;
    uz.OnBadPassword = [&asked](TUnZip&, int, std::string& pw) {
      if (asked++ == 0) pw = "secret";
    };
    uz.SetZipName(zip);
    uz.OpenArchive();
    for (int i = 0; i < uz.EntryCount(); ++i) declared += uz.Entry(i).UnpackedSize;
    const int result = uz.ExtractFiles();
    if (result < 0 || result > uz.EntryCount()) __builtin_trap();
  } catch (const platform::Exception&) {
  }
  if (sandbox.CheckAndClean() > declared) __builtin_trap();
  return 0;
}
