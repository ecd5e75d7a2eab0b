#pragma once
// What a GF document owns, and the tree builder both parsers fill. Private to the reader.
#include "scene/gf.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct GFDocument {
  GFForm form = GFForm::Text;
  // One block each for the node records (the root first), the child references and the
  // array items.
  std::vector<GFNode> nodes;
  std::vector<const GFNode*> children;
  std::vector<GFItem> items;
  // The whole file plus a terminating zero; the binary form's names and data point into it.
  std::unique_ptr<std::uint8_t[]> file;
  std::size_t fileSize = 0;
  // The text form's names and texts, and its numeric words.
  std::unique_ptr<char[]> text;
  std::unique_ptr<std::uint32_t[]> words;
};

namespace gv::gf {

// Collects nodes in file order. An array's items must be added right after the array and
// before the next array, so that each array's items stay contiguous.
class TreeBuilder {
 public:
  explicit TreeBuilder(GFDocument& document);

  std::uint32_t add(std::uint32_t parent, GFNodeKind kind, GFValueType type, const char* name);
  GFNode& node(std::uint32_t index) { return document_.nodes[index]; }
  void addItem(std::uint32_t array, const GFItem& item);
  // Lays the children and items out in their blocks and points the records at them.
  void finish();

 private:
  GFDocument& document_;
  std::vector<std::uint32_t> parents_;
};

// Both return false after printing why the document was rejected.
bool parseText(GFDocument& document);
bool parseBinary(GFDocument& document);

// One block of an FP_C stream: RUN or DAT, how many floats it claims, how many its words
// hold (a cut-off last block holds fewer), and the word where the next block starts.
struct FpcBlock {
  bool run = false;
  std::uint64_t claimed = 0;
  std::uint64_t present = 0;
  std::uint64_t next = 0;
};
// The block at word `at`; false when fewer words than its marker and count remain.
bool readFpcBlock(const std::uint32_t* words, std::uint64_t wordCount, std::uint64_t at,
                  FpcBlock& block);

// The element count of an FP_C stream as a node records it.
std::uint32_t fpcElementCount(const std::uint32_t* words, std::uint32_t wordCount);

}  // namespace gv::gf
