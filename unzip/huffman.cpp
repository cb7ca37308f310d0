#include "unzip/huffman.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kMaxCodeLength = 16;
constexpr int kMaxLevels = kMaxCodeLength + 1;

HuffAllocator g_allocator = nullptr;

void* AllocateBlock(size_t bytes) {
  return g_allocator ? g_allocator(bytes) : std::malloc(bytes);
}

// The low `length` bits of `code` in reverse order (codes are sent most
// significant bit first, the input delivers the least significant first).
uint32_t Reverse(uint32_t code, int length) {
  uint32_t r = code << (32 - length);
  r = ((r >> 1) & 0x55555555u) | ((r & 0x55555555u) << 1);
  r = ((r >> 2) & 0x33333333u) | ((r & 0x33333333u) << 2);
  r = ((r >> 4) & 0x0F0F0F0Fu) | ((r & 0x0F0F0F0Fu) << 4);
  r = ((r >> 8) & 0x00FF00FFu) | ((r & 0x00FF00FFu) << 8);
  return (r >> 16) | (r << 16);
}

// The tables of one code set live in a few memory blocks (one for most sets:
// a first-level table with its sub-tables), chained through the first entry
// of each block in the order they were allocated. The first table handed out
// sits right behind the first block's link, so FreeHuffmanTable can find the
// chain from it.
class BlockChain {
 public:
  ~BlockChain() { FreeHuffmanTable(first_ ? first_ + 1 : nullptr); }

  // A new table of 2^width entries, or null when memory ran out.
  HuffEntry* Add(int width) {
    const size_t need = size_t{1} << width;
    if (last_ == nullptr || used_ + need > capacity_) {
      // Room for the first-level table and typical sub-tables in one go.
      const size_t capacity = need + (last_ == nullptr ? kSpare : std::max(need, kSpare));
      auto* block = static_cast<HuffEntry*>(AllocateBlock(sizeof(HuffEntry) * (capacity + 1)));
      if (block == nullptr) return nullptr;
      block[0].Op = 0;
      block[0].Bits = 0;
      block[0].SubTable = nullptr;
      if (last_) last_[0].SubTable = block; else first_ = block;
      last_ = block;
      used_ = 0;
      capacity_ = capacity;
    }
    HuffEntry* table = last_ + 1 + used_;
    used_ += need;
    return table;
  }

  HuffEntry* Release() {
    HuffEntry* table = first_ ? first_ + 1 : nullptr;
    first_ = last_ = nullptr;
    return table;
  }

 private:
  static constexpr size_t kSpare = 256;
  HuffEntry* first_ = nullptr;
  HuffEntry* last_ = nullptr;
  size_t used_ = 0;
  size_t capacity_ = 0;
};

}  // namespace

HuffAllocator SetHuffmanAllocator(HuffAllocator allocator) {
  HuffAllocator previous = g_allocator;
  g_allocator = allocator;
  return previous;
}

void FreeHuffmanTable(HuffEntry* table) {
  if (table == nullptr) return;
  HuffEntry* block = table - 1;
  while (block != nullptr) {
    HuffEntry* next = block[0].SubTable;
    std::free(block);
    block = next;
  }
}

