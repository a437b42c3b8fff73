#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "foundation/frame.h"

using namespace nuv;

namespace {

/// A sink that keeps the text.
struct TStringSink : TXmlSink {
  std::string Text;
  void Put(std::string_view s) override { Text.append(s); }
};

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

/// Reads the first <e> of a whole document: its attribute a and its text.
bool ReadE(const std::string& Doc, std::string& Attr, std::string& Text,
           TXmlReadInfo* Info = nullptr) {
  return ReadXmlString(Doc, Info, [&](TXmlReader& R) {
    R.FindObject("e", "");
    Attr = R.TextAttribute("a", "");
    Text = R.ReadText(1 << 20);
  });
}

/// The place and text of the fault of a document with one <e> element.
TXmlReadInfo Fault(const std::string& Doc) {
  std::string a, t;
  TXmlReadInfo info;
  EXPECT_FALSE(ReadE(Doc, a, t, &info)) << Doc;
  return info;
}

}  // namespace

TEST(Xml, TextAndAttributesRoundTripWithEscaping) {
  const std::string awkward = "a<b>&c\"d'e\tf\ng\r\nh \xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80 ]]>";
  TStringSink sink;
  {
    TXmlWriter w(sink);
    w.Declaration();
    w.BeginElement("e");
    w.Attribute("a", awkward);
    w.EndAttributes();
    w.Text(awkward);
    w.EndElement("e");
  }
  std::string attr, text;
  TXmlReadInfo info;
  ASSERT_TRUE(ReadE(sink.Text, attr, text, &info)) << info.ErrorMessage() << "\n" << sink.Text;
  EXPECT_EQ(attr, awkward);
  EXPECT_EQ(text, awkward);

  // XML 1.0 cannot carry control characters or malformed UTF-8: they become U+FFFD.
  TStringSink bad;
  {
    TXmlWriter w(bad);
    w.TextElement("e", std::string("x\x01y\xFFz", 5));
  }
  ASSERT_TRUE(ReadE(bad.Text, attr, text));
  EXPECT_EQ(text, "x\xEF\xBF\xBDy\xEF\xBF\xBDz");

  // References, CDATA, comments and line ends as a conforming reader sees them.
  ASSERT_TRUE(ReadE("<e a='&#x41;&#66;&lt;&apos; x\ty'>1&amp;<![CDATA[<&>]]><!--c-->2\r\n3\r4</e>",
                    attr, text));
  EXPECT_EQ(attr, "AB<' x y");
  EXPECT_EQ(text, "1&<&>2\n3\n4");
}

TEST(Xml, NumbersReadBackBitForBit) {
  const double values[] = {0.0,
                           -0.0,
                           0.1,
                           -1.0 / 3.0,
                           1e-300,
                           std::numeric_limits<double>::denorm_min(),
                           -std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN()};
  const int n = static_cast<int>(sizeof values / sizeof values[0]);
  TStringSink sink;
  {
    TXmlWriter w(sink);
    w.BeginElement("e");
    w.EndAttributes();
    for (int i = 0; i < n; ++i) {
      if (i > 0) w.Separator();
      w.Double(values[i]);
    }
    w.EndElement("e");
  }
  EXPECT_NE(sink.Text.find(" NaN -NaN"), std::string::npos) << sink.Text;
  EXPECT_NE(sink.Text.find(" Inf -Inf "), std::string::npos) << sink.Text;
  double got[16] = {};
  ASSERT_TRUE(ReadXmlString(sink.Text, nullptr, [&](TXmlReader& R) {
    R.FindObject("e", "");
    R.ReadDoubles(n, [&](int64_t i, double v) { got[i] = v; });
  }));
  for (int i = 0; i < n; ++i) EXPECT_EQ(Bits(got[i]), Bits(values[i])) << i;
}

