#include "scene/gf_write.h"

#include "scene/gf_document.h"
#include "scene/gf_numbers.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kTypeKeywords[kGFValueTypeCount] = {"I4", "U4", "FP", "STR", "FP_C"};
// A comment first keeps even a one-value document above the text form's 12-byte minimum.
constexpr const char* kTextHeader = "# GF document\n";

std::uint32_t bitsOf(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

bool readsBack(const char* begin, const char* end, float value) {
  return bitsOf(gv::gf::parseFloat(begin, end)) == bitsOf(value);
}

// The shortest text that reads back to the same bits; a NaN names its payload the way
// strtod takes it. False when no text does (a signalling NaN).
bool formatFloat(float value, std::string& out) {
  char text[48];
  char* end;
  if (std::isnan(value)) {
    std::uint64_t payload = std::uint64_t{bitsOf(value) & 0x3FFFFFu} << 29;
    int length = std::snprintf(text, sizeof text, payload ? "%snan(0x%" PRIx64 ")" : "%snan",
                               std::signbit(value) ? "-" : "", payload);
    end = text + length;
  } else {
    end = std::to_chars(text, text + sizeof text, value).ptr;
    if (!readsBack(text, end, value)) end = text + std::snprintf(text, sizeof text, "%.9g", value);
  }
  if (!readsBack(text, end, value)) return false;
  out.append(text, end);
  return true;
}

// Calls `visit` with every float the data holds: all words of GF_FP, the floats of GF_FP_C
// blocks.
template <typename Visit>
void forEachFloat(GFValueType type, const GFItem& data, Visit&& visit) {
  if (type == GF_FP) {
    for (std::uint32_t i = 0; i < data.count; ++i) visit(data.floats()[i]);
  } else if (type == GF_FP_C) {
    gv::gf::FpcBlock block;
    for (std::uint64_t at = 0; gv::gf::readFpcBlock(data.uints(), data.wordCount, at, block);
         at = block.next) {
      for (std::uint64_t i = 0; i < (block.run ? 1 : block.present) && block.present; ++i)
        visit(data.floats()[at + 2 + i]);
    }
  }
}

bool hasLineBreak(const char* text) { return std::strpbrk(text, "\r\n") != nullptr; }

// A name must be one word; a value's name must also not read as a comment or a brace.
std::string nameProblem(const GFNode& node) {
  const char* name = node.name;
  if (!*name || std::strpbrk(name, " \t\r\n"))
    return "the name '" + std::string(name) + "' is not one word";
  if (node.kind != GF_NODE && std::strchr("#/{}", name[0]))
    return "the value name '" + std::string(name) + "' starts with '" + name[0] + "'";
  return "";
}

std::string dataProblem(const GFNode& node, const GFItem& data, bool isItem) {
  if (node.type == GF_STR && hasLineBreak(data.text()))
    return "a text of '" + std::string(node.name) + "' holds a line break";
  if (isItem && data.count == 0 && node.type != GF_STR && node.type != GF_FP_C)
    return "an item of the array '" + std::string(node.name) + "' is empty";
  bool writable = true;
  forEachFloat(node.type, data, [&](float value) {
    std::string scratch;
    writable = writable && formatFloat(value, scratch);
  });
  if (!writable) return "a float of '" + std::string(node.name) + "' is a signalling NaN";
  return "";
}

std::string nodeProblem(const GFNode& node) {
  std::string problem = nameProblem(node);
  if (!problem.empty()) return problem;
  if (node.kind == GF_VALUE) return dataProblem(node, node.value(), false);
  for (std::uint32_t i = 0; i < node.count && problem.empty(); ++i) {
    problem = node.kind == GF_ARRAY ? dataProblem(node, node.items[i], true)
                                    : nodeProblem(*node.children[i]);
  }
  return problem;
}

class TextWriter {
 public:
  std::string write(const GFNode& root) {
    out_ = kTextHeader;
    for (std::uint32_t i = 0; i < root.count; ++i) writeNode(*root.children[i], 0);
    return std::move(out_);
  }

 private:
  void indent(int depth) { out_.append(static_cast<std::size_t>(depth) * 2, ' '); }

  void writeNode(const GFNode& node, int depth) {
    indent(depth);
    if (node.kind == GF_NODE) {
      out_ += "{ ";
      out_ += node.name;
      out_ += '\n';
      for (std::uint32_t i = 0; i < node.count; ++i) writeNode(*node.children[i], depth + 1);
      indent(depth);
      out_ += "}\n";
      return;
    }
    out_ += node.name;
    out_ += ' ';
    out_ += kTypeKeywords[node.type];
    out_ += ' ';
    if (node.kind == GF_VALUE) {
      writeData(node.type, node.value());
      out_ += '\n';
      return;
    }
    out_ += "[\n";
    for (std::uint32_t i = 0; i < node.count; ++i) {
      indent(depth + 1);
      writeData(node.type, node.items[i]);
      out_ += '\n';
    }
    indent(depth);
    out_ += "]\n";
  }

  void writeData(GFValueType type, const GFItem& data) {
    char number[16];
    switch (type) {
      case GF_STR:
        out_ += '"';
        out_ += data.text();
        out_ += '"';
        return;
      case GF_FP_C:
        writeBlocks(data);
        return;
      case GF_FP:
        for (std::uint32_t i = 0; i < data.count; ++i) {
          if (i) out_ += ' ';
          formatFloat(data.floats()[i], out_);
        }
        return;
      case GF_I4:
      case GF_U4:
        for (std::uint32_t i = 0; i < data.count; ++i) {
          if (i) out_ += ' ';
          char* end = type == GF_I4 ? std::to_chars(number, number + 16, data.ints()[i]).ptr
                                    : std::to_chars(number, number + 16, data.uints()[i]).ptr;
          out_.append(number, end);
        }
        return;
    }
  }

  // The blocks that hold floats, each written with the floats it actually holds.
  void writeBlocks(const GFItem& data) {
    const std::uint32_t* words = data.uints();
    gv::gf::FpcBlock block;
    bool first = true;
    for (std::uint64_t at = 0; gv::gf::readFpcBlock(words, data.wordCount, at, block);
         at = block.next) {
      if (block.present == 0) continue;
      if (!first) out_ += ' ';
      first = false;
      out_ += block.run ? "RUN " : "DAT ";
      out_ += std::to_string(block.present);
      for (std::uint64_t i = 0; i < (block.run ? 1 : block.present); ++i) {
        out_ += ' ';
        formatFloat(data.floats()[at + 2 + i], out_);
      }
    }
    // An empty stream still needs a block to be an array item.
    if (first) out_ += "DAT 0";
  }

  std::string out_;
};

class BinaryWriter {
 public:
  std::vector<std::uint8_t> write(const GFNode& root) {
    std::size_t form = begin("FORM");
    out_.insert(out_.end(), {'G', 'M', 'N', 'F'});
    for (std::uint32_t i = 0; i < root.count; ++i) writeNode(*root.children[i]);
    end(form);
    return std::move(out_);
  }

 private:
  void word(std::uint32_t value) {
    out_.insert(out_.end(), {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                             static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
  }

  // Starts a chunk; returns where its size goes.
  std::size_t begin(const char* id) {
    out_.insert(out_.end(), id, id + 4);
    word(0);
    return out_.size() - 4;
  }

  void end(std::size_t sizeAt) {
    auto size = static_cast<std::uint32_t>(out_.size() - sizeAt - 4);
    for (int i = 0; i < 4; ++i) out_[sizeAt + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
  }

  // A zero-terminated text padded with zeros to a multiple of four bytes.
  void paddedText(const char* text) {
    std::size_t length = std::strlen(text);
    out_.insert(out_.end(), text, text + length);
    out_.insert(out_.end(), length / 4 * 4 + 4 - length, 0);
  }

  void data(GFValueType type, const GFItem& item) {
    if (type == GF_STR) {
      paddedText(item.text());
      return;
    }
    for (std::uint32_t i = 0; i < item.wordCount; ++i) word(item.uints()[i]);
  }

  void writeNode(const GFNode& node) {
    static const char* const ids[] = {"NODE", "NVAL", "NARR"};
    std::size_t chunk = begin(ids[node.kind]);
    paddedText(node.name);
    if (node.kind == GF_NODE) {
      for (std::uint32_t i = 0; i < node.count; ++i) writeNode(*node.children[i]);
    } else {
      word(node.type);
      if (node.kind == GF_VALUE) data(node.type, node.value());
      for (std::uint32_t i = 0; node.kind == GF_ARRAY && i < node.count; ++i) {
        std::size_t item = begin("AVAL");
        data(node.type, node.items[i]);
        end(item);
      }
    }
    end(chunk);
  }

  std::vector<std::uint8_t> out_;
};

}  // namespace

std::string GF_WriteText(const GFNode* root) { return TextWriter().write(*root); }

std::string GF_TextFormProblem(const GFNode* root) {
  std::string problem;
  for (std::uint32_t i = 0; i < root->count && problem.empty(); ++i)
    problem = nodeProblem(*root->children[i]);
  return problem;
}

std::vector<std::uint8_t> GF_WriteBinary(const GFNode* root) { return BinaryWriter().write(*root); }