int BuildHuffmanTable(const uint16_t* lengths, int count, int simple_count,
                      const uint16_t* base_table, const uint16_t* extra_table,
                      HuffEntry*& table, int& lookup_bits) {
  table = nullptr;
  if (count < 0 || count > 288) return kHuffOversubscribed;

  int per_length[kMaxCodeLength + 1] = {};
  for (int i = 0; i < count; ++i) {
    if (lengths[i] > kMaxCodeLength) return kHuffOversubscribed;
    ++per_length[lengths[i]];
  }
  if (per_length[0] == count) {
    lookup_bits = 0;
    return kHuffOk;
  }

  int min_len = 1;
  while (per_length[min_len] == 0) ++min_len;
  int max_len = kMaxCodeLength;
  while (per_length[max_len] == 0) --max_len;
  int L = lookup_bits;
  if (L < min_len) L = min_len;
  if (L > max_len) L = max_len;
  lookup_bits = L;

  // Over-subscription test; what is left over is the unused code space at
  // the longest length, filled with invalid (dummy) codes.
  int32_t unused = int32_t{1} << min_len;
  for (int len = min_len; len < max_len; ++len) {
    unused -= per_length[len];
    if (unused < 0) return kHuffOversubscribed;
    unused *= 2;
  }
  unused -= per_length[max_len];
  if (unused < 0) return kHuffOversubscribed;

  // Code values sorted by length, stable within a length.
  uint16_t sorted[288 + 1];
  int offset[kMaxCodeLength + 2] = {};
  for (int len = 1; len <= kMaxCodeLength; ++len) offset[len + 1] = offset[len] + per_length[len];
  const int real_codes = offset[kMaxCodeLength + 1];
  for (int i = 0; i < count; ++i) {
    if (lengths[i] != 0) sorted[offset[lengths[i]]++] = static_cast<uint16_t>(i);
  }

  // First canonical code of each length (most significant bit first); the
  // dummy codes are the last ones of the longest length.
  int with_dummies[kMaxCodeLength + 1];
  for (int len = 0; len <= kMaxCodeLength; ++len) with_dummies[len] = per_length[len];
  with_dummies[max_len] += unused;
  with_dummies[0] = 0;
  uint32_t first_code[kMaxCodeLength + 2] = {};
  {
    uint32_t code = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
      code = (code + static_cast<uint32_t>(with_dummies[len - 1])) << 1;
      first_code[len] = code;
    }
  }
  // The longest length among the codes that begin with `prefix` (`bits`
  // bits, most significant first): that of the last code in its range.
  auto longest_under = [&](uint32_t prefix, int bits) {
    const uint32_t last = ((prefix + 1) << (max_len - bits)) - 1;  // left-aligned to max_len
    for (int len = min_len; len <= max_len; ++len) {
      const uint32_t lo = first_code[len] << (max_len - len);
      const uint32_t hi = (first_code[len] + static_cast<uint32_t>(with_dummies[len])) << (max_len - len);
      if (with_dummies[len] != 0 && last >= lo && last < hi) return len;
    }
    return max_len;
  };

  BlockChain chain;
  HuffEntry* level_table[kMaxLevels];
  int level_width[kMaxLevels];
  uint32_t level_prefix[kMaxLevels];
  int h = 0;
  level_table[0] = chain.Add(L);
  if (level_table[0] == nullptr) return kHuffOutOfMemory;
  level_width[0] = L;
  level_prefix[0] = 0;

  int next_sorted = 0;
  for (int len = min_len; len <= max_len; ++len) {
    uint32_t code = first_code[len];
    for (int n = 0; n < with_dummies[len]; ++n, ++code) {
      const uint32_t rev = Reverse(code, len);
      int W = h * L;
      // Close the tables this code no longer belongs to.
      while (h > 0 && (rev & ((uint32_t{1} << W) - 1)) != level_prefix[h]) {
        --h;
        W -= L;
      }
      // Open deeper tables while the code does not fit the current one.
      while (len > W + L) {
        const int child_w = W + L;
        int width = longest_under(code >> (len - child_w), child_w) - child_w;
        if (width > L) width = L;
        HuffEntry* child = chain.Add(width);
        if (child == nullptr) return kHuffOutOfMemory;
        HuffEntry& link = level_table[h][(rev >> W) & ((uint32_t{1} << L) - 1)];
        link.Op = static_cast<uint8_t>(kHuffLink + width);
        link.Bits = static_cast<uint8_t>(L);
        link.SubTable = child;
        ++h;
        W = child_w;
        level_table[h] = child;
        level_width[h] = width;
        level_prefix[h] = rev & ((uint32_t{1} << W) - 1);
      }

      HuffEntry entry;
      entry.Bits = static_cast<uint8_t>(len - W);
      entry.Base = 0;
      const bool dummy = next_sorted >= real_codes || n >= per_length[len];
      if (dummy) {
        entry.Op = kHuffInvalid;
      } else {
        const int value = sorted[next_sorted++];
        if (value < simple_count) {
          entry.Op = value < 256 ? kHuffLiteral : kHuffEndOfBlock;
          entry.Base = static_cast<uint16_t>(value);
        } else {
          entry.Op = static_cast<uint8_t>(extra_table[value - simple_count] & 0xFF);
          entry.Base = base_table[value - simple_count];
        }
      }
      const uint32_t step = uint32_t{1} << (len - W);
      const uint32_t size = uint32_t{1} << level_width[h];
      for (uint32_t i = rev >> W; i < size; i += step) level_table[h][i] = entry;
    }
  }

  table = chain.Release();
  return (unused > 0 && max_len != 1) ? kHuffIncomplete : kHuffOk;
}
