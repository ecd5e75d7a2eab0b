#pragma once
// Shared helpers of the scene tests: documents from strings, a compact description of a tree
// to compare against, hand-built binary chunks, and the loader's printed messages.
#include "scene/gf.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gv::test {

struct GFDocumentDeleter {
  void operator()(GFDocument* document) const { GF_Free(document); }
};
using GFDocumentPtr = std::unique_ptr<GFDocument, GFDocumentDeleter>;

GFDocumentPtr parseGF(const std::string& bytes);
inline GFDocumentPtr parseGF(const std::vector<std::uint8_t>& bytes) {
  return parseGF(std::string(bytes.begin(), bytes.end()));
}

// The children of a node in a compact form, independent of the GF writer:
//   A{x=I4(1,-2) s=STR"ab" f=FP_C(1.5,7) arr=U4[(1)(2,3)]}
std::string describe(const GFNode* node);

// Everything the raw line printer wrote to standard output while `work` ran.
std::string printedBy(const std::function<void()>& work);

// Hand-built binary form.
using Bytes = std::vector<std::uint8_t>;
Bytes bigEndian(std::uint32_t value);
Bytes floatWord(float value);
Bytes nameField(const std::string& name);
Bytes chunk(const char* id, const Bytes& body);
Bytes form(const Bytes& chunks);
Bytes operator+(Bytes a, const Bytes& b);
Bytes textBytes(const std::string& text);

}  // namespace gv::test
