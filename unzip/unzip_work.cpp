#include "unzip/unzip_work.h"

#include <algorithm>
#include <climits>
#include <cstring>

UnzipWork::UnzipWork(UnzipHost* host)
    : Window(new uint8_t[kWindowSize]),
      InputBuffer(new uint8_t[kBufferSize]),
      OutputBuffer(new uint8_t[kBufferSize]),
      Host(host) {
  InputPos = InputBuffer.get();
  OutputPos = OutputBuffer.get();
}

void UnzipWork::ResetForEntry() {
  BitCount = 0;
  BitBuffer = 0;
  EntryBytesWritten = 0;
  InputCount = 0;
  InputPos = InputBuffer.get();
  OutputCount = 0;
  OutputPos = OutputBuffer.get();
  EndOfInput = false;
}

int ReadByteSlow(UnzipWork& w, uint16_t& b) {
  if (w.CompressedLeft <= 0) {
    if (w.CompressedLeft > INT32_MIN) --w.CompressedLeft;  // no wrap-around into a positive count
    return 0;
  }
  --w.CompressedLeft;
  if (w.InputCount == 0) {
    w.InputCount = w.Host->ReadInputChunk(w);
    if (w.InputCount == 0) return 0;
    w.InputPos = w.InputBuffer.get();
  }
  b = *w.InputPos++;
  --w.InputCount;
  return 8;
}

void FlushOutput(UnzipWork& w) {
  if (w.OutputCount == 0) return;
  w.Host->WriteOutput(w);
  w.OutputCount = 0;
  w.OutputPos = w.OutputBuffer.get();
}

void FlushWindow(UnzipWork& w, uint32_t n) {
  const uint8_t* src = w.Window.get();
  while (n > 0) {
    const uint32_t piece = std::min<uint32_t>(n, UnzipWork::kChunk - w.OutputCount);
    std::memcpy(w.OutputPos, src, piece);
    w.OutputPos += piece;
    w.OutputCount = static_cast<uint16_t>(w.OutputCount + piece);
    src += piece;
    n -= piece;
    if (w.OutputCount >= UnzipWork::kChunk) FlushOutput(w);
  }
}

void FillBits(UnzipWork& w) {
  w.EndOfInput = true;
  uint16_t x;
  while (w.BitCount < 25 && ReadByte(w, x) == 8) {
    w.BitBuffer |= static_cast<uint32_t>(x) << w.BitCount;
    w.BitCount = static_cast<uint16_t>(w.BitCount + 8);
    w.EndOfInput = false;
  }
}

uint16_t GetBits(UnzipWork& w, int n) {
  if (w.BitCount < n) {
    FillBits(w);
    // A refill that cannot deliver the bits asked for: the input has ended.
    if (w.BitCount < n) w.EndOfInput = true;
  }
  const auto result = static_cast<uint16_t>(w.BitBuffer & ((1u << n) - 1));
  w.BitBuffer >>= n;
  w.BitCount = static_cast<uint16_t>(w.BitCount - n);
  return result;
}

