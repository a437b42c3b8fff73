// The library's XML layer: a streaming writer with escaping and a strict pull
// reader with located errors, used by every class that persists itself as
// XML (docs/formats.md, "XML documents").
//
// The reader takes well-formed XML 1.0 in UTF-8 with the five predefined
// entities and numeric character references. It refuses a DTD (and so every
// other entity, external or not), nesting deeper than XmlMaxDepth, names
// longer than XmlMaxNameLength and more than XmlMaxAttributes attributes on
// one element. Every error carries the line and column where it was found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/exceptions.h"
#include "foundation/nuv_export.h"
#include "foundation/strings.h"

namespace nuv {

class TStream;
class TTextReader;
class TTextWriter;

inline constexpr int32_t XmlMaxDepth = 64;
inline constexpr std::size_t XmlMaxNameLength = 256;
inline constexpr std::size_t XmlMaxAttributes = 64;
/// The version of the library's XML scheme that this build writes and reads.
inline constexpr int32_t XmlSchemeVersion = 1;

/// Where and why an XML read failed.
struct NUV_API TXmlReadInfo {
  int32_t ErrorLine = 0;    ///< 1-based line of the error (lines end at LF), 0 if none
  int32_t ErrorColumn = 0;  ///< 1-based byte in that line, 0 if none
  std::string ErrorText;    ///< empty on success
  /// "line L, column C: text", or the text alone when it has no place.
  std::string ErrorMessage() const;
};

/// A malformed or unsuitable document; raised inside the reader and turned
/// into a false result with a TXmlReadInfo by the read forms.
class NUV_API EXmlReadError : public std::runtime_error {
 public:
  EXmlReadError(const std::string& Text, int32_t Line, int32_t Column)
      : std::runtime_error(Text), FLine(Line), FColumn(Column) {}
  int32_t Line() const { return FLine; }
  int32_t Column() const { return FColumn; }

 private:
  int32_t FLine;
  int32_t FColumn;
};

// ------------------------------------------------------------------ writing

/// Where a TXmlWriter's text goes.
class NUV_API TXmlSink {
 public:
  virtual ~TXmlSink() = default;
  virtual void Put(std::string_view Text) = 0;
};

/// Writes XML through a buffer into a sink: elements indented by two blanks
/// per level, lines ending in CR LF, text and attribute values escaped.
/// Numbers are the shortest text that reads back to the same double, with
/// NaN, -NaN, Inf and -Inf for the others.
class NUV_API TXmlWriter {
 public:
  explicit TXmlWriter(TXmlSink& Sink);
  /// Flushes what is left (errors of the sink are lost here: call Flush).
  ~TXmlWriter();
  TXmlWriter(const TXmlWriter&) = delete;
  TXmlWriter& operator=(const TXmlWriter&) = delete;

  /// <?xml version="1.0" encoding="UTF-8"?> and a line end.
  void Declaration();
  /// "<Name" on a new line, indented; attributes follow, then EndAttributes.
  void BeginElement(std::string_view Name);
  void Attribute(std::string_view Name, std::string_view Value);
  void Attribute(std::string_view Name, int64_t Value);
  void AttributeDouble(std::string_view Name, double Value);
  void AttributeBool(std::string_view Name, bool Value);
  /// ">" after the attributes: content follows.
  void EndAttributes();
  /// "/>" after the attributes: the element has no content.
  void EndEmptyElement();
  /// "</Name>", on a new line when the element held child elements.
  void EndElement(std::string_view Name);
  /// <Name>escaped text</Name> on a line of its own.
  void TextElement(std::string_view Name, std::string_view Text);
  /// Escaped character data (markup characters and CR as references; bytes
  /// that XML 1.0 cannot carry, and malformed UTF-8, as U+FFFD).
  void Text(std::string_view Text);
  /// Number lists: values separated by a blank, LineBreak starts a new line.
  void Double(double Value);
  void Int(int64_t Value);
  void Separator() { FBuf.push_back(' '); }
  void LineBreak();
  /// Passes the buffered text to the sink.
  void Flush();

