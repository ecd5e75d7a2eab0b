#include "effects/defs/xml_reader.h"

namespace gv {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool endsName(char c) { return isSpace(c) || c == '>' || c == '/' || c == '=' || c == '<'; }

std::string narrowUtf16(std::string_view bytes, bool bigEndian) {
  std::string narrow;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned unit = bigEndian ? (static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1])
                              : (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i]);
    narrow += unit < 0x100 ? static_cast<char>(unit) : '?';
  }
  return narrow;
}

// The five entities of XML; anything else after "&" stays as written.
std::string replaceEntities(std::string_view s) {
  static const std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    bool replaced = false;
    if (s[i] == '&') {
      for (const auto& [entity, c] : kEntities) {
        if (s.substr(i, entity.size()) == entity) {
          out += c;
          i += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += s[i++];
  }
  return out;
}

}  // namespace

CXmlReader::CXmlReader(std::string_view document) {
  if (document.substr(0, 3) == "\xEF\xBB\xBF")
    text_ = document.substr(3);
  else if (document.substr(0, 2) == "\xFF\xFE")
    text_ = narrowUtf16(document.substr(2), false);
  else if (document.substr(0, 2) == "\xFE\xFF")
    text_ = narrowUtf16(document.substr(2), true);
  else
    text_ = document;
}

bool CXmlReader::read() {
  while (pos_ < text_.size()) {
    if (text_[pos_] == '<') {
      bool isNode = false;
      if (!readMarkup(isNode)) {
        pos_ = text_.size();
        return false;
      }
      if (isNode) return true;
      continue;  // a comment or declaration
    }
    std::size_t end = text_.find('<', pos_);
    if (end == std::string::npos) end = text_.size();
    std::string_view piece(text_.data() + pos_, end - pos_);
    pos_ = end;
    if (piece.find_first_not_of(" \t\r\n") == std::string_view::npos) continue;
    type_ = Text;
    data_ = replaceEntities(piece);
    return true;
  }
  return false;
}

// At "<": an element, an end tag or CDATA (isNode), or something passed over.
bool CXmlReader::readMarkup(bool& isNode) {
  std::string_view rest(text_.data() + pos_, text_.size() - pos_);
  name_.clear();
  attributes_.clear();
  empty_ = false;
  if (rest.substr(0, 4) == "<!--") return skipPast("-->");
  isNode = true;
  if (rest.substr(0, 9) == "<![CDATA[") {
    std::size_t end = rest.find("]]>", 9);
    if (end == std::string_view::npos) return false;
    type_ = CData;
    data_ = rest.substr(9, end - 9);
    pos_ += end + 3;
    return true;
  }
  if (rest.substr(0, 2) == "<?" || rest.substr(0, 2) == "<!") {
    isNode = false;
    return skipPast(">");
  }
  if (rest.substr(0, 2) == "</") return readEndTag();
  return readElement();
}

bool CXmlReader::skipPast(std::string_view terminator) {
  std::size_t end = text_.find(terminator, pos_ + 1);
  if (end == std::string::npos) return false;
  pos_ = end + terminator.size();
  return true;
}

std::string_view CXmlReader::nameAt() {
  std::size_t start = pos_;
  while (pos_ < text_.size() && !endsName(text_[pos_])) ++pos_;
  return std::string_view(text_.data() + start, pos_ - start);
}

void CXmlReader::skipSpaces() {
  while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
}

bool CXmlReader::readEndTag() {
  pos_ += 2;
  std::string_view name = nameAt();
  skipSpaces();
  if (name.empty() || pos_ >= text_.size() || text_[pos_] != '>') return false;
  ++pos_;
  type_ = ElementEnd;
  name_ = name;
  return true;
}

bool CXmlReader::readElement() {
  ++pos_;
  std::string_view name = nameAt();
  if (name.empty()) return false;
  std::string elementName(name);
  for (;;) {
    skipSpaces();
    if (pos_ >= text_.size()) return false;
    if (text_[pos_] == '>') {
      ++pos_;
      break;
    }
    if (text_.compare(pos_, 2, "/>") == 0) {
      pos_ += 2;
      empty_ = true;
      break;
    }
    std::string_view attributeName = nameAt();
    skipSpaces();
    if (attributeName.empty() || pos_ >= text_.size() || text_[pos_] != '=') return false;
    ++pos_;
    skipSpaces();
    if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) return false;
    std::size_t close = text_.find(text_[pos_], pos_ + 1);
    if (close == std::string::npos) return false;
    std::string_view value(text_.data() + pos_ + 1, close - pos_ - 1);
    attributes_.emplace_back(attributeName, replaceEntities(value));
    pos_ = close + 1;
  }
  type_ = Element;
  name_ = std::move(elementName);
  return true;
}

const char* CXmlReader::attribute(std::string_view name) const {
  for (const auto& [attributeName, value] : attributes_)
    if (attributeName == name) return value.c_str();
  return nullptr;
}

}  // namespace gv
