// A table of the product definition: a fixed number of slots, indexed from 0.
// The count of slots in force is kept beside the table by its owner; every
// index is checked against the capacity and one outside it raises ERangeError.
#pragma once

#include <array>
#include <stdexcept>
#include <string>

namespace app {

class ERangeError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

template <class T, int Capacity>
class FixedTable {
 public:
  static constexpr int kCapacity = Capacity;

  T& operator[](int index) { return slots_[Checked(index)]; }
  const T& operator[](int index) const { return slots_[Checked(index)]; }

  // Empties every slot.
  void Clear() { slots_.fill(T{}); }

 private:
  static size_t Checked(int index) {
    if (index < 0 || index >= Capacity)
      throw ERangeError("Range check error: index " + std::to_string(index) + " outside 0.." +
                        std::to_string(Capacity - 1));
    return static_cast<size_t>(index);
  }
  std::array<T, Capacity> slots_{};
};

// Stores `value` in the next slot after the `count` in force and counts it.
// Raises ERangeError (and leaves `count` unchanged) when the table is full.
template <class T, int Capacity, class V>
void AppendSlot(FixedTable<T, Capacity>& table, int& count, V&& value) {
  table[count] = std::forward<V>(value);
  ++count;
}

}  // namespace app
