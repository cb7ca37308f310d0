// TSortedZip: a sorted list of archive entries in one of several orders.
#pragma once

#include "unzip/object_list.h"
#include "unzip/zip_entry.h"

enum class TZipSortMode {
  ByName,
  ByFileName,
  ByDirectoryName,
  ByDate,
  ByCompressedSize,
  ByUnCompressedSize,
  ByRate,
  ByNone,
};

class TSortedZip : public TSortedObjectList {
 public:
  explicit TSortedZip(TDuplicates duplicates, TZipSortMode mode = TZipSortMode::ByNone)
      : TSortedObjectList(duplicates), SortMode(mode) {}

  TZipSortMode SortMode;

  TZipHeaderInfo* Entry(int32_t index) const { return static_cast<TZipHeaderInfo*>(Get(index)); }

  // Negative when `a` comes first. ByNone: by disk, then by local-header
  // offset (archive order). ByDate and the size modes never give 0, so equal
  // entries keep their insertion order; the name modes and ByRate put a later
  // equal entry before the earlier ones.
  int Compare(const void* a, const void* b) const override;
};