 private:
  void Indent();
  void Escaped(std::string_view Text, bool InAttribute);
  void Spill() {
    if (FBuf.size() >= (std::size_t{1} << 16)) Flush();
  }
  TXmlSink& FSink;
  std::string FBuf;
  int32_t FDepth = 0;
  bool FHadChild = false;  ///< the open element holds elements (its end tag gets a line)
};

/// The shortest text of v that reads back to the same double, with the sign
/// of NaN kept ("NaN", "-NaN", "Inf", "-Inf"); returns the end of the text.
/// P must have room for 32 characters.
NUV_API char* XmlDoubleText(char* P, double v);

namespace detail {
/// The length of the well-formed UTF-8 sequence at s[i] when it encodes a
/// character that XML 1.0 allows (0 otherwise).
NUV_API std::size_t XmlCharLength(std::string_view s, std::size_t i);
}  // namespace detail

// ------------------------------------------------------------------ reading

/// Bytes for a TXmlReader in blocks; the reader gives back what it did not use.
class NUV_API TXmlBlockSource {
 public:
  virtual ~TXmlBlockSource() = default;
  /// The next block of bytes; false at the end of the input. The block stays
  /// valid until the next call.
  virtual bool NextBlock(const char*& First, const char*& Last) = 0;
  /// Gives back the last Count bytes of the last block: the input continues
  /// there for its next reader.
  virtual void PutBack(std::size_t Count) = 0;
};

/// A strict pull reader over a byte range in memory or a block source.
/// Errors raise EXmlReadError with the place where they were found.
class NUV_API TXmlReader {
 public:
  using TAttributes = std::vector<std::pair<std::string, std::string>>;

  /// Reads Size bytes at Data (which must outlive the reader).
  TXmlReader(const char* Data, std::size_t Size);
  /// Reads from Source; Available is the number of bytes the source can still
  /// give (-1 when it cannot be told), used for the allocation rule.
  TXmlReader(TXmlBlockSource& Source, int64_t Available);

  /// Reads a whole document (one root element) rather than a sequence of
  /// elements at a position.
  void SetWholeDocument() { FDocument = true; }
  /// Skips a UTF-8 byte order mark and an XML declaration at the start of
  /// the input (refusing other versions than 1.x and other encodings than
  /// UTF-8). Call once before anything else.
  void Prolog();
  /// Walks forward, through other elements and into them, to the start tag
  /// of the next element named Name whose attributes Accept (a callable
  /// taking the attributes); false when the input, or the element that was
  /// open where the walk began, ends first. Comments and processing
  /// instructions are skipped; a DTD is refused.
  template <class Pred>
  bool FindElement(std::string_view Name, Pred&& Accept) {
    FWalkBase = FOpen.size();
    for (;;) {
      if (!NextStartTagOfWalk()) return false;
      if (FName == Name && Accept(static_cast<const TAttributes&>(FAttrs))) return true;
      if (!FEmpty) Enter();
    }
  }
  bool FindElement(std::string_view Name) {
    return FindElement(Name, [](const TAttributes&) { return true; });
  }
  /// FindElement for an object: the next element Name whose attribute
  /// DataID equals DataID (any, when DataID is empty); raises "no <Name>
  /// element" when there is none.
  void FindObject(std::string_view Name, const std::string& DataID);

  /// Makes the element whose start tag was just read the current element.
  void Enter();
  /// Inside the current element: the next child element's start tag (true;
  /// its name in Name()), or the current element's end tag (false, the
  /// element left). Text other than white space is an error.
  bool NextChild();
  /// The name and attributes of the last start tag read.
  const std::string& Name() const { return FName; }
  const TAttributes& Attributes() const { return FAttrs; }
  /// The attribute's value, or nullptr.
  const std::string* FindAttribute(std::string_view AttrName) const;
  /// Raises "unknown attribute" for an attribute that is not one of Allowed.
  void OnlyAttributes(std::initializer_list<std::string_view> Allowed) const;
  /// A required integer attribute in Low..High.
  int64_t IntAttribute(std::string_view AttrName, int64_t Low, int64_t High) const;
  /// An optional integer attribute in Low..High; Default when absent.
  int64_t IntAttribute(std::string_view AttrName, int64_t Low, int64_t High,
                       int64_t Default) const;
  /// A required number attribute (any double, NaN and infinities included).
  double DoubleAttribute(std::string_view AttrName) const;
  /// A required attribute "true" or "false".
  bool BoolAttribute(std::string_view AttrName) const;
  /// The attribute's text; Default when absent.
  std::string TextAttribute(std::string_view AttrName, const std::string& Default) const;
  /// Refuses the document unless attribute "version" reads XmlSchemeVersion.
  void CheckVersion() const;

