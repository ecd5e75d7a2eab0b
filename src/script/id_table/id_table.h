#pragma once
// Numbered entity tables: scripts, scene loading and file watches address entities by small
// numbers of the caller's choosing. A table maps each number straight to a slot holding the
// caller's record; it never owns, copies or frees what it stores. Main thread only.
#include <cstdint>
#include <memory>

class IdTable {
 public:
  // A table with every slot free, or nullptr when memory runs out or the capacity is not
  // positive.
  static std::unique_ptr<IdTable> create(std::int32_t capacity);
  ~IdTable();
  IdTable(const IdTable&) = delete;
  IdTable& operator=(const IdTable&) = delete;

  // 0 when the record was stored; -1 (and the last table error) for an ID out of range or
  // a slot already in use.
  int add(std::int32_t id, void* record);
  // 0 when the slot was freed; -1 (and the last table error) when out of range or free. The
  // record itself is left to the caller and the highest ID stays.
  int remove(std::int32_t id);
  // The record under the ID, or nullptr. Only an ID out of range sets the last table error.
  void* get(std::int32_t id) const;
  template <typename Record>
  Record* getAs(std::int32_t id) const {
    return static_cast<Record*>(get(id));
  }

  std::int32_t capacity() const { return capacity_; }
  // The highest ID ever added; removals never lower it. Walk 0..highestId() to visit all.
  std::int32_t highestId() const { return highest_; }

 private:
  IdTable(std::int32_t capacity, void** slots) : capacity_(capacity), slots_(slots) {}
  bool inRange(std::int32_t id) const;

  std::int32_t capacity_;
  std::int32_t highest_ = 0;
  void** slots_;
};

// The last failing table operation's explanation (at most 1023 characters), shared by every
// table; empty until a first failure. Callers embed it in their own messages.
const char* idTableLastError();
