#include "script/id_table/id_table.h"

#include <cstdarg>
#include <cstdio>
#include <new>

namespace {

char lastError[1024] = "";

void setLastError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void setLastError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(lastError, sizeof lastError, format, args);
  va_end(args);
}

}  // namespace

std::unique_ptr<IdTable> IdTable::create(std::int32_t capacity) {
  if (capacity <= 0) return nullptr;
  void** slots = new (std::nothrow) void*[capacity]();
  if (!slots) return nullptr;
  IdTable* table = new (std::nothrow) IdTable(capacity, slots);
  if (!table) delete[] slots;
  return std::unique_ptr<IdTable>(table);
}

IdTable::~IdTable() { delete[] slots_; }

bool IdTable::inRange(std::int32_t id) const {
  if (id < 0) {
    setLastError("invalid negative ID %d", id);
    return false;
  }
  if (id >= capacity_) {
    setLastError("invalid ID %d greater or equals than %d", id, capacity_);
    return false;
  }
  return true;
}

int IdTable::add(std::int32_t id, void* record) {
  if (!inRange(id)) return -1;
  if (slots_[id]) {
    setLastError("id %d already exist", id);
    return -1;
  }
  slots_[id] = record;
  if (id > highest_) highest_ = id;
  return 0;
}

int IdTable::remove(std::int32_t id) {
  if (!inRange(id)) return -1;
  if (!slots_[id]) {
    setLastError("id %d does not exist", id);
    return -1;
  }
  slots_[id] = nullptr;
  return 0;
}

void* IdTable::get(std::int32_t id) const { return inRange(id) ? slots_[id] : nullptr; }

const char* idTableLastError() { return lastError; }
