// Explode: the decoder of compression method 6 (imploding): Shannon-Fano
// coded literals, lengths and distances over a 4K or 8K dictionary.
#pragma once

#include <cstdint>

#include "unzip/unzip_work.h"

// General purpose flags of an imploded entry.
constexpr uint16_t kImplode8KDictionary = 0x0002;  // bit 1: 8K dictionary, 7 low distance bits
constexpr uint16_t kImplodeLiteralTree = 0x0004;   // bit 2: literals are coded (3 trees)

// Decodes the entry's data from w (through ReadByte, see legacy_bit_reader.h) until
// w.UncompressedLeft bytes are produced. `flags` are the entry's general
// purpose flags; bits 1 and 2 are used. Normally ends with FlushOutput; a
// broken code tree description ends it at once, an invalid code or input that
// ends well before the stated size stops decoding without writing the pending
// window (FlushOutput is still called); the entry then fails its CRC check.
// Keeps its window in the first 32768 bytes of w.Window; its decoding tables
// are freed on every path, exceptions included. May raise whatever
// FlushOutput raises.
void Explode(UnzipWork& w, uint16_t flags);

// Reads one code tree description of `count` (256 or 64) code lengths into
// `lengths` through ReadByte. Returns 0, or 4 when the description does not
// give exactly `count` lengths (or the input ends inside it).
int ReadExplodeTree(UnzipWork& w, uint16_t* lengths, int count);
