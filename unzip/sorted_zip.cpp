#include "unzip/sorted_zip.h"

int TSortedZip::Compare(const void* pa, const void* pb) const {
  const auto& a = *static_cast<const TZipHeaderInfo*>(static_cast<const TObject*>(pa));
  const auto& b = *static_cast<const TZipHeaderInfo*>(static_cast<const TObject*>(pb));
  switch (SortMode) {
    case TZipSortMode::ByName:
      return CompareText(a.StoredPath(), b.StoredPath());
    case TZipSortMode::ByFileName:
      return CompareText(a.StoredName(), b.StoredName());
    case TZipSortMode::ByDirectoryName:
      return CompareText(a.StoredDir(), b.StoredDir());
    case TZipSortMode::ByDate:
      return DosDateTimeToDateTime(b.DosDateTime) > DosDateTimeToDateTime(a.DosDateTime) ? 1 : -1;
    // Sizes are unsigned 32-bit: compared directly, never by a subtraction.
    case TZipSortMode::ByCompressedSize:
      return b.PackedSize > a.PackedSize ? 1 : -1;
    case TZipSortMode::ByUnCompressedSize:
      return b.UnpackedSize > a.UnpackedSize ? 1 : -1;
    case TZipSortMode::ByRate:
      return PercentOf(b.UnpackedSize, b.PackedSize) - PercentOf(a.UnpackedSize, a.PackedSize);
    case TZipSortMode::ByNone:
      break;
  }
  if (a.StartDisk != b.StartDisk) return a.StartDisk < b.StartDisk ? -1 : 1;
  if (a.LocalHeaderOffset == b.LocalHeaderOffset) return 0;
  return a.LocalHeaderOffset > b.LocalHeaderOffset ? 1 : -1;
}
