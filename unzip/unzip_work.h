// UnzipWork: the decoding context of one extraction run, and the input reader,
// output path and bit readers through which every decoder works.
//
// A decoder reads only through ReadByte (or the bit readers built on it) and
// writes only through PutByte, FlushWindow and FlushOutput; it ends by writing
// everything it decoded and calling FlushOutput. Where the input comes from
// (archive stream, next disk, decryption) and where the output goes (file,
// CRC, progress events) is the host's business: the extraction component
// implements UnzipHost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct UnzipWork;
class TS_BufferStream;
class TLFNFileStream;

class UnzipHost {
 public:
  virtual ~UnzipHost() = default;
  // Reads the next chunk (at most kChunk bytes) of the entry's compressed data
  // into work.InputBuffer, decrypted, and returns how many bytes came (0 when
  // the entry's data is used up). May process window messages, move on to the
  // next disk, or raise (premature end of file, user canceled).
  virtual uint16_t ReadInputChunk(UnzipWork& work) = 0;
  // Takes work.OutputCount bytes from the start of work.OutputBuffer: checks
  // the size (raising EBiggerThanUncompressed), writes them, updates the CRC
  // and EntryBytesWritten, fires the progress events.
  virtual void WriteOutput(UnzipWork& work) = 0;
  // Tells the user that a decoding table could not be allocated.
  virtual void ReportOutOfMemory() = 0;
};

struct UnzipWork {
  static constexpr size_t kWindowSize = 32780;  // 32768 window bytes + slack
  static constexpr size_t kBufferSize = 16001;
  static constexpr uint16_t kChunk = 16000;     // bytes used of each buffer

  explicit UnzipWork(UnzipHost* host);

  // Work area of the decoders: the first 32768 bytes are the sliding window of
  // Inflate and Explode; Unshrink and Unreduce lay their own tables over it.
  std::unique_ptr<uint8_t[]> Window;
  std::unique_ptr<uint8_t[]> InputBuffer;   // one chunk of compressed input
  const uint8_t* InputPos = nullptr;        // next byte to hand out
  uint16_t InputCount = 0;                  // bytes left in InputBuffer
  std::unique_ptr<uint8_t[]> OutputBuffer;  // decoded bytes not yet written
  uint8_t* OutputPos = nullptr;             // next free byte
  uint16_t OutputCount = 0;                 // bytes held in OutputBuffer
  int32_t CompressedLeft = 0;    // compressed bytes ReadByte may still hand out
  int32_t UncompressedLeft = 0;  // the entry's uncompressed size
  uint32_t BitBuffer = 0;        // bit reservoir, least significant bit first
  uint16_t BitCount = 0;         // valid bits in BitBuffer
  bool EndOfInput = false;       // set by FillBits when it could not add a byte
  uint16_t LastByte = 0;         // the byte most recently delivered to NeedBits
  int32_t EntryBytesWritten = 0;  // bytes of this entry written so far

  // Owned by the host (the extraction run): the archive stream being read,
  // the file being written, the files still expected, and the retry flag.
  TS_BufferStream* InputStream = nullptr;
  TLFNFileStream* OutputStream = nullptr;
  int32_t FilesToExtract = 0;
  bool RetryEntry = false;

  UnzipHost* Host;

  // Per-entry reset of the reader and writer state.
  void ResetForEntry();
};

// Decoders stop (invalid data) once they have asked for more than this many
// bytes past the end of the entry's data: a valid stream never needs them,
// while a damaged one that claims a huge size would otherwise decode filler
// until that size.
constexpr int kMaxBytesPastEnd = 4;

// Whether the decoder has asked for more than kMaxBytesPastEnd bytes past the
// end of the entry's data (ReadByte counts CompressedLeft down past 0).
inline bool ReadPastEnd(const UnzipWork& w) { return w.CompressedLeft < -kMaxBytesPastEnd; }

// Delivers the next compressed byte into `b`: returns 8 when one came, 0 when
// none did (b then keeps its value). Counts CompressedLeft down, also past 0.
// Reads the next chunk through the host when InputBuffer is used up.
int ReadByteSlow(UnzipWork& w, uint16_t& b);
// Performance-critical: called for every compressed byte of most decoders.
inline int ReadByte(UnzipWork& w, uint16_t& b) {
  if (w.CompressedLeft > 0 && w.InputCount > 0) {
    --w.CompressedLeft;
    b = *w.InputPos++;
    --w.InputCount;
    return 8;
  }
  return ReadByteSlow(w, b);
}

// Output path.
void FlushOutput(UnzipWork& w);
// Performance-critical: called for every decoded byte of the legacy decoders.
inline void PutByte(UnzipWork& w, uint8_t b) {
  *w.OutputPos++ = b;
  if (++w.OutputCount >= UnzipWork::kChunk) FlushOutput(w);
}
void FlushWindow(UnzipWork& w, uint32_t n);  // the first n bytes of Window

// Bit reader of Unshrink and Unreduce (state in the context).
void FillBits(UnzipWork& w);
// n from 1 to 16. When even a refill cannot deliver n bits, EndOfInput is
// set: the input has ended (the missing bits read as zero).
uint16_t GetBits(UnzipWork& w, int n);

// Bit reader of Inflate and Explode (state held by the caller). Once the input
// has ended, every further byte is a copy of the last byte that was read;
// decoders check ReadPastEnd to stop on input that ended early.
// Performance-critical.
inline void NeedBits(UnzipWork& w, int n, uint32_t& bits, uint16_t& count) {
  while (count < n) {
    ReadByte(w, w.LastByte);
    bits |= static_cast<uint32_t>(w.LastByte) << count;
    count = static_cast<uint16_t>(count + 8);
  }
}
inline void DumpBits(int n, uint32_t& bits, uint16_t& count) {
  bits >>= n;
  count = static_cast<uint16_t>(count - n);
}
