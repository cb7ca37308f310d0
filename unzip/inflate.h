// Inflate: the decoder of compression method 8 (deflate, RFC 1951).
//
// Reads the entry's compressed bytes through the context's input reader,
// decodes into the 32768-byte sliding window at the start of w.Window and
// hands full windows to FlushWindow; ends with FlushWindow of the rest and
// FlushOutput. On invalid data it stops at once without writing its pending
// window or output; the entry then fails its CRC check. Its decoding tables
// are released on every path, exceptions included; it raises whatever the
// host raises (input chunks, output pieces).
#pragma once

#include <cstdint>

#include "unzip/huffman.h"
#include "unzip/unzip_work.h"

// Results of the inflate routines; every non-zero result stops Inflate.
constexpr int kInflateOk = 0;
constexpr int kInflateBadData = 1;         // invalid data, or input that ended
constexpr int kInflateBadBlock = 2;        // block type 3, or an over-subscribed code set
constexpr int kInflateOutOfMemory = 3;     // a decoding table could not be allocated

// State of one Inflate call, shared by the routines below.
struct InflateState {
  explicit InflateState(UnzipWork& work) : w(work) {}
  UnzipWork& w;
  uint32_t WindowPos = 0;    // 0 to 32768
  uint64_t BitBuffer = 0;    // least significant bit first; no stray bits above BitCount
  uint32_t BitCount = 0;
  bool WindowFilled = false;  // 32768 bytes of this entry have passed through the window
  int BytesPastEnd = 0;       // input bytes asked for after the entry's data ended
};

// Decodes the entry; no result is passed on.
void Inflate(UnzipWork& w);
// The same, telling the result (kInflate...).
int InflateWithResult(UnzipWork& w);

// One block: stores its last-block flag in `last_block`.
int InflateBlock(InflateState& s, bool& last_block);
int InflateStored(InflateState& s);
int InflateFixed(InflateState& s);
int InflateDynamic(InflateState& s);
// Literal/length and distance codes until the end of the block; `lit_bits`
// and `dist_bits` are the first-level widths of the two tables.
int InflateCodes(InflateState& s, const HuffEntry* lit_table, const HuffEntry* dist_table,
                 int lit_bits, int dist_bits);
