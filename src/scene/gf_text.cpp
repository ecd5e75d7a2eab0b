// The text form: one node, value, array item or brace per line. Names and texts are copied
// into one block of characters and numbers into one block of words, both sized from the file
// up front so that nothing moves while the tree points into them.
#include "app/log/log.h"
#include "scene/gf_document.h"
#include "scene/gf_numbers.h"

#include <cstring>
#include <string_view>

namespace gv::gf {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

// Where the line that starts at `at` ends: at a line break, a zero byte or the end.
const char* lineEnd(const char* at, const char* end) {
  for (char stop : {'\n', '\r', '\0'}) {
    if (const void* found = std::memchr(at, stop, static_cast<std::size_t>(end - at)))
      end = static_cast<const char*>(found);
  }
  return end;
}

const char* skipBlanks(const char* at, const char* end) {
  while (at < end && isBlank(*at)) ++at;
  return at;
}

const char* skipWord(const char* at, const char* end) {
  while (at < end && !isBlank(*at)) ++at;
  return at;
}

struct Span {
  const char* begin;
  const char* end;
  bool empty() const { return begin == end; }
  bool is(std::string_view word) const {
    return static_cast<std::size_t>(end - begin) == word.size() &&
           std::memcmp(begin, word.data(), word.size()) == 0;
  }
};

constexpr std::string_view kTypeKeywords[kGFValueTypeCount] = {"I4", "U4", "FP", "STR", "FP_C"};

class TextParser {
 public:
  explicit TextParser(GFDocument& document);
  bool run();

 private:
  bool parseLine(Span line);
  bool openNode(Span line);
  bool valueLine(Span line);
  bool invalidLine(const char* reason);
  const char* copyText(Span text);
  GFItem readData(GFValueType type, Span text);
  void readWords(GFValueType type, Span text, GFItem& data);

