#include <charconv>
#include <cmath>

#include "foundation/streams.h"
#include "foundation/textfile.h"
#include "foundation/xml.h"

namespace nuv {

char* XmlDoubleText(char* P, double v) {
  if (std::isnan(v)) {
    if (std::signbit(v)) *P++ = '-';
    return FormatDoubleText(P, P + 31, v, 0, -1);
  }
  return FormatDoubleText(P, P + 32, v, 0, -1);
}

TXmlWriter::TXmlWriter(TXmlSink& Sink) : FSink(Sink) { FBuf.reserve(std::size_t{1} << 16); }

TXmlWriter::~TXmlWriter() {
  try {
    Flush();
  } catch (...) {  // NOLINT(bugprone-empty-catch): the caller's Flush reports errors
  }
}

void TXmlWriter::Flush() {
  if (FBuf.empty()) return;
  FSink.Put(FBuf);
  FBuf.clear();
}

void TXmlWriter::Declaration() { FBuf += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"; }

void TXmlWriter::Indent() {
  // Every element starts a line of its own, so that several objects written
  // one after the other into an open file stay readable.
  if (!FBuf.empty() && FBuf.back() != '\n') FBuf += "\r\n";
  FBuf.append(static_cast<std::size_t>(2 * FDepth), ' ');
}

void TXmlWriter::BeginElement(std::string_view Name) {
  FHadChild = true;  // for the enclosing element
  Indent();
  FBuf.push_back('<');
  FBuf.append(Name);
}

void TXmlWriter::Attribute(std::string_view Name, std::string_view Value) {
  FBuf.push_back(' ');
  FBuf.append(Name);
  FBuf += "=\"";
  Escaped(Value, true);
  FBuf.push_back('"');
}

void TXmlWriter::Attribute(std::string_view Name, int64_t Value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, Value);
  Attribute(Name, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
}

void TXmlWriter::AttributeDouble(std::string_view Name, double Value) {
  char buf[40];
  char* e = XmlDoubleText(buf, Value);
  Attribute(Name, std::string_view(buf, static_cast<std::size_t>(e - buf)));
}

void TXmlWriter::AttributeBool(std::string_view Name, bool Value) {
  Attribute(Name, Value ? std::string_view("true") : std::string_view("false"));
}

void TXmlWriter::EndAttributes() {
  FBuf.push_back('>');
  ++FDepth;
  FHadChild = false;
}

void TXmlWriter::EndEmptyElement() {
  FBuf += "/>";
  Spill();
}

void TXmlWriter::EndElement(std::string_view Name) {
  --FDepth;
  if (FHadChild) Indent();
  FBuf += "</";
  FBuf.append(Name);
  FBuf.push_back('>');
  FHadChild = true;
  Spill();
}

void TXmlWriter::TextElement(std::string_view Name, std::string_view Value) {
  BeginElement(Name);
  FBuf.push_back('>');
  Escaped(Value, false);
  FBuf += "</";
  FBuf.append(Name);
  FBuf.push_back('>');
  Spill();
}

void TXmlWriter::Text(std::string_view Value) {
  Escaped(Value, false);
  Spill();
}

void TXmlWriter::Double(double Value) {
  char buf[40];
  FBuf.append(buf, XmlDoubleText(buf, Value));
  Spill();
}

void TXmlWriter::Int(int64_t Value) {
  char buf[24];
  FBuf.append(buf, std::to_chars(buf, buf + sizeof buf, Value).ptr);
  Spill();
}

void TXmlWriter::LineBreak() {
  FBuf += "\r\n";
  Spill();
}

namespace detail {

std::size_t XmlCharLength(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  if (c < 0x80) return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' ? 1 : 0;
  std::size_t n;
  uint32_t cp;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    cp = c & 0x1Fu;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    cp = c & 0x0Fu;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    cp = c & 0x07u;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(k) & 0x3Fu);
  }
  const bool shortest = (n == 2) || (n == 3 && cp >= 0x800) || (n == 4 && cp >= 0x10000);
  const bool allowed = (cp < 0xD800 || (cp >= 0xE000 && cp <= 0xFFFD) ||
                        (cp >= 0x10000 && cp <= 0x10FFFF));
  return shortest && allowed ? n : 0;
}

}  // namespace detail

void TXmlWriter::Escaped(std::string_view s, bool InAttribute) {
  static constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    switch (c) {
      case '<': FBuf += "&lt;"; ++i; continue;
      case '>': FBuf += "&gt;"; ++i; continue;
      case '&': FBuf += "&amp;"; ++i; continue;
      case '"':
        FBuf += InAttribute ? "&quot;" : "\"";
        ++i;
        continue;
      case '\r': FBuf += "&#13;"; ++i; continue;
      case '\t':
      case '\n':
        // Attribute values turn literal tabs and line ends into blanks.
        if (InAttribute) {
          FBuf += c == '\t' ? "&#9;" : "&#10;";
        } else {
          FBuf.push_back(static_cast<char>(c));
        }
        ++i;
        continue;
      default: break;
    }
    if (c >= 0x20 && c <= 0x7F) {
      FBuf.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    if (c < 0x80) {  // a control character: XML 1.0 has no way to carry it
      FBuf += kReplacement;
      ++i;
      continue;
    }
    const std::size_t n = detail::XmlCharLength(s, i);
    if (n == 0) {
      FBuf += kReplacement;
      ++i;
    } else {
      FBuf.append(s.data() + i, n);
      i += n;
    }
  }
}

// ------------------------------------------------------------------- sinks

void TXmlTextFileSink::Put(std::string_view Text) { FW.Write(Text); }

void TXmlStreamSink::Put(std::string_view Text) {
  FS.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}

bool SaveXmlFileImpl(const std::string& FileName, TXmlWriteFunction Write) {
  try {
    TTextWriter file(FileName);
    {
      TXmlTextFileSink sink(file);
      TXmlWriter w(sink);
      w.Declaration();
      Write(w);
      w.LineBreak();
      w.Flush();
    }
    file.Close();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nuv
