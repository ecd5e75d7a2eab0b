#pragma once
// A small pull reader for the XML of effect documents: elements with attributes, end tags,
// text and CDATA; comments, processing instructions and declarations are passed over. It
// never reads outside its input, and a document ends at its first malformed construct.
// (Irrlicht 1.8's XML reader scans past the end of its buffer on truncated tags and on
// UTF-16 and UTF-32 text, so effect files from packages never reach it.)
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gv {

class CXmlReader {
 public:
  enum ENodeType { Element, ElementEnd, Text, CData };

  // The text is 8-bit or UTF-8 (a byte-order mark is skipped); UTF-16 text with its
  // byte-order mark is narrowed to 8 bits first. The reader keeps its own copy.
  explicit CXmlReader(std::string_view document);

  // Moves to the next node; false at the end of the document or at malformed markup.
  bool read();
  ENodeType nodeType() const { return type_; }
  // Element and end tag name.
  const std::string& name() const { return name_; }
  // Text and CDATA content (entities replaced in text).
  const std::string& data() const { return data_; }
  bool isEmptyElement() const { return empty_; }
  // The value of an attribute of the current element, or null when it has none.
  const char* attribute(std::string_view name) const;

 private:
  bool readMarkup(bool& isNode);
  bool readElement();
  bool readEndTag();
  bool skipPast(std::string_view terminator);
  std::string_view nameAt();
  void skipSpaces();

  std::string text_;
  std::size_t pos_ = 0;
  ENodeType type_ = Text;
  std::string name_;
  std::string data_;
  bool empty_ = false;
  std::vector<std::pair<std::string, std::string>> attributes_;
};

}  // namespace gv