  TreeBuilder tree_;
  const char* at_;
  const char* end_;
  int line_ = 0;
  std::uint32_t stack_[kGFMaxDepth + 1] = {};
  int depth_ = 1;
  bool inArray_ = false;
  std::uint32_t array_ = 0;
  char* text_;
  std::uint32_t* words_;
};

TextParser::TextParser(GFDocument& document) : tree_(document) {
  at_ = reinterpret_cast<const char*>(document.file.get());
  end_ = at_ + document.fileSize;
  // Every name or text with its terminator fits in the line it came from plus one byte, and
  // every number takes at least two characters of the file (one for RUN and DAT's three).
  document.text.reset(new char[document.fileSize + 2]);
  document.words.reset(new std::uint32_t[document.fileSize / 2 + 2]);
  text_ = document.text.get();
  words_ = document.words.get();
}

// The text ends at the end of the file or at its first zero byte.
bool TextParser::run() {
  while (true) {
    while (at_ < end_ && isLineBreak(*at_)) ++at_;
    if (at_ == end_ || *at_ == 0) break;
    const char* begin = at_;
    at_ = lineEnd(at_, end_);
    ++line_;
    if (!parseLine(Span{skipBlanks(begin, at_), at_})) return false;
  }
  tree_.finish();
  return true;
}

bool TextParser::parseLine(Span line) {
  if (line.empty() || *line.begin == '#' || *line.begin == '/') return true;
  if (*line.begin == '}') {
    if (depth_ == 1) {
      gvPrint("line %d: too many }\n", line_);
      return false;
    }
    --depth_;
    return true;
  }
  if (inArray_) {
    if (*line.begin == ']')
      inArray_ = false;
    else
      tree_.addItem(array_, readData(tree_.node(array_).type, line));
    return true;
  }
  return *line.begin == '{' ? openNode(line) : valueLine(line);
}

bool TextParser::invalidLine(const char* reason) {
  gvPrint("%s", reason);
  gvPrint("line %d: Invalid line\n", line_);
  return false;
}

bool TextParser::openNode(Span line) {
  const char* nameBegin = skipBlanks(skipWord(line.begin, line.end), line.end);
  if (nameBegin == line.end) return invalidLine("Line does not have enough token\n");
  if (depth_ > kGFMaxDepth) {
    gvPrint("line %d: nodes nest deeper than %d levels\n", line_, kGFMaxDepth);
    return false;
  }
  const char* name = copyText(Span{nameBegin, skipWord(nameBegin, line.end)});
  stack_[depth_] = tree_.add(stack_[depth_ - 1], GF_NODE, GF_I4, name);
  ++depth_;
  return true;
}

bool TextParser::valueLine(Span line) {
  Span name{line.begin, skipWord(line.begin, line.end)};
  const char* typeBegin = skipBlanks(name.end, line.end);
  if (typeBegin == line.end) return invalidLine("Line does not have enough token\n");
  Span keyword{typeBegin, skipWord(typeBegin, line.end)};
  if (keyword.end == line.end) return invalidLine("Line value does not have enough token\n");
  Span value{skipBlanks(keyword.end, line.end), line.end};

  std::uint32_t type = 0;
  while (type < kGFValueTypeCount && !keyword.is(kTypeKeywords[type])) ++type;
  if (type == kGFValueTypeCount) {
    gvPrint("line %d: unknown value type %.*s\n", line_,
            static_cast<int>(keyword.end - keyword.begin), keyword.begin);
    return false;
  }
  auto valueType = static_cast<GFValueType>(type);
  bool opensArray = !value.empty() && *value.begin == '[';
  std::uint32_t node = tree_.add(stack_[depth_ - 1], opensArray ? GF_ARRAY : GF_VALUE,
                                 valueType, copyText(name));
  if (opensArray) {
    inArray_ = true;
    array_ = node;
    return true;
  }
  GFItem data = readData(valueType, value);
  GFNode& record = tree_.node(node);
  record.count = data.count;
  record.wordCount = data.wordCount;
  record.data = data.data;
  return true;
}

const char* TextParser::copyText(Span text) {
  char* copy = text_;
  std::size_t length = static_cast<std::size_t>(text.end - text.begin);
  std::memcpy(copy, text.begin, length);
  copy[length] = 0;
  text_ += length + 1;
  return copy;
}

GFItem TextParser::readData(GFValueType type, Span text) {
  GFItem data;
  if (type != GF_STR) {
    readWords(type, text, data);
    return data;
  }
  // A text that starts with a double quote runs to the end of the line, without trailing
  // blanks and without one closing quote; any other text is kept as it stands.
  text.begin = skipBlanks(text.begin, text.end);
  if (!text.empty() && *text.begin == '"') {
    ++text.begin;
    while (!text.empty() && isBlank(text.end[-1])) --text.end;
    if (!text.empty() && text.end[-1] == '"') --text.end;
  }
  data.count = static_cast<std::uint32_t>(text.end - text.begin);
  data.data = copyText(text);
  return data;
}

void TextParser::readWords(GFValueType type, Span text, GFItem& data) {
  std::uint32_t* words = words_;
  std::uint32_t* out = words_;
  bool countFollows = false;
  for (const char* at = skipBlanks(text.begin, text.end); at < text.end;
       at = skipBlanks(at, text.end)) {
    bool integer = type == GF_I4 || type == GF_U4 || countFollows;
    if (!integer && !(type == GF_FP_C && (*at == 'R' || *at == 'D'))) {
      float value;
      at = parseFloatToken(at, text.end, value);
      std::memcpy(out++, &value, sizeof value);
      continue;
    }
    Span token{at, skipWord(at, text.end)};
    at = token.end;
    if (type == GF_I4) {
      *out++ = static_cast<std::uint32_t>(parseI4(token.begin, token.end));
    } else if (integer) {
      *out++ = parseU4(token.begin, token.end);
      countFollows = false;
    } else if (token.is("RUN") || token.is("DAT")) {
      *out++ = *token.begin == 'R' ? 0 : 1;
      countFollows = true;
    } else {
      float value = parseFloat(token.begin, token.end);
      std::memcpy(out++, &value, sizeof value);
    }
  }
  words_ = out;
  data.wordCount = static_cast<std::uint32_t>(out - words);
  data.count = type == GF_FP_C ? fpcElementCount(words, data.wordCount) : data.wordCount;
  data.data = words;
}

}  // namespace

bool parseText(GFDocument& document) { return TextParser(document).run(); }

}  // namespace gv::gf
