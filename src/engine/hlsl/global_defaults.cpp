#include "engine/hlsl/global_defaults.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

namespace gv::engine {
namespace {

// Notes travel as source extension records: SPIR-V 1.0 allows them, and translators and
// drivers pass over them.
constexpr std::uint32_t kOpSourceExtension = 4;
constexpr size_t kHeaderWords = 5;
constexpr const char* kPrefix = "gv-default ";

bool isIdentifierChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Preprocessor lines (#line, #pragma) blanked, so that statements read straight through.
std::string withoutDirectives(std::string text) {
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    const size_t first = text.find_first_not_of(" \t", lineStart);
    if (first < lineEnd && text[first] == '#')
      std::fill(text.begin() + static_cast<long>(first), text.begin() + static_cast<long>(lineEnd),
                ' ');
    lineStart = lineEnd + 1;
  }
  return text;
}

// Literal initialisers: numbers, true/false, {...} lists and type constructors, nested.
class LiteralReader {
 public:
  explicit LiteralReader(const std::string& text) : s_(text) {}

  bool read(std::vector<float>& values) {
    if (!value()) return false;
    skipSpace();
    if (i_ != s_.size()) return false;
    values = std::move(values_);
    return true;
  }

 private:
  void skipSpace() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }

  // A scalar, vector or matrix type name such as float, half3 or float4x4.
  static bool isTypeName(const std::string& word) {
    static const char* const kScalars[] = {"min16float", "min10float", "min16uint", "min16int",
                                           "min12int",   "double",     "float",     "dword",
                                           "half",       "uint",       "bool",      "int"};
    for (const char* scalar : kScalars) {
      const size_t length = std::strlen(scalar);
      if (word.compare(0, length, scalar) != 0) continue;
      const std::string shape = word.substr(length);
      auto isSize = [](char c) { return c >= '1' && c <= '4'; };
      return shape.empty() || (shape.size() == 1 && isSize(shape[0])) ||
             (shape.size() == 3 && isSize(shape[0]) && shape[1] == 'x' && isSize(shape[2]));
    }
    return false;
  }

  bool value() {
    skipSpace();
    if (i_ >= s_.size()) return false;
    if (s_[i_] == '{') return list('}');
    if (std::isalpha(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_') {
      const size_t start = i_;
      while (i_ < s_.size() && isIdentifierChar(s_[i_])) ++i_;
      const std::string word = s_.substr(start, i_ - start);
      if (word == "true" || word == "false") {
        values_.push_back(word == "true" ? 1.0f : 0.0f);
        return true;
      }
      skipSpace();
      return isTypeName(word) && i_ < s_.size() && s_[i_] == '(' && list(')');
    }
    return number();
  }

  // A sign may stand apart from its number: preprocessed text separates every token.
  bool number() {
    const bool negative = s_[i_] == '-';
    if (s_[i_] == '-' || s_[i_] == '+') {
      ++i_;
      skipSpace();
      if (i_ >= s_.size() || s_[i_] == '-' || s_[i_] == '+') return false;
    }
    const char* begin = s_.c_str() + i_;
    char* end = nullptr;
    const double parsed = std::strtod(begin, &end);
    if (end == begin) return false;
    i_ += static_cast<size_t>(end - begin);
    while (i_ < s_.size() && std::strchr("fFhHlLuU", s_[i_])) ++i_;
    if (i_ < s_.size() && isIdentifierChar(s_[i_])) return false;
    values_.push_back(static_cast<float>(negative ? -parsed : parsed));
    return true;
  }

  // At the opening character: values separated by commas up to `close` (a trailing comma is
  // allowed, as in C initialiser lists).
  bool list(char close) {
    ++i_;
    for (;;) {
      skipSpace();
      if (i_ < s_.size() && s_[i_] == close) {
        ++i_;
        return true;
      }
      if (!value()) return false;
      skipSpace();
      if (i_ < s_.size() && s_[i_] == ',') {
        ++i_;
      } else if (i_ >= s_.size() || s_[i_] != close) {
        return false;
      }
    }
  }

  const std::string& s_;
  size_t i_ = 0;
  std::vector<float> values_;
};

// The declared name on the left of `=`: annotations, semantics, registers and array sizes go.
// Empty when the text declares no variable (a function, or a bare name).
std::string declaredName(std::string left) {
  for (size_t open = left.find('<'); open != std::string::npos; open = left.find('<', open)) {
    const size_t close = left.find('>', open);
    if (close == std::string::npos) break;
    left.replace(open, close - open + 1, " ");
  }
  left = trimmed(left.substr(0, left.find(':')));
  while (!left.empty() && left.back() == ']') {
    const size_t open = left.rfind('[');
    if (open == std::string::npos) return "";
    left = trimmed(left.substr(0, open));
  }
  if (left.find('(') != std::string::npos) return "";
  size_t start = left.size();
  while (start > 0 && isIdentifierChar(left[start - 1])) --start;
  if (start == left.size() || std::isdigit(static_cast<unsigned char>(left[start]))) return "";
  // A type (or a template type ending in '>') must stand before the name.
  const std::string type = trimmed(left.substr(0, start));
  if (start == 0 || !std::isspace(static_cast<unsigned char>(left[start - 1])) || type.empty() ||
      !(isIdentifierChar(type.back()) || type.back() == '>'))
    return "";
  return left.substr(start);
}

void readStatement(const std::string& statement, size_t equals,
                   std::vector<SGlobalDefault>& defaults) {
  if (equals == std::string::npos) return;
  SGlobalDefault found;
  found.Name = declaredName(statement.substr(0, equals));
  if (found.Name.empty()) return;
  if (LiteralReader(statement.substr(equals + 1)).read(found.Values) && !found.Values.empty())
    defaults.push_back(std::move(found));
}

std::vector<std::uint32_t> packedString(const std::string& text) {
  std::vector<std::uint32_t> words(text.size() / 4 + 1, 0);
  for (size_t i = 0; i < text.size(); ++i)
    words[i / 4] |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])) << (8 * (i % 4));
  return words;
}

