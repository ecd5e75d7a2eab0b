#include "gf_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace gv::test {

GFDocumentPtr parseGF(const std::string& bytes) {
  return GFDocumentPtr(GF_Parse(bytes.data(), bytes.size()));
}

namespace {

const char* const kTypeNames[] = {"I4", "U4", "FP", "STR", "FP_C"};

void describeData(std::ostringstream& out, GFValueType type, const GFItem& data) {
  if (type == GF_STR) {
    out << '"' << data.text() << '"';
    return;
  }
  out << '(';
  GFCursor cursor;
  for (std::uint32_t i = 0; i < data.count; ++i) {
    if (i) out << ',';
    if (type == GF_I4) out << data.ints()[i];
    if (type == GF_U4) out << data.uints()[i];
    if (type == GF_FP) out << data.floats()[i];
    if (type == GF_FP_C) out << GF_FP_C_Get(data, i, cursor);
  }
  out << ')';
}

void describeNode(std::ostringstream& out, const GFNode& node) {
  out << node.name;
  if (node.kind == GF_NODE) {
    out << '{';
    for (std::uint32_t i = 0; i < node.count; ++i) {
      if (i) out << ' ';
      describeNode(out, *node.children[i]);
    }
    out << '}';
  } else if (node.kind == GF_VALUE) {
    out << '=' << kTypeNames[node.type];
    describeData(out, node.type, node.value());
  } else {
    out << '=' << kTypeNames[node.type] << '[';
    for (std::uint32_t i = 0; i < node.count; ++i) describeData(out, node.type, node.items[i]);
    out << ']';
  }
}

}  // namespace

std::string describe(const GFNode* node) {
  std::ostringstream out;
  for (std::uint32_t i = 0; i < node->count; ++i) {
    if (i) out << ' ';
    describeNode(out, *node->children[i]);
  }
  return out.str();
}

std::string printedBy(const std::function<void()>& work) {
  testing::internal::CaptureStdout();
  work();
  return testing::internal::GetCapturedStdout();
}

Bytes bigEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Bytes floatWord(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bigEndian(bits);
}

Bytes nameField(const std::string& name) {
  Bytes field(name.begin(), name.end());
  field.resize(name.size() / 4 * 4 + 4, 0);
  return field;
}

Bytes chunk(const char* id, const Bytes& body) {
  return Bytes(id, id + 4) + bigEndian(static_cast<std::uint32_t>(body.size())) + body;
}

Bytes form(const Bytes& chunks) {
  return textBytes("FORM") + bigEndian(static_cast<std::uint32_t>(chunks.size() + 4)) +
         textBytes("GMNF") + chunks;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace gv::test
