// Unreduce: the decoder of compression methods 2 to 5 (reducing with
// compression factors 1 to 4): follower sets, then a run-length and LZ77
// layer over a 16384-byte window.
#pragma once

#include "unzip/unzip_work.h"

// Decodes the entry's data from w (through ReadByte, see legacy_bit_reader.h) until
// w.UncompressedLeft bytes are produced, and ends with FlushOutput. `factor`
// is the compression factor, 1 to 4 (the method minus 1); other values decode
// nothing. Data that does not decode (a follower index past its set, input
// that ends before the stated size) stops decoding early without writing the
// pending window, and the entry then fails its CRC check. Keeps its window
// and follower sets in w.Window. May raise whatever FlushOutput raises.
void Unreduce(UnzipWork& w, int factor);
