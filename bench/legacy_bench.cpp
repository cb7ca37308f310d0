// Microbenchmarks of the legacy decoders: the larger fixture entries decoded
// from memory through the in-memory host (output CRC-32 computed, not kept).
// Throughput is uncompressed bytes per second.
#include <benchmark/benchmark.h>

#include <string>

#include "unzip/memory_host.h"
#include "unzip/test_archive.h"

namespace {

void DecodeEntry(benchmark::State& state, const char* file, const char* entry) {
  TestArchive archive(std::string(KV_SOURCE_DIR) + "/tests/fixtures/legacy/" + file);
  const TestArchiveEntry* e = archive.ok() ? archive.Find(entry) : nullptr;
  if (!e) {
    state.SkipWithError("fixture entry missing");
    return;
  }
  MemoryHost placeholder(nullptr, 0, 0);
  UnzipWork work(&placeholder);
  for (auto _ : state) {
    const DecodeOutcome out = DecodeLegacy(e->method, e->flags, archive.Data(*e), e->packed_size,
                                           e->unpacked_size, nullptr, false, &work);
    if (out.crc != e->crc32) {
      state.SkipWithError("CRC mismatch");
      return;
    }
    benchmark::DoNotOptimize(out.crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * e->unpacked_size);
}

// Text (76 KB of Hamlet) per method, and the largest entries of other tools.
BENCHMARK_CAPTURE(DecodeEntry, Unshrink_Play, "gen_hwzip_A_shrink.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Unshrink_ZipAda_Hamlet, "gen_zipada_B_shrink.zip", "HAMLET.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Unreduce1_Play, "gen_hwzip_A_reduce1.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Unreduce2_Play, "gen_hwzip_A_reduce2.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Unreduce3_Play, "gen_hwzip_A_reduce3.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Unreduce4_Play, "gen_hwzip_A_reduce4.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Explode4K2_Play, "gen_hwzip_A_implode-4k2.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Explode4K3_Play, "gen_hwzip_A_implode-4k3.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Explode8K2_Play, "gen_hwzip_A_implode-8k2.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Explode8K3_Play, "gen_hwzip_A_implode-8k3.zip", "PLAY.TXT");
BENCHMARK_CAPTURE(DecodeEntry, Explode8K3_Lorem, "commons-compress_lorem-ipsum-implode.zip", "LOREM.TXT");

}  // namespace

BENCHMARK_MAIN();