  /// The text content of the element whose start tag was just read (child
  /// elements refused), its end tag consumed. At most MaxBytes bytes.
  std::string ReadText(std::size_t MaxBytes);
  /// Reads Count numbers of the element whose start tag was just read,
  /// separated by white space, and its end tag; each goes to Put(index, v).
  /// A count that differs is an error. Before it reads, checks that the input
  /// can hold Count numbers of at least two bytes each (the allocation rule).
  template <class Put>
  void ReadDoubles(int64_t Count, Put&& Store) {
    ReadNumbers<double>(Count, std::forward<Put>(Store));
  }
  template <class Put>
  void ReadInts(int64_t Count, Put&& Store) {
    ReadNumbers<int32_t>(Count, std::forward<Put>(Store));
  }
  /// After the object: checks the rest of a whole document (its open
  /// elements closed, nothing but comments, processing instructions and
  /// white space after the root).
  void FinishDocument();

  /// True when Count items of at least ItemBytes bytes each can still come
  /// from the input (always true when its length is unknown).
  bool InputCanHold(int64_t Count, int64_t ItemBytes) const;
  /// Bytes left in the input after the present place, -1 when not known.
  int64_t BytesLeft() const { return FTotal < 0 ? -1 : FTotal - Consumed(); }
  /// Bytes of the input consumed so far.
  int64_t Consumed() const { return FAbsBase + static_cast<int64_t>(FPos); }
  /// Gives back to the block source the bytes read ahead (after a success).
  void ReturnUnused();

  /// Raises EXmlReadError with the present place.
  [[noreturn]] void Fail(const std::string& Text) const;

 private:
  bool More();
  /// A byte at offset k from FPos is present (reading more when needed).
  bool Have(std::size_t k) { return FPos + k < FEnd || HaveSlow(k); }
  bool HaveSlow(std::size_t k);
  char At(std::size_t k) const { return FData[FPos + k]; }
  bool StartsWith(std::string_view Lit);
  void Advance(std::size_t n);
  /// The length of the character at FPos; raises for one XML does not allow.
  std::size_t CharLength();
  void SkipWhite();
  void SkipComment();
  void SkipPI();
  void SkipCData(std::string* Out);
  std::string ReadName();
  void ReadStartTag();
  void ReadEndTag();
  /// Reads character data up to '<' into Out (when given), refs decoded.
  void ReadCharData(std::string* Out, std::size_t MaxBytes, bool& NonWhite);
  void AppendReference(std::string& Out);
  bool NextStartTagOfWalk();
  template <class T, class Put>
  void ReadNumbers(int64_t Count, Put&& Store);
  /// Checks the claimed count and enters the list; false for an empty element.
  bool BeginList(int64_t Count);
  /// The next number token of a list, or false at the end of its element.
  bool NextNumberToken(const char*& First, const char*& Last);
  /// Raises the error of a surplus number or one that does not parse.
  [[noreturn]] void ListFault(int64_t Index, int64_t Count, const char* First, const char* Last,
                              bool Integers);
  /// Checks the count read and reads the list's end tag.
  void EndOfList(int64_t Read, int64_t Count);

  const char* FData = nullptr;
  std::size_t FPos = 0;
  std::size_t FEnd = 0;
  std::vector<char> FOwn;
  TXmlBlockSource* FSource = nullptr;
  std::size_t FLastBlock = 0;  ///< bytes of FOwn that came with the last block
  int64_t FAbsBase = 0;        ///< input offset of FData[0]
  int64_t FTotal = -1;         ///< bytes of the whole input, -1 when not known
  int32_t FLine = 1;
  int64_t FLineStart = 0;  ///< input offset of the present line's first byte
  std::vector<std::string> FOpen;
  std::size_t FWalkBase = 0;
  bool FDocument = false;    ///< a whole document: one root element
  bool FRootSeen = false;
  bool FEmptyOpen = false;  ///< the current element was empty (<a/>) and is entered  ///< depth where the present walk began
  std::string FName;
  TAttributes FAttrs;
  bool FEmpty = false;
};

template <class T, class Put>
void TXmlReader::ReadNumbers(int64_t Count, Put&& Store) {
  constexpr bool integers = std::is_same_v<T, int32_t>;
  int64_t n = 0;
  const char* first;
  const char* last;
  if (BeginList(Count)) {
    while (NextNumberToken(first, last)) {
      T v;
      bool ok;
      if constexpr (integers) {
        ok = detail::ParseInt32Token(first, last, v);
      } else {
        ok = detail::ParseDoubleToken(first, last, v);
      }
      if (n >= Count || !ok) ListFault(n, Count, first, last, integers);
      Store(n++, v);
      FPos += static_cast<std::size_t>(last - first);
    }
  }
  EndOfList(n, Count);
}

// ------------------------------------------------------------- the forms

/// A reference to a callable taking an Arg&, which, unlike std::function,
/// never allocates: the forms must not raise when memory is short. The
/// callable must outlive the call it is passed to.
template <class Arg>
class TXmlCallback {
 public:
  template <class F>
  TXmlCallback(const F& Fn)  // NOLINT(google-explicit-constructor): passed as a lambda
      : FObj(&Fn), FCall([](const void* Obj, Arg& A) { (*static_cast<const F*>(Obj))(A); }) {}
  void operator()(Arg& A) const { FCall(FObj, A); }

