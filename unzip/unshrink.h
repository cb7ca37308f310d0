// Unshrink: the decoder of compression method 1 (shrinking), dynamic LZW with
// codes of 9 to 13 bits and partial clearing.
#pragma once

#include "unzip/unzip_work.h"

// Decodes the entry's data from w (through ReadByte, see legacy_bit_reader.h) into the
// output path and ends with FlushOutput. Decoding ends at the end of the
// input; data that does not decode (a code size past 13 bits, a first code
// that is not a byte, a chain longer than the output stack, input that ends
// inside a code) stops it early, and the entry then fails its CRC check.
// Keeps its tables in w.Window (prefix table at 0, suffix table at 16390,
// output stack at 24585..32776). May raise whatever FlushOutput raises.
void Unshrink(UnzipWork& w);
