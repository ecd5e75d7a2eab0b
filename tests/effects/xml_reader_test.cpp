#include "effects/defs/xml_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gv::CXmlReader;

// The nodes of a document, one word each: <name attr=value ...>, </name>, "text", [cdata].
std::string nodes(std::string_view document) {
  CXmlReader xml(document);
  std::string out;
  while (xml.read()) {
    if (!out.empty()) out += ' ';
    switch (xml.nodeType()) {
      case CXmlReader::Element:
        out += "<" + xml.name();
        for (const char* a : {"id", "v"})
          if (xml.attribute(a)) out += std::string(" ") + a + "=" + xml.attribute(a);
        out += xml.isEmptyElement() ? "/>" : ">";
        break;
      case CXmlReader::ElementEnd: out += "</" + xml.name() + ">"; break;
      case CXmlReader::Text: out += "\"" + xml.data() + "\""; break;
      case CXmlReader::CData: out += "[" + xml.data() + "]"; break;
    }
  }
  return out;
}

TEST(XmlReader, ReadsElementsTextAndCData) {
  struct Case {
    std::string document;
    const char* nodes;
  } cases[] = {
      {"<?xml version='1.0'?><!DOCTYPE x><a id=\"1\" v = 'two'>hi &amp; &lt;bye&gt; &#65;</a>",
       "<a id=1 v=two> \"hi & <bye> &#65;\" </a>"},
      {"<a><!-- <b> --><b/>  \n <c v=\"&quot;q&apos;\"/></a>", "<a> <b/> <c v=\"q'/> </a>"},
      {"<a><![CDATA[x<y>&amp;]]></a >", "<a> [x<y>&amp;] </a>"},
      {"\xEF\xBB\xBF<a/>", "<a/>"},
      {std::string("\xFF\xFE<\0a\0/\0>\0", 10), "<a/>"},
      {std::string("\xFE\xFF\0<\0a\0>", 8), "<a>"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.nodes, nodes(c.document)) << c.document;
}

TEST(XmlReader, EndsAtMalformedMarkup) {
  struct Case {
    const char* document;
    const char* nodes;
  } cases[] = {
      {"<a><b", "<a>"},
      {"<a><b id=\"1", "<a>"},
      {"<a><b id=1>", "<a>"},
      {"<a><b id>", "<a>"},
      {"<a><b id=\"1\"me", "<a>"},
      {"<a></b", "<a>"},
      {"<a><!-- never closed <b/>", "<a>"},
      {"<a><![CDATA[open", "<a>"},
      {"<a><?pi", "<a>"},
      {"<a>< b/>", "<a>"},
      {"<a>text", "<a> \"text\""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.nodes, nodes(c.document)) << c.document;
}

}  // namespace
