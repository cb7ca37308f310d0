// Microbenchmarks of the hot paths of inflate, CRC-32 and the traditional
// decryption on in-memory data, with zlib and libdeflate as reference points
// (linked into this benchmark only).
//
// Data: about 8 MB of this machine's headers, texts and shared libraries,
// compressed once with zlib level 9 (raw deflate, as in a ZIP entry).
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "unzip/crc32.h"
#include "unzip/inflate.h"
#include "unzip/unzip_work.h"
#include "unzip/zip_crypto.h"

namespace {

namespace fs = std::filesystem;

void AddFiles(std::vector<uint8_t>& out, const std::string& dir, size_t budget, const std::string& must_contain) {
  std::error_code ec;
  std::vector<fs::path> files;
  for (auto it = fs::recursive_directory_iterator(dir, fs::directory_options::skip_permission_denied, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (it->is_regular_file(ec) && !it->is_symlink(ec) &&
        it->path().filename().string().find(must_contain) != std::string::npos)
      files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  const size_t start = out.size();
  for (const auto& f : files) {
    if (out.size() - start >= budget) break;
    std::ifstream in(f, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() > budget / 4) bytes.resize(budget / 4);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
}

const std::vector<uint8_t>& Plain() {
  static const std::vector<uint8_t> data = [] {
    std::vector<uint8_t> d;
    AddFiles(d, "/usr/include", 3 << 20, ".h");
    AddFiles(d, "/usr/share/doc", 1 << 20, "");
    AddFiles(d, "/usr/lib/x86_64-linux-gnu", 4 << 20, ".so");
    return d;
  }();
  return data;
}

const std::vector<uint8_t>& Deflated() {
  static const std::vector<uint8_t> data = [] {
    const auto& plain = Plain();
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
    std::vector<uint8_t> out(deflateBound(&z, plain.size()));
    z.next_in = const_cast<Bytef*>(plain.data());
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
  }();
  return data;
}

// Input from memory in 16000-byte chunks; output counted (and CRC'd when asked).
class BenchHost : public UnzipHost {
 public:
  BenchHost(const std::vector<uint8_t>& in, bool crc) : in_(in), crc_(crc) {}
  uint16_t ReadInputChunk(UnzipWork& w) override {
    const size_t n = std::min<size_t>(UnzipWork::kChunk, in_.size() - pos_);
    std::memcpy(w.InputBuffer.get(), in_.data() + pos_, n);
    pos_ += n;
    return static_cast<uint16_t>(n);
  }
  void WriteOutput(UnzipWork& w) override {
    if (crc_) crc = UpdateCrc32(crc, w.OutputBuffer.get(), w.OutputCount);
    written += w.OutputCount;
  }
  void ReportOutOfMemory() override {}
  uint32_t crc = 0xFFFFFFFF;
  size_t written = 0;

 private:
  const std::vector<uint8_t>& in_;
  size_t pos_ = 0;
  bool crc_;
};

void RunInflate(benchmark::State& state, bool crc) {
  const auto& in = Deflated();
  size_t out = 0;
  for (auto _ : state) {
    BenchHost host(in, crc);
    UnzipWork w(&host);
    w.ResetForEntry();
    w.CompressedLeft = static_cast<int32_t>(in.size());
    if (InflateWithResult(w) != kInflateOk) state.SkipWithError("inflate failed");
    out = host.written;
    benchmark::DoNotOptimize(host.crc);
  }
  if (out != Plain().size()) state.SkipWithError("wrong size");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out));
}

// Inflate through UnzipWork: chunked input, window, 16000-byte output pieces.
void BM_Inflate(benchmark::State& state) { RunInflate(state, false); }
// The same with the CRC of every output piece, as an extraction does it.
void BM_InflateWithCrc(benchmark::State& state) { RunInflate(state, true); }

void BM_InflateZlib(benchmark::State& state) {
  const auto& in = Deflated();
  std::vector<uint8_t> out(Plain().size());
  for (auto _ : state) {
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (inflate(&z, Z_FINISH) != Z_STREAM_END) state.SkipWithError("zlib inflate failed");
    inflateEnd(&z);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

void BM_InflateLibdeflate(benchmark::State& state) {
  const auto& in = Deflated();
  std::vector<uint8_t> out(Plain().size());
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  for (auto _ : state) {
    if (libdeflate_deflate_decompress(d, in.data(), in.size(), out.data(), out.size(), nullptr) != LIBDEFLATE_SUCCESS)
      state.SkipWithError("libdeflate failed");
    benchmark::DoNotOptimize(out.data());
  }
  libdeflate_free_decompressor(d);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

// CRC-32 over 16000-byte pieces, as the output path calls it.
template <typename F>
void RunCrc(benchmark::State& state, F f) {
  const auto& data = Plain();
  const size_t piece = static_cast<size_t>(state.range(0));
  const size_t n = data.size() / piece * piece;
  for (auto _ : state) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < n; i += piece) crc = f(crc, data.data() + i, piece);
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
}

// CRC-32 of one 16000-byte piece that is still in the cache, as right after
// the output path filled it.
template <typename F>
void RunCrcHot(benchmark::State& state, F f) {
  const std::vector<uint8_t> piece(Plain().begin(), Plain().begin() + UnzipWork::kChunk);
  for (auto _ : state) {
    uint32_t crc = f(0xFFFFFFFF, piece.data(), piece.size());
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * piece.size()));
}

void BM_Crc32(benchmark::State& state) { RunCrc(state, UpdateCrc32); }
void BM_Crc32Hot(benchmark::State& state) { RunCrcHot(state, UpdateCrc32); }
void BM_Crc32HotPortable(benchmark::State& state) { RunCrcHot(state, UpdateCrc32Portable); }
void BM_Crc32HotZlib(benchmark::State& state) {
  RunCrcHot(state, [](uint32_t c, const uint8_t* p, size_t n) {
    return ~static_cast<uint32_t>(crc32(~c, p, static_cast<uInt>(n)));
  });
}
void BM_Crc32HotLibdeflate(benchmark::State& state) {
  RunCrcHot(state, [](uint32_t c, const uint8_t* p, size_t n) { return ~libdeflate_crc32(~c, p, n); });
}
void BM_Crc32Portable(benchmark::State& state) { RunCrc(state, UpdateCrc32Portable); }
void BM_Crc32Zlib(benchmark::State& state) {
  // zlib keeps the complemented value; complement around it to chain pieces.
  RunCrc(state, [](uint32_t c, const uint8_t* p, size_t n) {
    return ~static_cast<uint32_t>(crc32(~c, p, static_cast<uInt>(n)));
  });
}
void BM_Crc32Libdeflate(benchmark::State& state) {
  RunCrc(state, [](uint32_t c, const uint8_t* p, size_t n) { return ~libdeflate_crc32(~c, p, n); });
}

// Traditional decryption of 16000-byte chunks, as the input path calls it.
void BM_Decrypt(benchmark::State& state) {
  std::vector<uint8_t> data(Deflated().begin(), Deflated().begin() + std::min<size_t>(Deflated().size(), 4 << 20));
  ZipKeys keys;
  keys.Init("5763049182736450918273645091827364");
  for (auto _ : state) {
    for (size_t i = 0; i < data.size(); i += UnzipWork::kChunk)
      DecryptBuffer(keys, data.data() + i, std::min<size_t>(UnzipWork::kChunk, data.size() - i));
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

// The byte reader of the legacy decoders: ReadByte over chunked input.
void BM_ReadByte(benchmark::State& state) {
  const auto& in = Deflated();
  for (auto _ : state) {
    BenchHost host(in, false);
    UnzipWork w(&host);
    w.ResetForEntry();
    w.CompressedLeft = static_cast<int32_t>(in.size());
    uint16_t b = 0;
    uint32_t sum = 0;
    while (ReadByte(w, b) == 8) sum += b;
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

// The bit reader of Explode: NeedBits/DumpBits in 13-bit steps.
void BM_NeedBits(benchmark::State& state) {
  const auto& in = Deflated();
  for (auto _ : state) {
    BenchHost host(in, false);
    UnzipWork w(&host);
    w.ResetForEntry();
    w.CompressedLeft = static_cast<int32_t>(in.size());
    uint32_t bits = 0, sum = 0;
    uint16_t count = 0;
    while (w.CompressedLeft > 0) {
      NeedBits(w, 13, bits, count);
      sum += bits & 0x1FFF;
      DumpBits(13, bits, count);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

// The byte writer of the legacy decoders: PutByte into 16000-byte pieces.
void BM_PutByte(benchmark::State& state) {
  const auto& data = Plain();
  const size_t n = std::min<size_t>(data.size(), 4 << 20);
  for (auto _ : state) {
    BenchHost host(Deflated(), false);
    UnzipWork w(&host);
    w.ResetForEntry();
    for (size_t i = 0; i < n; ++i) PutByte(w, data[i]);
    FlushOutput(w);
    benchmark::DoNotOptimize(host.written);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
}

}  // namespace

BENCHMARK(BM_Inflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateWithCrc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateZlib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateLibdeflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32)->Arg(16000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc32Portable)->Arg(16000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc32Zlib)->Arg(16000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc32Libdeflate)->Arg(16000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc32Hot);
BENCHMARK(BM_Crc32HotPortable);
BENCHMARK(BM_Crc32HotZlib);
BENCHMARK(BM_Crc32HotLibdeflate);
BENCHMARK(BM_Decrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadByte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NeedBits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PutByte)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