 private:
  const void* FObj;
  void (*FCall)(const void*, Arg&);
};
using TXmlReadFunction = TXmlCallback<TXmlReader>;
using TXmlWriteFunction = TXmlCallback<TXmlWriter>;

/// The six forms every persistent class offers, around its Write and Read
/// functions: a whole file, an open text file, a stream. Writing raises what
/// the file or stream raises (EInOutError, also "Out of memory while writing
/// XML"); SaveXmlFile returns false instead.
template <class W>
bool SaveXmlFile(const std::string& FileName, W&& Write);
template <class W>
void WriteXmlText(TTextWriter* OutFile, bool CreateHeader, W&& Write);
template <class W>
void WriteXmlStream(TStream* OutStream, bool CreateHeader, W&& Write);

/// Reading: Read(TXmlReader&) finds and parses the object into scratch
/// storage and raises EXmlReadError on any fault; the form returns true
/// after a parse without fault (the caller then commits), false with Info
/// set otherwise, and never raises. LoadXmlFile reads the whole document;
/// the open-file and stream forms stop right after the object's end tag
/// and, on failure, leave the position where the read began (FromCurrentPos
/// false starts from the beginning).
NUV_API bool LoadXmlFile(const std::string& FileName, TXmlReadInfo* Info,
                         TXmlReadFunction Read);
NUV_API bool ReadXmlText(TTextReader* InFile, bool FromCurrentPos, TXmlReadInfo* Info,
                         TXmlReadFunction Read);
NUV_API bool ReadXmlStream(TStream* InStream, bool FromCurrentPos, TXmlReadInfo* Info,
                           TXmlReadFunction Read);
/// The same over text in memory (the whole document).
NUV_API bool ReadXmlString(const std::string& Text, TXmlReadInfo* Info,
                           TXmlReadFunction Read);

/// Sinks over the library's text files, streams and strings.
class NUV_API TXmlTextFileSink : public TXmlSink {
 public:
  explicit TXmlTextFileSink(TTextWriter& W) : FW(W) {}
  void Put(std::string_view Text) override;

 private:
  TTextWriter& FW;
};
class NUV_API TXmlStreamSink : public TXmlSink {
 public:
  explicit TXmlStreamSink(TStream& S) : FS(S) {}
  void Put(std::string_view Text) override;

 private:
  TStream& FS;
};
/// Writes a new file; Put raises EInOutError like TTextWriter.
NUV_API bool SaveXmlFileImpl(const std::string& FileName, TXmlWriteFunction Write);

template <class W>
bool SaveXmlFile(const std::string& FileName, W&& Write) {
  return SaveXmlFileImpl(FileName, TXmlWriteFunction(Write));
}

template <class W>
void WriteXmlText(TTextWriter* OutFile, bool CreateHeader, W&& Write) {
  if (OutFile == nullptr) return;
  TXmlTextFileSink sink(*OutFile);
  try {
    TXmlWriter w(sink);
    if (CreateHeader) w.Declaration();
    Write(w);
    w.Flush();
  } catch (const std::bad_alloc&) {
    throw EInOutError("Out of memory while writing XML");
  }
}

template <class W>
void WriteXmlStream(TStream* OutStream, bool CreateHeader, W&& Write) {
  if (OutStream == nullptr) return;
  TXmlStreamSink sink(*OutStream);
  try {
    TXmlWriter w(sink);
    if (CreateHeader) w.Declaration();
    Write(w);
    w.Flush();
  } catch (const std::bad_alloc&) {
    throw EInOutError("Out of memory while writing XML");
  }
}

}  // namespace nuv
