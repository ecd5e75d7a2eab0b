#pragma once
// GF documents: the structured files that carry scenes and render command lists. A document
// is a tree of named nodes whose leaves are typed values or arrays of typed values, read
// from a line-oriented text form or from a big-endian chunked binary form into the same
// tree. Documents are read-only once loaded and freed as a whole.
#include <cstddef>
#include <cstdint>

enum GFNodeKind : std::uint32_t {
  GF_NODE = 0,   // groups children
  GF_VALUE = 1,  // holds one value
  GF_ARRAY = 2,  // holds a list of items of one value type
};

// Value types; the numbers are the binary form's type codes.
enum GFValueType : std::uint32_t {
  GF_I4 = 0,
  GF_U4 = 1,
  GF_FP = 2,
  GF_STR = 3,
  GF_FP_C = 4,  // floats stored as RUN and DAT blocks
};
constexpr std::uint32_t kGFValueTypeCount = 5;

// Deepest nesting of nodes below the root.
constexpr int kGFMaxDepth = 19;

// Data of one value or array item. For GF_STR, count is the text's length and data a
// zero-terminated text. For the other types data is an array of 32-bit words in host order:
// count elements for GF_I4, GF_U4 and GF_FP; for GF_FP_C, count is the number of floats the
// stream decompresses to and wordCount the length of the stored stream.
struct GFItem {
  std::uint32_t count = 0;
  std::uint32_t wordCount = 0;
  const void* data = nullptr;

  const std::int32_t* ints() const { return static_cast<const std::int32_t*>(data); }
  const std::uint32_t* uints() const { return static_cast<const std::uint32_t*>(data); }
  const float* floats() const { return static_cast<const float*>(data); }
  const char* text() const { return static_cast<const char*>(data); }
};

struct GFNode {
  GFNodeKind kind = GF_NODE;
  GFValueType type = GF_I4;  // GF_VALUE and GF_ARRAY
  // GF_NODE: number of children; GF_VALUE: element count; GF_ARRAY: item count.
  std::uint32_t count = 0;
  std::uint32_t wordCount = 0;  // GF_VALUE: stored words (see GFItem)
  const char* name = "";
  union {
    const GFNode* const* children;  // GF_NODE, in file order
    const void* data;               // GF_VALUE
    const GFItem* items;            // GF_ARRAY
  };

  GFNode() : data(nullptr) {}
  // The value of a GF_VALUE node seen as an item, so that values and items share readers.
  GFItem value() const { return GFItem{count, wordCount, data}; }
};

enum class GFForm { Text, Binary };

struct GFDocument;

// Reads a whole file through the file layer and parses it. nullptr on failure, after the
// parser's messages; a file that cannot be opened or is empty fails without a message.
GFDocument* GF_Load(const char* path);
// Parses a copy of a file already in memory.
GFDocument* GF_Parse(const void* bytes, std::size_t size);
void GF_Free(GFDocument* document);

const GFNode* GF_Root(const GFDocument* document);
GFForm GF_Form(const GFDocument* document);
std::size_t GF_NodeCount(const GFDocument* document);

// The first child of a GF_NODE named exactly `name`; nullptr when there is none or when
// `node` is nullptr or not a GF_NODE, so lookups chain without checks.
const GFNode* GF_Find(const GFNode* node, const char* name);

// Position of an ascending walk through an FP_C stream: the word where the current block
// starts and the decompressed index of its first float. A cursor belongs to one stream.
struct GFCursor {
  std::uint32_t word = 0;
  std::uint64_t first = 0;
};

// The float at decompressed `index` of an FP_C stream of `wordCount` words. Ascending
// indices continue from the cursor; a lower index starts over. An index the stream does
// not reach gives 0 and leaves the cursor where it was.
float GF_FP_C_Get(const std::uint32_t* words, std::uint32_t wordCount, std::uint64_t index,
                  GFCursor& cursor);
inline float GF_FP_C_Get(const GFItem& stream, std::uint64_t index, GFCursor& cursor) {
  return GF_FP_C_Get(stream.uints(), stream.wordCount, index, cursor);
}

// Number of floats an FP_C stream decompresses to, counting only the floats its words
// actually hold (a cut-off last block adds what it has).
std::uint64_t GF_FP_C_Count(const std::uint32_t* words, std::uint32_t wordCount);
