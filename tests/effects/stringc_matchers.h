#pragma once
// Lets GoogleTest compare and print Irrlicht strings, which the definitions hold.
#include <irrString.h>

#include <ostream>

namespace irr::core {
inline bool operator==(const char* a, const stringc& b) { return b == a; }
inline void PrintTo(const stringc& s, std::ostream* os) { *os << '"' << s.c_str() << '"'; }
}  // namespace irr::core