std::string unpackedString(const std::uint32_t* words, size_t count) {
  std::string text;
  for (size_t i = 0; i < count * 4; ++i) {
    const char c = static_cast<char>((words[i / 4] >> (8 * (i % 4))) & 0xff);
    if (c == 0) break;
    text += c;
  }
  return text;
}

// Instructions a module may have before its source records end: capabilities, extensions,
// the memory model, entry points, execution modes and the source records themselves. Names
// must come after the notes.
bool precedesNotes(std::uint32_t opcode) {
  switch (opcode) {
    case 2: case 3: case 4: case 7:                      // source records, strings
    case 10: case 11: case 14: case 15: case 16: case 17:  // extensions .. capabilities
    case 331:                                              // execution mode id
      return true;
    default:
      return false;
  }
}

std::string noteText(const SGlobalDefault& entry) {
  std::string text = kPrefix + entry.Name;
  char number[32];
  for (float value : entry.Values) {
    const auto result = std::to_chars(number, number + sizeof number, value);
    text += ' ';
    text.append(number, result.ptr);
  }
  return text;
}

bool readNote(const std::string& text, SGlobalDefault& entry) {
  if (text.compare(0, std::strlen(kPrefix), kPrefix) != 0) return false;
  const char* p = text.c_str() + std::strlen(kPrefix);
  const char* end = text.c_str() + text.size();
  const char* nameEnd = std::find(p, end, ' ');
  entry.Name.assign(p, nameEnd);
  for (p = nameEnd; p < end;) {
    float value = 0;
    const auto result = std::from_chars(p + 1, end, value);
    if (result.ec != std::errc()) return false;
    entry.Values.push_back(value);
    p = result.ptr;
  }
  return !entry.Name.empty();
}

}  // namespace

std::vector<SGlobalDefault> scanGlobalDefaults(const std::string& source) {
  const std::string text = withoutDirectives(source);
  std::vector<SGlobalDefault> defaults;
  size_t start = 0, equals = std::string::npos;
  int depth = 0, angles = 0;
  bool body = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      const size_t close = text.find('"', i + 1);
      i = close == std::string::npos ? text.size() : close;
    } else if (c == '{') {
      if (depth++ == 0) body = equals == std::string::npos;
    } else if (c == '}') {
      if (depth > 0 && --depth == 0 && body) {
        start = i + 1;
        equals = std::string::npos;
      }
    } else if (depth == 0 && c == '<') {
      ++angles;
    } else if (depth == 0 && c == '>' && angles > 0) {
      --angles;
    } else if (depth == 0 && angles == 0 && c == '=' && equals == std::string::npos) {
      equals = i - start;
    } else if (depth == 0 && angles == 0 && c == ';') {
      readStatement(text.substr(start, i - start), equals, defaults);
      start = i + 1;
      equals = std::string::npos;
    }
  }
  return defaults;
}

void embedGlobalDefaults(ShaderCode& code, const std::vector<SGlobalDefault>& defaults) {
  if (code.size() < kHeaderWords || defaults.empty()) return;
  size_t at = kHeaderWords;
  while (at < code.size() && precedesNotes(code[at] & 0xffff) && (code[at] >> 16) > 0)
    at += code[at] >> 16;
  std::vector<std::uint32_t> notes;
  for (const SGlobalDefault& entry : defaults) {
    const std::vector<std::uint32_t> text = packedString(noteText(entry));
    notes.push_back(static_cast<std::uint32_t>((text.size() + 1) << 16) | kOpSourceExtension);
    notes.insert(notes.end(), text.begin(), text.end());
  }
  code.insert(code.begin() + static_cast<long>(std::min(at, code.size())), notes.begin(),
              notes.end());
}

std::vector<SGlobalDefault> readGlobalDefaults(const ShaderCode& code) {
  std::vector<SGlobalDefault> defaults;
  for (size_t at = kHeaderWords; at < code.size();) {
    const std::uint32_t words = code[at] >> 16;
    if (words == 0 || at + words > code.size()) break;
    SGlobalDefault entry;
    if ((code[at] & 0xffff) == kOpSourceExtension &&
        readNote(unpackedString(&code[at + 1], words - 1), entry))
      defaults.push_back(std::move(entry));
    at += words;
  }
  return defaults;
}

}  // namespace gv::engine
