// The binary form: an IFF-style FORM of big-endian chunks, used in place. Names and texts
// are read where they lie; numeric words are swapped to host order where they lie.
#include "app/log/log.h"
#include "scene/gf_document.h"

#include <cstring>

namespace gv::gf {
namespace {

constexpr std::uint32_t tag(const char (&id)[5]) {
  return (std::uint32_t(std::uint8_t(id[0])) << 24) | (std::uint32_t(std::uint8_t(id[1])) << 16) |
         (std::uint32_t(std::uint8_t(id[2])) << 8) | std::uint32_t(std::uint8_t(id[3]));
}
constexpr std::uint32_t kNodeTag = tag("NODE");
constexpr std::uint32_t kValueTag = tag("NVAL");
constexpr std::uint32_t kArrayTag = tag("NARR");
constexpr std::uint32_t kItemTag = tag("AVAL");
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;

std::uint32_t readBigEndian(const std::uint8_t* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

// Sixteen bytes at a time: one byte shuffle per four words, with an AVX2 build of the loop
// chosen at run time on processors that have it.
using SixteenBytes = std::uint8_t __attribute__((vector_size(16)));

#if defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
void swapToHostOrder(std::uint32_t* words, std::size_t count) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    SixteenBytes v;
    std::memcpy(&v, words + i, sizeof v);
    v = __builtin_shufflevector(v, v, 3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
    std::memcpy(words + i, &v, sizeof v);
  }
  for (; i < count; ++i) words[i] = __builtin_bswap32(words[i]);
#else
  (void)words;
  (void)count;
#endif
}

struct Chunk {
  std::uint32_t id = 0;
  std::size_t body = 0;  // offset of the body
  std::size_t end = 0;   // offset just past the body
};

class BinaryParser {
 public:
  explicit BinaryParser(GFDocument& document)
      : tree_(document), bytes_(document.file.get()), size_(document.fileSize) {}

  bool run();

 private:
  struct Open {
    std::uint32_t node;
    std::size_t end;
  };

  bool readChunkHeader(std::size_t at, std::size_t limit, Chunk& chunk) const;
  bool readName(const Chunk& chunk, const char*& name, std::size_t& after) const;
  bool readType(std::size_t at, const Chunk& chunk, GFValueType& type) const;
  bool readData(GFValueType type, std::size_t at, std::size_t end, GFItem& data);
  bool readNode(const Chunk& chunk);
  bool readValue(const Chunk& chunk);
  bool readArray(const Chunk& chunk);
  bool tooLong() const;

