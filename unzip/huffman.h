// Multi-level Huffman decoding tables, built from code lengths; shared by
// Inflate and Explode.
//
// A table of 2^B entries is indexed by the next B bits of the input, taken
// from the low end of the bit buffer (codes arrive bit-reversed). An entry
// either resolves a code (literal, end of block, invalid, or a base value with
// extra bits) or links to a deeper table indexed by the bits that follow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Values of HuffEntry::Op other than the extra-bit counts 0 to 13.
constexpr uint8_t kHuffLiteral = 16;     // Base is the byte
constexpr uint8_t kHuffEndOfBlock = 15;  // end of block
constexpr uint8_t kHuffInvalid = 99;     // a code no stream may use
constexpr uint8_t kHuffLink = 16;        // Op 17..32: link, SubTable indexed by Op - 16 bits

struct HuffEntry {
  uint8_t Op;    // see above; 0..13: extra bits that follow, Base is the base value
  uint8_t Bits;  // code bits this entry stands for, from the first bit that indexes its table
  union {
    uint16_t Base;         // literal byte, base length or base distance
    HuffEntry* SubTable;   // Op 17..32: the next-level table
  };
};

// Results of BuildHuffmanTable.
constexpr int kHuffOk = 0;
constexpr int kHuffIncomplete = 1;      // built, but the code set does not fill its code space
constexpr int kHuffOversubscribed = 2;  // nothing built
constexpr int kHuffOutOfMemory = 3;     // nothing kept

// Builds the decoding table for `count` codes (at most 288) with the given
// code lengths (0 = unused, 1 to 16). Codes below `simple_count` are direct
// values (below 256 a literal, otherwise end of block); code X from
// `simple_count` on gets Base = base_table[X - simple_count] and
// Op = low byte of extra_table[X - simple_count].
//
// `lookup_bits` is the asked first-level width on entry and the width used on
// return (kept between the shortest and the longest code length). Unused code
// space is filled with invalid entries. When every length is 0, `table` is
// null, `lookup_bits` 0 and the result kHuffOk. An incomplete set whose
// longest code has one bit (a single one-bit code) counts as complete.
//
// On kHuffOk and kHuffIncomplete the caller owns `table` and releases it with
// FreeHuffmanTable (or a HuffTablePtr); on other results `table` is null.
int BuildHuffmanTable(const uint16_t* lengths, int count, int simple_count,
                      const uint16_t* base_table, const uint16_t* extra_table,
                      HuffEntry*& table, int& lookup_bits);

// Frees every block of a table built by BuildHuffmanTable; null is allowed.
void FreeHuffmanTable(HuffEntry* table);

struct HuffTableDeleter {
  void operator()(HuffEntry* table) const { FreeHuffmanTable(table); }
};
// Owns a decoding table: released on every path, exceptions included.
using HuffTablePtr = std::unique_ptr<HuffEntry, HuffTableDeleter>;

// Test seam: the allocator of table blocks (malloc-compatible; blocks are
// released with std::free). Returns the previous one. Pass nullptr to
// restore the default.
using HuffAllocator = void* (*)(size_t bytes);
HuffAllocator SetHuffmanAllocator(HuffAllocator allocator);
