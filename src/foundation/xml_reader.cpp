#include <algorithm>
#include <cstring>

#include "foundation/load_rules.h"
#include "foundation/xml.h"

namespace nuv {

namespace {

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsNameStart(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u == ':' || u >= 0x80;
}

bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

void AppendUtf8(std::string& Out, uint32_t cp) {
  if (cp < 0x80) {
    Out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    Out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    Out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    Out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    Out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    Out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    Out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool AllowedCodePoint(uint32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

std::string Quoted(std::string_view s) {
  std::string t(s.substr(0, 40));
  if (s.size() > 40) t += "...";
  return "\"" + t + "\"";
}

}  // namespace

std::string TXmlReadInfo::ErrorMessage() const {
  if (ErrorLine <= 0) return ErrorText;
  return "line " + std::to_string(ErrorLine) + ", column " + std::to_string(ErrorColumn) + ": " +
         ErrorText;
}

TXmlReader::TXmlReader(const char* Data, std::size_t Size)
    : FData(Data), FEnd(Size), FTotal(static_cast<int64_t>(Size)) {}

TXmlReader::TXmlReader(TXmlBlockSource& Source, int64_t Available)
    : FSource(&Source), FTotal(Available) {}

void TXmlReader::Fail(const std::string& Text) const {
  const int64_t col = Consumed() - FLineStart + 1;
  throw EXmlReadError(Text, FLine, static_cast<int32_t>(std::min<int64_t>(col, INT32_MAX)));
}

// --------------------------------------------------------------- the input

bool TXmlReader::More() {
  if (FSource == nullptr) return false;
  const char* first = nullptr;
  const char* last = nullptr;
  if (!FSource->NextBlock(first, last)) return false;
  // Keep the unread bytes (the token being scanned starts at FPos).
  if (FPos > 0) {
    std::memmove(FOwn.data(), FOwn.data() + FPos, FEnd - FPos);
    FAbsBase += static_cast<int64_t>(FPos);
    FEnd -= FPos;
    FPos = 0;
  }
  FOwn.resize(FEnd);
  FOwn.insert(FOwn.end(), first, last);
  FEnd = FOwn.size();
  FLastBlock = static_cast<std::size_t>(last - first);
  FData = FOwn.data();
  return true;
}

bool TXmlReader::HaveSlow(std::size_t k) {
  while (FPos + k >= FEnd)
    if (!More()) return false;
  return true;
}

void TXmlReader::ReturnUnused() {
  if (FSource == nullptr) return;
  // The reader asks for more only while a token is unfinished, so what is
  // left after the last token came with the last block.
  FSource->PutBack(std::min(FEnd - FPos, FLastBlock));
  FEnd = FPos;
}

bool TXmlReader::InputCanHold(int64_t Count, int64_t ItemBytes) const {
  return FTotal < 0 || InputCanFill(Count, ItemBytes, BytesLeft());
}

bool TXmlReader::StartsWith(std::string_view Lit) {
  for (std::size_t k = 0; k < Lit.size(); ++k)
    if (!Have(k) || At(k) != Lit[k]) return false;
  return true;
}

void TXmlReader::Advance(std::size_t n) {
  const char* p = FData + FPos;
  const char* e = p + n;
  while (const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(e - p))) {
    p = static_cast<const char*>(nl) + 1;
    ++FLine;
    FLineStart = FAbsBase + (p - FData);
  }
  FPos += n;
}

void TXmlReader::SkipWhite() {
  for (;;) {
    while (FPos < FEnd && IsWhite(FData[FPos])) {
      if (FData[FPos] == '\n') {
        ++FLine;
        FLineStart = FAbsBase + static_cast<int64_t>(FPos) + 1;
      }
      ++FPos;
    }
    if (FPos < FEnd || !More()) return;
  }
}

// ------------------------------------------------------------------ tokens

std::string TXmlReader::ReadName() {
  if (!Have(0) || !IsNameStart(At(0))) Fail("a name is expected");
  std::size_t k = 1;
  while (Have(k) && IsNameChar(At(k))) {
    if (++k > XmlMaxNameLength) Fail("a name longer than " + std::to_string(XmlMaxNameLength) + " bytes");
  }
  std::string name(FData + FPos, k);
  if (detail::XmlCharLength(name, 0) == 0) Fail("a name that is not UTF-8");
  Advance(k);
  return name;
}

void TXmlReader::AppendReference(std::string& Out) {
  // At '&': a predefined entity or a character reference, up to ';'.
  std::size_t k = 1;
  while (Have(k) && At(k) != ';' && k <= 12) ++k;
  if (!Have(k) || At(k) != ';') Fail("a reference without ';'");
  const std::string_view ref(FData + FPos + 1, k - 1);
  if (ref == "lt") {
    Out.push_back('<');
  } else if (ref == "gt") {
    Out.push_back('>');
  } else if (ref == "amp") {
    Out.push_back('&');
  } else if (ref == "quot") {
    Out.push_back('"');
  } else if (ref == "apos") {
    Out.push_back('\'');
  } else if (ref.size() >= 2 && ref[0] == '#') {
    const bool hex = ref[1] == 'x';
    const std::string_view digits = ref.substr(hex ? 2 : 1);
    uint32_t cp = 0;
    bool ok = !digits.empty() && digits.size() <= 8;
    for (char c : digits) {
      uint32_t d;
      if (c >= '0' && c <= '9') {
        d = static_cast<uint32_t>(c - '0');
      } else if (hex && c >= 'a' && c <= 'f') {
        d = static_cast<uint32_t>(c - 'a' + 10);
      } else if (hex && c >= 'A' && c <= 'F') {
        d = static_cast<uint32_t>(c - 'A' + 10);
      } else {
        ok = false;
        break;
      }
      cp = cp * (hex ? 16u : 10u) + d;
    }
    if (!ok || !AllowedCodePoint(cp)) Fail("a character reference to no XML character");
    AppendUtf8(Out, cp);
  } else {
    // No DTD, so no entity beside the five predefined ones.
    Fail("undefined entity &" + std::string(ref) + ";");
  }
  Advance(k + 1);
}

std::size_t TXmlReader::CharLength() {
  const auto u = static_cast<unsigned char>(At(0));
  if (u < 0x80) {
    if (u < 0x20 && !IsWhite(At(0))) Fail("a control character XML does not allow");
    return 1;
  }
  const std::size_t n = u >= 0xF0 ? 4 : (u >= 0xE0 ? 3 : 2);
  if (!Have(n - 1) || detail::XmlCharLength(std::string_view(FData + FPos, n), 0) != n)
    Fail("malformed UTF-8, or a character XML does not allow");
  return n;
}

void TXmlReader::ReadCharData(std::string* Out, std::size_t MaxBytes, bool& NonWhite) {
  std::string scratch;
  std::string& out = Out != nullptr ? *Out : scratch;
  for (;;) {
    if (!Have(0)) return;
    const char c = At(0);
    if (c == '<') return;
    if (Out == nullptr) scratch.clear();
    if (c == '&') {
      AppendReference(out);
      NonWhite = true;
    } else if (c == '\r') {
      // Line ends read as LF, CR LF and a lone CR alike.
      out.push_back('\n');
      Advance(Have(1) && At(1) == '\n' ? 2 : 1);
    } else if (c == ']' && StartsWith("]]>")) {
      Fail("']]>' in text");
    } else {
      const std::size_t n = CharLength();
      if (!IsWhite(c)) NonWhite = true;
      out.append(FData + FPos, n);
      Advance(n);
    }
    if (Out != nullptr && out.size() > MaxBytes)
      Fail("a text longer than " + std::to_string(MaxBytes) + " bytes");
  }
}

void TXmlReader::SkipComment() {
  Advance(4);  // "<!--"
  for (;;) {
    if (!Have(1)) Fail("the document ends inside a comment");
    if (At(0) == '-' && At(1) == '-') {
      if (!Have(2) || At(2) != '>') Fail("'--' inside a comment");
      Advance(3);
      return;
    }
    Advance(1);
  }
}

void TXmlReader::SkipPI() {
  Advance(2);  // "<?"
  const std::string target = ReadName();
  if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' &&
      (target[2] | 0x20) == 'l')
    Fail("an XML declaration that is not at the start");
  for (;;) {
    if (!Have(1)) Fail("the document ends inside a processing instruction");
    if (At(0) == '?' && At(1) == '>') {
      Advance(2);
      return;
    }
    Advance(1);
  }
}

void TXmlReader::SkipCData(std::string* Out) {
  Advance(9);  // "<![CDATA["
  for (;;) {
    if (!Have(2)) Fail("the document ends inside a CDATA section");
    if (At(0) == ']' && At(1) == ']' && At(2) == '>') {
      Advance(3);
      return;
    }
    const char c = At(0);
    if (c == '\r') {
      if (Out != nullptr) Out->push_back('\n');
      Advance(Have(1) && At(1) == '\n' ? 2 : 1);
      continue;
    }
    if (static_cast<unsigned char>(c) < 0x20 && !IsWhite(c))
      Fail("a control character XML does not allow");
    if (Out != nullptr) Out->push_back(c);
    Advance(1);
  }
}

void TXmlReader::ReadStartTag() {
  Advance(1);  // '<'
  FName = ReadName();
  FAttrs.clear();
  FEmpty = false;
  for (;;) {
    const std::size_t before = FPos;
    const int64_t beforeAbs = FAbsBase;
    SkipWhite();
    const bool spaced = FAbsBase + static_cast<int64_t>(FPos) != beforeAbs + static_cast<int64_t>(before);
    if (!Have(0)) Fail("the document ends inside the tag <" + FName + ">");
    if (At(0) == '>') {
      Advance(1);
      break;
    }
    if (At(0) == '/') {
      if (!Have(1) || At(1) != '>') Fail("'/' in a tag not followed by '>'");
      Advance(2);
      FEmpty = true;
      break;
    }
    if (!spaced) Fail("white space is expected between attributes");
    std::string name = ReadName();
    SkipWhite();
    if (!Have(0) || At(0) != '=') Fail("'=' is expected after the attribute " + name);
    Advance(1);
    SkipWhite();
    if (!Have(0) || (At(0) != '"' && At(0) != '\'')) Fail("a quoted attribute value is expected");
    const char quote = At(0);
    Advance(1);
    std::string value;
    for (;;) {
      if (!Have(0)) Fail("the document ends inside an attribute value");
      const char c = At(0);
      if (c == quote) {
        Advance(1);
        break;
      }
      if (c == '<') Fail("'<' in an attribute value");
      if (c == '&') {
        AppendReference(value);
      } else if (c == '\r' || c == '\n' || c == '\t') {
        // Literal white space in an attribute value reads as a blank.
        value.push_back(' ');
        Advance(c == '\r' && Have(1) && At(1) == '\n' ? 2 : 1);
      } else {
        const std::size_t n = CharLength();
        value.append(FData + FPos, n);
        Advance(n);
      }
    }
    for (const auto& a : FAttrs)
      if (a.first == name) Fail("the attribute " + name + " is given twice");
    if (FAttrs.size() >= XmlMaxAttributes)
      Fail("more than " + std::to_string(XmlMaxAttributes) + " attributes");
    FAttrs.emplace_back(std::move(name), std::move(value));
  }
}

void TXmlReader::ReadEndTag() {
  const int32_t line = FLine;
  const int64_t column = Consumed() - FLineStart + 1;
  Advance(2);  // "</"
  const std::string name = ReadName();
  SkipWhite();
  if (!Have(0) || At(0) != '>') Fail("'>' is expected after </" + name);
  // A wrong end tag is reported where it starts.
  if (FOpen.empty() || name != FOpen.back())
    throw EXmlReadError(FOpen.empty() ? "the end tag </" + name + "> closes no element"
                                      : "</" + name + "> where </" + FOpen.back() + "> is expected",
                        line, static_cast<int32_t>(std::min<int64_t>(column, INT32_MAX)));
  Advance(1);
  FOpen.pop_back();
}

void TXmlReader::Enter() {
  if (FOpen.size() >= static_cast<std::size_t>(XmlMaxDepth))
    Fail("elements nested deeper than " + std::to_string(XmlMaxDepth));
  FOpen.push_back(FName);
  FEmptyOpen = FEmpty;
}

// ------------------------------------------------------------------ walking

void TXmlReader::Prolog() {
  if (StartsWith("\xEF\xBB\xBF")) Advance(3);
  if (!StartsWith("<?xml") || !Have(5) || !(IsWhite(At(5)) || At(5) == '?')) return;
  Advance(5);
  // The declaration's pseudo-attributes read like those of a tag.
  FName = "?xml";
  FAttrs.clear();
  for (;;) {
    SkipWhite();
    if (StartsWith("?>")) {
      Advance(2);
      break;
    }
    if (!Have(0) || !IsNameStart(At(0))) Fail("a malformed XML declaration");
    std::string name = ReadName();
    SkipWhite();
    if (!Have(0) || At(0) != '=') Fail("a malformed XML declaration");
    Advance(1);
    SkipWhite();
    if (!Have(0) || (At(0) != '"' && At(0) != '\'')) Fail("a malformed XML declaration");
    const char quote = At(0);
    std::size_t k = 1;
    while (Have(k) && At(k) != quote && At(k) != '<' && k < 64) ++k;
    if (!Have(k) || At(k) != quote) Fail("a malformed XML declaration");
    std::string value(FData + FPos + 1, k - 1);
    Advance(k + 1);
    FAttrs.emplace_back(std::move(name), std::move(value));
  }
  const std::string* version = FindAttribute("version");
  if (version == nullptr || version->size() < 3 || version->compare(0, 2, "1.") != 0)
    Fail("not an XML 1.x document");
  if (const std::string* enc = FindAttribute("encoding")) {
    std::string e = *enc;
    for (char& c : e) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (e != "UTF-8" && e != "UTF8") Fail("the encoding " + *enc + " is not read (only UTF-8)");
  }
  FAttrs.clear();
  FName.clear();
}

bool TXmlReader::NextStartTagOfWalk() {
  for (;;) {
    SkipWhite();
    if (!Have(0)) {
      if (!FOpen.empty()) Fail("the document ends inside <" + FOpen.back() + ">");
      return false;
    }
    if (At(0) != '<') {
      bool nonWhite = false;
      ReadCharData(nullptr, 0, nonWhite);
      if (FOpen.empty() && nonWhite) Fail("text outside an element");
      continue;
    }
    if (StartsWith("<!--")) {
      SkipComment();
    } else if (StartsWith("<?")) {
      SkipPI();
    } else if (StartsWith("<![CDATA[")) {
      if (FOpen.empty()) Fail("text outside an element");
      SkipCData(nullptr);
    } else if (StartsWith("<!DOCTYPE")) {
      Fail("a DTD is not allowed");
    } else if (StartsWith("<!")) {
      Fail("markup declarations are not allowed");
    } else if (StartsWith("</")) {
      if (FOpen.size() <= FWalkBase) return false;
      ReadEndTag();
    } else {
      if (FOpen.empty()) {
        if (FDocument && FRootSeen) Fail("a second root element");
        FRootSeen = true;
      }
      ReadStartTag();
      return true;
    }
  }
}

bool TXmlReader::NextChild() {
  if (FEmptyOpen) {
    FEmptyOpen = false;
    FOpen.pop_back();
    return false;
  }
  for (;;) {
    SkipWhite();
    if (!Have(0)) Fail("the document ends inside <" + FOpen.back() + ">");
    if (At(0) != '<') Fail("unexpected text in <" + FOpen.back() + ">");
    if (StartsWith("<!--")) {
      SkipComment();
    } else if (StartsWith("<?")) {
      SkipPI();
    } else if (StartsWith("<!DOCTYPE")) {
      Fail("a DTD is not allowed");
    } else if (StartsWith("<!")) {
      Fail("unexpected text in <" + FOpen.back() + ">");
    } else if (StartsWith("</")) {
      ReadEndTag();
      return false;
    } else {
      ReadStartTag();
      return true;
    }
  }
}

std::string TXmlReader::ReadText(std::size_t MaxBytes) {
  std::string out;
  Enter();
  if (FEmptyOpen) {
    FEmptyOpen = false;
    FOpen.pop_back();
    return out;
  }
  for (;;) {
    bool nonWhite = false;
    ReadCharData(&out, MaxBytes, nonWhite);
    if (!Have(0)) Fail("the document ends inside <" + FOpen.back() + ">");
    if (StartsWith("<!--")) {
      SkipComment();
    } else if (StartsWith("<![CDATA[")) {
      SkipCData(&out);
      if (out.size() > MaxBytes) Fail("a text longer than " + std::to_string(MaxBytes) + " bytes");
    } else if (StartsWith("<?")) {
      SkipPI();
    } else if (StartsWith("</")) {
      ReadEndTag();
      return out;
    } else {
      Fail("unexpected element in <" + FOpen.back() + ">");
    }
  }
}

void TXmlReader::FinishDocument() {
  FWalkBase = 0;
  for (;;) {
    if (!NextStartTagOfWalk()) {
      if (!Have(0)) return;
      // An end tag at the outermost level closes nothing.
      Advance(2);
      Fail("an end tag that closes no element");
    }
    if (!FEmpty) Enter();
  }
}

// ------------------------------------------------------------- attributes

const std::string* TXmlReader::FindAttribute(std::string_view AttrName) const {
  for (const auto& a : FAttrs)
    if (a.first == AttrName) return &a.second;
  return nullptr;
}

void TXmlReader::OnlyAttributes(std::initializer_list<std::string_view> Allowed) const {
  for (const auto& a : FAttrs)
    if (std::find(Allowed.begin(), Allowed.end(), a.first) == Allowed.end())
      Fail("unknown attribute " + a.first + " of <" + FName + ">");
}

int64_t TXmlReader::IntAttribute(std::string_view AttrName, int64_t Low, int64_t High) const {
  const std::string* v = FindAttribute(AttrName);
  if (v == nullptr) Fail("<" + FName + "> lacks the attribute " + std::string(AttrName));
  int32_t n = 0;
  if (!TextToInt32(*v, n) || n < Low || n > High)
    Fail("the attribute " + std::string(AttrName) + " is not an integer in " +
         std::to_string(Low) + ".." + std::to_string(High) + ": " + Quoted(*v));
  return n;
}

int64_t TXmlReader::IntAttribute(std::string_view AttrName, int64_t Low, int64_t High,
                                 int64_t Default) const {
  return FindAttribute(AttrName) == nullptr ? Default : IntAttribute(AttrName, Low, High);
}

void TXmlReader::FindObject(std::string_view Name, const std::string& DataID) {
  const bool found = FindElement(Name, [&](const TAttributes& A) {
    if (DataID.empty()) return true;
    for (const auto& a : A)
      if (a.first == "DataID") return a.second == DataID;
    return false;
  });
  if (!found)
    Fail("no <" + std::string(Name) + "> element" +
         (DataID.empty() ? std::string() : " with DataID " + Quoted(DataID)));
}

double TXmlReader::DoubleAttribute(std::string_view AttrName) const {
  const std::string* v = FindAttribute(AttrName);
  if (v == nullptr) Fail("<" + FName + "> lacks the attribute " + std::string(AttrName));
  double d = 0.0;
  if (!TextToDouble(*v, d)) Fail("the attribute " + std::string(AttrName) + " is not a number: " + Quoted(*v));
  return d;
}

bool TXmlReader::BoolAttribute(std::string_view AttrName) const {
  const std::string* v = FindAttribute(AttrName);
  if (v == nullptr) Fail("<" + FName + "> lacks the attribute " + std::string(AttrName));
  if (*v == "true") return true;
  if (*v == "false") return false;
  Fail("the attribute " + std::string(AttrName) + " is neither true nor false: " + Quoted(*v));
}

std::string TXmlReader::TextAttribute(std::string_view AttrName,
                                      const std::string& Default) const {
  const std::string* v = FindAttribute(AttrName);
  return v != nullptr ? *v : Default;
}

void TXmlReader::CheckVersion() const {
  const std::string* v = FindAttribute("version");
  if (v == nullptr) Fail("<" + FName + "> lacks the attribute version");
  int32_t n = 0;
  if (!TextToInt32(*v, n) || n != XmlSchemeVersion)
    Fail("version " + Quoted(*v) + " of <" + FName + "> is not read by this build (only " +
         std::to_string(XmlSchemeVersion) + ")");
}

// ------------------------------------------------------------ number lists

bool TXmlReader::BeginList(int64_t Count) {
  if (Count < 0) Fail("a negative count");
  if (!InputCanHold(Count, 2))
    Fail("<" + FName + "> claims " + std::to_string(Count) +
         " numbers, more than the rest of the document can hold");
  Enter();
  return !FEmptyOpen;
}

bool TXmlReader::NextNumberToken(const char*& First, const char*& Last) {
  SkipWhite();
  if (!Have(0)) Fail("the document ends inside <" + FOpen.back() + ">");
  if (At(0) == '<') return false;
  std::size_t k = 1;
  while (Have(k)) {
    const char c = At(k);
    if (IsWhite(c) || c == '<') break;
    if (++k > 64) break;
  }
  First = FData + FPos;
  Last = First + k;
  return true;
}

void TXmlReader::ListFault(int64_t Index, int64_t Count, const char* First, const char* Last,
                           bool Integers) {
  if (Index >= Count)
    Fail("<" + FOpen.back() + "> holds more than " + std::to_string(Count) + " numbers");
  Fail(std::string(Integers ? "not a 32-bit integer: " : "not a number: ") +
       Quoted(std::string_view(First, static_cast<std::size_t>(Last - First))));
}

void TXmlReader::EndOfList(int64_t Read, int64_t Count) {
  if (Read != Count)
    Fail("<" + FOpen.back() + "> holds " + std::to_string(Read) + " numbers where " +
         std::to_string(Count) + " are expected");
  if (FEmptyOpen) {
    FEmptyOpen = false;
    FOpen.pop_back();
    return;
  }
  if (!StartsWith("</")) Fail("unexpected markup in a number list");
  ReadEndTag();
}

}  // namespace nuv
