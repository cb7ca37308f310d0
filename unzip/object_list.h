// Object lists that carry the archive's entry lists: TObjectList (optionally
// owning its items) and TSortedObjectList (kept in the order of Compare).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Items of the lists: the platform's root object, with a class name for
// messages.
class TObject {
 public:
  virtual ~TObject() = default;
  virtual std::string ClassName() const { return "TObject"; }
};

class TObjectList {
 public:
  TObjectList() = default;
  virtual ~TObjectList();  // frees every item when OwnsItems
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;

  bool OwnsItems = true;

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return static_cast<int32_t>(items_.size()); }
  // Item at `index`, or nullptr for an index out of range (the error hook
  // does nothing: callers keep their indexes in range).
  TObject* Get(int32_t index) const;
  // Replaces the item at `index` (not freed).
  virtual void Put(int32_t index, TObject* item);
  // Appends (a sorted list inserts in order); returns the item's index.
  virtual int32_t Add(TObject* item);
  // Inserts at `index`, moving the following items up.
  virtual void Insert(int32_t index, TObject* item);
  // Linear search; -1 when absent.
  virtual int32_t IndexOf(TObject* item) const;
  // Empties the list without freeing the items.
  void Clear();
  TObject* First() const { return Get(0); }
  TObject* Last() const { return Get(count_ - 1); }
  // The item after (forward) or before `item`; with item nullptr the first
  // (forward) or the last one; nullptr beyond either end. Raises
  // platform::EListError "tObject %s not in item list" for a foreign item.
  TObject* Neighbour(TObject* item, bool forward) const;

 protected:
  virtual void Error(int32_t index) const;  // does nothing
  void Grow();                              // capacity +4 below 5, +8 up to 8, +16 from 9
  std::vector<TObject*> items_;             // size() is the capacity
  int32_t count_ = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TSortedObjectList : public TObjectList {
 public:
  explicit TSortedObjectList(TDuplicates duplicates) : Duplicates(duplicates) {}

  TDuplicates Duplicates;

  // The sort key of an item: the item itself.
  virtual const void* KeyOf(TObject* item) const { return item; }
  // <0, 0, >0 as the item with key `a` sorts before, with, after key `b`.
  virtual int Compare(const void* a, const void* b) const = 0;
  // Binary search. True when an item with `key` exists; `index` is then its
  // place (with dupAccept: the first of the equal items), else the insertion place.
  bool Find(const void* key, int32_t& index) const;

  // Any index given is ignored: the item goes to its sorted place. Equal key:
  // dupIgnore drops the new item (not freed) and returns the equal one's
  // index; dupError raises platform::EListError "Duplicate Object index";
  // dupAccept inserts it before the equal items.
  int32_t Add(TObject* item) override;
  void Insert(int32_t index, TObject* item) override;
  // Raises platform::EListError "Cannot <Put> an Object in a sorted list!".
  void Put(int32_t index, TObject* item) override;
  int32_t IndexOf(TObject* item) const override;  // through Find
};
