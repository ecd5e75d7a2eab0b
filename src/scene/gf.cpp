#include "scene/gf.h"

#include "app/log/log.h"
#include "resources/files/files.h"
#include "scene/gf_document.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace gv::gf {

TreeBuilder::TreeBuilder(GFDocument& document) : document_(document) {
  GFNode root;
  root.name = "root";
  document_.nodes.push_back(root);
  parents_.push_back(0);
}

std::uint32_t TreeBuilder::add(std::uint32_t parent, GFNodeKind kind, GFValueType type,
                               const char* name) {
  GFNode record;
  record.kind = kind;
  record.type = type;
  record.name = name;
  document_.nodes.push_back(record);
  parents_.push_back(parent);
  ++document_.nodes[parent].count;
  return static_cast<std::uint32_t>(document_.nodes.size() - 1);
}

void TreeBuilder::addItem(std::uint32_t array, const GFItem& item) {
  document_.items.push_back(item);
  ++document_.nodes[array].count;
}

void TreeBuilder::finish() {
  std::vector<GFNode>& nodes = document_.nodes;
  // next[i]: where node i's next child goes in the child block.
  std::vector<std::uint32_t> next(nodes.size());
  std::uint32_t childAt = 0;
  std::size_t itemAt = 0;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].kind == GF_NODE) {
      next[i] = childAt;
      childAt += nodes[i].count;
    } else if (nodes[i].kind == GF_ARRAY) {
      nodes[i].items = document_.items.data() + itemAt;
      itemAt += nodes[i].count;
    }
  }
  document_.children.resize(childAt);
  for (std::size_t i = 1; i < nodes.size(); ++i)
    document_.children[next[parents_[i]]++] = &nodes[i];
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].kind == GF_NODE)
      nodes[i].children = document_.children.data() + (next[i] - nodes[i].count);
  }
}

bool readFpcBlock(const std::uint32_t* words, std::uint64_t wordCount, std::uint64_t at,
                  FpcBlock& block) {
  if (at + 2 > wordCount) return false;
  block.run = words[at] == 0;
  block.claimed = words[at + 1];
  std::uint64_t left = wordCount - at - 2;
  if (block.run) {
    block.present = left >= 1 ? block.claimed : 0;
    block.next = at + 3;
  } else {
    block.present = std::min(block.claimed, left);
    block.next = at + 2 + block.claimed;
  }
  return true;
}

std::uint32_t fpcElementCount(const std::uint32_t* words, std::uint32_t wordCount) {
  std::uint64_t count = GF_FP_C_Count(words, wordCount);
  return static_cast<std::uint32_t>(
      std::min<std::uint64_t>(count, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace gv::gf

namespace {

bool hasTag(const std::uint8_t* bytes, const char* tag) { return std::memcmp(bytes, tag, 4) == 0; }

std::uint64_t bigEndian32(const std::uint8_t* bytes) {
  return (std::uint64_t{bytes[0]} << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

// Decides the form from the first twelve bytes; false (after its messages) when neither.
bool identifyForm(GFDocument& document) {
  const std::uint8_t* bytes = document.file.get();
  std::size_t size = document.fileSize;
  if (size <= 11) {
    gvPrint("Error, file size < 12 bytes\n");
  } else if (hasTag(bytes, "FORM") && hasTag(bytes + 8, "GMNF")) {
    if (size == bigEndian32(bytes + 4) + 8) {
      document.form = GFForm::Binary;
      return true;
    }
    gvPrint("Error, GF binary FORM size mismatch file size\n");
  } else if (std::any_of(bytes, bytes + 12, [](std::uint8_t b) { return b < '\t'; })) {
    gvPrint("Error, file is not GF format\n");
  } else {
    document.form = GFForm::Text;
    return true;
  }
  gvPrint("Error, Not a GF file\n");
  return false;
}

// Takes a buffer of size + 1 bytes whose last byte is zero.
GFDocument* parseFile(std::unique_ptr<std::uint8_t[]> buffer, std::size_t size) {
  auto* document = new GFDocument;
  document->file = std::move(buffer);
  document->fileSize = size;
  bool parsed = identifyForm(*document) && (document->form == GFForm::Binary
                                                ? gv::gf::parseBinary(*document)
                                                : gv::gf::parseText(*document));
  if (!parsed) {
    delete document;
    return nullptr;
  }
  // The text form keeps copies of everything it needs.
  if (document->form == GFForm::Text) document->file.reset();
  return document;
}

}  // namespace

GFDocument* GF_Load(const char* path) {
  gv::FileStreamPtr file = gv::openFile(path, "rb");
  if (!file || file->seek(0, 2) != 0) return nullptr;
  long size = file->tell();
  if (size <= 0 || file->seek(0, 0) != 0) return nullptr;
  auto length = static_cast<std::size_t>(size);
  std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length + 1]);
  length = file->read(buffer.get(), 1, length);
  if (length == 0) return nullptr;
  buffer[length] = 0;
  return parseFile(std::move(buffer), length);
}

GFDocument* GF_Parse(const void* bytes, std::size_t size) {
  if (size == 0) return nullptr;
  std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size + 1]);
  std::memcpy(buffer.get(), bytes, size);
  buffer[size] = 0;
  return parseFile(std::move(buffer), size);
}

void GF_Free(GFDocument* document) { delete document; }

const GFNode* GF_Root(const GFDocument* document) {
  return document ? document->nodes.data() : nullptr;
}

GFForm GF_Form(const GFDocument* document) { return document->form; }

std::size_t GF_NodeCount(const GFDocument* document) { return document->nodes.size(); }

const GFNode* GF_Find(const GFNode* node, const char* name) {
  if (!node || node->kind != GF_NODE) return nullptr;
  for (std::uint32_t i = 0; i < node->count; ++i) {
    if (std::strcmp(node->children[i]->name, name) == 0) return node->children[i];
  }
  return nullptr;
}

namespace {

float wordAsFloat(std::uint32_t word) {
  float value;
  std::memcpy(&value, &word, sizeof value);
  return value;
}

}  // namespace

std::uint64_t GF_FP_C_Count(const std::uint32_t* words, std::uint32_t wordCount) {
  std::uint64_t count = 0;
  gv::gf::FpcBlock block;
  for (std::uint64_t at = 0; gv::gf::readFpcBlock(words, wordCount, at, block); at = block.next)
    count += block.present;
  return count;
}

float GF_FP_C_Get(const std::uint32_t* words, std::uint32_t wordCount, std::uint64_t index,
                  GFCursor& cursor) {
  GFCursor walk = cursor;
  if (index < walk.first || walk.word > wordCount) walk = GFCursor{};
  gv::gf::FpcBlock block;
  std::uint64_t at = walk.word;
  std::uint64_t first = walk.first;
  for (; gv::gf::readFpcBlock(words, wordCount, at, block); at = block.next) {
    if (index - first < block.present) {
      cursor.word = static_cast<std::uint32_t>(at);
      cursor.first = first;
      return wordAsFloat(words[block.run ? at + 2 : at + 2 + (index - first)]);
    }
    first += block.claimed;
  }
  return 0.0f;
}
