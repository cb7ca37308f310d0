#include "unzip/object_list.h"

#include "platform/exceptions.h"

TObjectList::~TObjectList() {
  if (OwnsItems) {
    for (int32_t i = 0; i < count_; ++i) delete items_[static_cast<size_t>(i)];
  }
  Clear();
}

void TObjectList::Error(int32_t) const {}

void TObjectList::Grow() {
  const int32_t cap = Capacity();
  const int32_t step = cap < 5 ? 4 : cap <= 8 ? 8 : 16;
  items_.resize(static_cast<size_t>(cap + step), nullptr);
}

TObject* TObjectList::Get(int32_t index) const {
  if (index < 0 || index >= count_) {
    Error(index);
    return nullptr;
  }
  return items_[static_cast<size_t>(index)];
}

void TObjectList::Put(int32_t index, TObject* item) {
  if (index < 0 || index >= count_) return Error(index);
  items_[static_cast<size_t>(index)] = item;
}

int32_t TObjectList::Add(TObject* item) {
  Insert(count_, item);
  return count_ - 1;
}

void TObjectList::Insert(int32_t index, TObject* item) {
  if (index < 0 || index > count_) return Error(index);
  if (count_ == Capacity()) Grow();
  for (int32_t i = count_; i > index; --i) items_[static_cast<size_t>(i)] = items_[static_cast<size_t>(i - 1)];
  items_[static_cast<size_t>(index)] = item;
  ++count_;
}

int32_t TObjectList::IndexOf(TObject* item) const {
  for (int32_t i = 0; i < count_; ++i)
    if (items_[static_cast<size_t>(i)] == item) return i;
  return -1;
}

void TObjectList::Clear() {
  items_.clear();
  count_ = 0;
}

TObject* TObjectList::Neighbour(TObject* item, bool forward) const {
  if (item == nullptr) return forward ? First() : Last();
  const int32_t i = TObjectList::IndexOf(item);
  if (i < 0) throw platform::EListError("tObject " + item->ClassName() + " not in item list");
  return Get(forward ? i + 1 : i - 1);
}

bool TSortedObjectList::Find(const void* key, int32_t& index) const {
  int32_t lo = 0, hi = count_ - 1;
  bool found = false;
  while (lo <= hi) {
    const int32_t mid = lo + (hi - lo) / 2;
    const int c = Compare(KeyOf(items_[static_cast<size_t>(mid)]), key);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (Duplicates != TDuplicates::dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

int32_t TSortedObjectList::Add(TObject* item) {
  int32_t index;
  if (Find(KeyOf(item), index)) {
    if (Duplicates == TDuplicates::dupIgnore) return index;
    if (Duplicates == TDuplicates::dupError) throw platform::EListError("Duplicate Object index");
  }
  TObjectList::Insert(index, item);
  return index;
}

void TSortedObjectList::Insert(int32_t, TObject* item) { Add(item); }

void TSortedObjectList::Put(int32_t, TObject*) {
  throw platform::EListError("Cannot <Put> an Object in a sorted list!");
}

int32_t TSortedObjectList::IndexOf(TObject* item) const {
  int32_t index;
  return Find(KeyOf(item), index) ? index : -1;
}