  TreeBuilder tree_;
  std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t position_ = kHeaderSize;
  Open stack_[kGFMaxDepth + 1] = {};
  int depth_ = 0;
};

bool BinaryParser::tooLong() const {
  gvPrint("exceed chunk size at level %d\n", depth_);
  return false;
}

// A chunk's header and the extent of its body, which must end by `limit`.
bool BinaryParser::readChunkHeader(std::size_t at, std::size_t limit, Chunk& chunk) const {
  if (limit - at < kChunkHeaderSize) return false;
  chunk.id = readBigEndian(bytes_ + at);
  chunk.body = at + kChunkHeaderSize;
  chunk.end = chunk.body + readBigEndian(bytes_ + at + 4);
  return chunk.end <= limit;
}

// The zero-terminated name at the start of a body, padded to a multiple of four bytes.
bool BinaryParser::readName(const Chunk& chunk, const char*& name, std::size_t& after) const {
  const void* zero = std::memchr(bytes_ + chunk.body, 0, chunk.end - chunk.body);
  if (!zero) return tooLong();
  std::size_t length = static_cast<const std::uint8_t*>(zero) - (bytes_ + chunk.body);
  after = chunk.body + length / 4 * 4 + 4;
  if (after > chunk.end) return tooLong();
  name = reinterpret_cast<const char*>(bytes_ + chunk.body);
  return true;
}

bool BinaryParser::readType(std::size_t at, const Chunk& chunk, GFValueType& type) const {
  if (chunk.end - at < 4) return tooLong();
  std::uint32_t code = readBigEndian(bytes_ + at);
  if (code >= kGFValueTypeCount) {
    gvPrint("unknown value type %u\n", code);
    return false;
  }
  type = static_cast<GFValueType>(code);
  return true;
}

// The data of a value or item between `at` and `end`.
bool BinaryParser::readData(GFValueType type, std::size_t at, std::size_t end, GFItem& data) {
  if (type == GF_STR) {
    const void* zero = std::memchr(bytes_ + at, 0, end - at);
    if (!zero) return tooLong();
    data.count = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - (bytes_ + at));
    data.wordCount = 0;
    data.data = bytes_ + at;
    return true;
  }
  std::size_t count = (end - at) / 4;
  // Words that do not start on a multiple of four move down onto the bytes just read (the
  // type code or the item's chunk header), so that they can be read as words in place.
  std::size_t aligned = at & ~std::size_t{3};
  if (aligned != at) std::memmove(bytes_ + aligned, bytes_ + at, count * 4);
  auto* words = reinterpret_cast<std::uint32_t*>(bytes_ + aligned);
  swapToHostOrder(words, count);
  data.wordCount = static_cast<std::uint32_t>(count);
  data.count = type == GF_FP_C ? fpcElementCount(words, data.wordCount) : data.wordCount;
  data.data = words;
  return true;
}

bool BinaryParser::readNode(const Chunk& chunk) {
  const char* name;
  if (!readName(chunk, name, position_)) return false;
  if (depth_ > kGFMaxDepth) {
    gvPrint("nodes nest deeper than %d levels\n", kGFMaxDepth);
    return false;
  }
  std::uint32_t node = tree_.add(stack_[depth_ - 1].node, GF_NODE, GF_I4, name);
  stack_[depth_++] = Open{node, chunk.end};
  return true;
}

bool BinaryParser::readValue(const Chunk& chunk) {
  const char* name;
  std::size_t at;
  GFValueType type;
  GFItem data;
  if (!readName(chunk, name, at) || !readType(at, chunk, type) ||
      !readData(type, at + 4, chunk.end, data))
    return false;
  GFNode& value = tree_.node(tree_.add(stack_[depth_ - 1].node, GF_VALUE, type, name));
  value.count = data.count;
  value.wordCount = data.wordCount;
  value.data = data.data;
  position_ = chunk.end;
  return true;
}

bool BinaryParser::readArray(const Chunk& chunk) {
  const char* name;
  std::size_t at;
  GFValueType type;
  if (!readName(chunk, name, at) || !readType(at, chunk, type)) return false;
  std::uint32_t array = tree_.add(stack_[depth_ - 1].node, GF_ARRAY, type, name);
  for (at += 4; at < chunk.end;) {
    Chunk item;
    if (!readChunkHeader(at, chunk.end, item)) {
      gvPrint("exceed array size at level %d\n", depth_);
      return false;
    }
    if (item.id != kItemTag) {
      gvPrint("expected AVAL chunk, found 0x%8x\n", item.id);
      return false;
    }
    GFItem data;
    if (!readData(type, item.body, item.end, data)) return false;
    tree_.addItem(array, data);
    at = item.end;
  }
  position_ = chunk.end;
  return true;
}

bool BinaryParser::run() {
  stack_[depth_++] = Open{0, size_};
  if (position_ == size_) {
    gvPrint("GF binary FORM holds no chunk\n");
    return false;
  }
  while (depth_ > 0) {
    Chunk chunk;
    if (!readChunkHeader(position_, stack_[depth_ - 1].end, chunk)) return tooLong();
    bool read = false;
    switch (chunk.id) {
      case kNodeTag: read = readNode(chunk); break;
      case kValueTag: read = readValue(chunk); break;
      case kArrayTag: read = readArray(chunk); break;
      default: gvPrint("unknown chunk ID 0x%8x\n", chunk.id);
    }
    if (!read) return false;
    while (depth_ > 0 && position_ == stack_[depth_ - 1].end) --depth_;
  }
  tree_.finish();
  return true;
}

}  // namespace

bool parseBinary(GFDocument& document) { return BinaryParser(document).run(); }

}  // namespace gv::gf