TEST(Xml, MalformedDocumentsAreRefusedWithTheirPlace) {
  TXmlReadInfo f = Fault("<?xml version=\"1.0\"?>\n<e>\n  text");
  EXPECT_EQ(f.ErrorLine, 3);
  EXPECT_EQ(f.ErrorText, "the document ends inside <e>");

  f = Fault("<r>\n<e>x</f></r>");
  EXPECT_EQ(f.ErrorLine, 2);
  EXPECT_EQ(f.ErrorColumn, 5);
  EXPECT_EQ(f.ErrorText, "</f> where </e> is expected");

  // The classic entity expansion bomb needs a DTD, and a DTD is refused where it starts.
  f = Fault("<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [<!ENTITY lol \"lol\">"
            "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;\">]>\n<e>&lol2;</e>");
  EXPECT_EQ(f.ErrorLine, 2);
  EXPECT_EQ(f.ErrorColumn, 1);
  EXPECT_EQ(f.ErrorText, "a DTD is not allowed");
  EXPECT_EQ(Fault("<e>&lol;</e>").ErrorText, "undefined entity &lol;");
  EXPECT_EQ(Fault("<e>&#0;</e>").ErrorText, "a character reference to no XML character");
  EXPECT_EQ(Fault("<e a='1' a='2'/>").ErrorText, "the attribute a is given twice");
  EXPECT_EQ(Fault("<e a='<'/>").ErrorText, "'<' in an attribute value");
  EXPECT_EQ(Fault("<e/><e/>").ErrorText, "a second root element");
  EXPECT_EQ(Fault("x<e/>").ErrorText, "text outside an element");
  EXPECT_EQ(Fault("<e>a</e>\n<!-- -- -->").ErrorText, "'--' inside a comment");
  EXPECT_EQ(Fault("<?xml version='1.0' encoding='ISO-8859-1'?><e/>").ErrorText,
            "the encoding ISO-8859-1 is not read (only UTF-8)");
  EXPECT_EQ(Fault("<e>\xC3</e>").ErrorText, "malformed UTF-8, or a character XML does not allow");
  EXPECT_EQ(Fault("<r/>").ErrorText, "no <e> element");
  EXPECT_EQ(Fault("<e>a<b/></e>").ErrorText, "unexpected element in <e>");

  std::string deep;
  for (int i = 0; i < XmlMaxDepth + 1; ++i) deep += "<d>";
  EXPECT_EQ(Fault(deep).ErrorText, "elements nested deeper than 64");
  EXPECT_EQ(Fault("<" + std::string(XmlMaxNameLength + 1, 'n') + "/>").ErrorText,
            "a name longer than 256 bytes");
}

TEST(Xml, NumberListsKeepTheirCountAndTheAllocationRule) {
  auto read = [](const std::string& Doc, int64_t Count, TXmlReadInfo& Info) {
    int64_t seen = 0;
    return ReadXmlString(Doc, &Info, [&](TXmlReader& R) {
      R.FindObject("e", "");
      R.ReadDoubles(Count, [&](int64_t, double) { ++seen; });
    });
  };
  TXmlReadInfo info;
  EXPECT_TRUE(read("<e> 1\r\n2\t3 </e>", 3, info)) << info.ErrorMessage();
  EXPECT_FALSE(read("<e>1 2</e>", 3, info));
  EXPECT_EQ(info.ErrorText, "<e> holds 2 numbers where 3 are expected");
  EXPECT_FALSE(read("<e>1 2 3 4</e>", 3, info));
  EXPECT_EQ(info.ErrorText, "<e> holds more than 3 numbers");
  EXPECT_FALSE(read("<e>1 x 3</e>", 3, info));
  EXPECT_EQ(info.ErrorText, "not a number: \"x\"");
  EXPECT_EQ(info.ErrorColumn, 6);
  // A claim beyond what the rest of the input can hold is refused before anything is read.
  EXPECT_FALSE(read("<e>1 2 3</e>", 1000000000, info));
  EXPECT_EQ(info.ErrorText, "<e> claims 1000000000 numbers, more than the rest of the document can hold");
}
