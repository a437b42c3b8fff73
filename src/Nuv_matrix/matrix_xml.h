// What the XML topic files of the matrix unit share: the names of the
// TMatXmlTag tags and the <values> list of the array classes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <new>
#include <string>
#include <type_traits>

#include "Nuv_matrix/array_buffer.h"
#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// The XML name that a TMatXmlTag stands for: the size attributes and the
/// values element (the begin and end tags are the class's own name).
inline const char* MatXmlName(TMatXmlTag Tag) {
  static constexpr const char* Names[] = {"columns", "rows", "layers", "timeslots",
                                          "values",  "",     "",       ""};
  return Names[Tag <= xmlInvalid ? Tag : xmlInvalid];
}

namespace detail {

/// <values> with Lines lines of PerLine numbers; line k starts at Data + k * Stride.
template <class T>
void WriteXmlList(TXmlWriter& W, const char* Name, const T* Data, int64_t Lines, int64_t PerLine,
                  int64_t Stride) {
  W.BeginElement(Name);
  if (Lines <= 0 || PerLine <= 0) {
    W.EndEmptyElement();
    return;
  }
  W.EndAttributes();
  for (int64_t k = 0; k < Lines; ++k) {
    if (Lines > 1) W.LineBreak();  // one line of numbers stays beside its tags
    const T* p = Data + k * Stride;
    for (int64_t i = 0; i < PerLine; ++i) {
      if (i > 0) W.Separator();
      if constexpr (std::is_floating_point_v<T>) {
        W.Double(p[i]);
      } else {
        W.Int(p[i]);
      }
    }
  }
  W.EndElement(Name);
}

/// The elements of a column-major matrix of NCols x NRows (column stride Stride).
template <class T>
void WriteXmlValues(TXmlWriter& W, const T* Data, int32_t NCols, int32_t NRows, int32_t Stride) {
  WriteXmlList(W, MatXmlName(xmlMatCell), Data, NCols, NRows, Stride);
}

/// Reads a list of exactly Count numbers (the element's start tag just read)
/// into Data, which grows with the numbers read and is never reserved beyond
/// what the rest of the input can fill.
template <class Vec>
void ReadXmlList(TXmlReader& R, int64_t Count, Vec& Data) {
  R.OnlyAttributes({});
  const int64_t left = R.BytesLeft();
  const int64_t room = std::min<int64_t>(Count, left < 0 ? 4096 : left / 2);
  Data.clear();
  if (room > 0 && !TryReserve(Data, static_cast<std::size_t>(room))) throw std::bad_alloc();
  using T = typename Vec::value_type;
  if constexpr (std::is_floating_point_v<T>) {
    R.ReadDoubles(Count, [&Data](int64_t, double v) { Data.push_back(v); });
  } else {
    R.ReadInts(Count, [&Data](int64_t, int32_t v) { Data.push_back(v); });
  }
}

/// The <values> of a column-major matrix into its whole storage: an empty
/// dimension keeps a line of max(NCols, NRows) cells (zeros), which must stay
/// within the allowance for storage that no input fills.
template <class Vec>
void ReadXmlValues(TXmlReader& R, int32_t NCols, int32_t NRows, Vec& Data) {
  const int64_t count = int64_t{NCols} * NRows;
  if (count > 0) {
    ReadXmlList(R, count, Data);
    return;
  }
  const int64_t cells = int64_t{std::max(NCols, 1)} * std::max(NRows, 1);
  if (!WithinUnfilledAllowance(cells, static_cast<int64_t>(sizeof(typename Vec::value_type))))
    R.Fail("an empty matrix of " + std::to_string(cells) + " kept cells is too large");
  ReadXmlList(R, 0, Data);
  Data.assign(static_cast<std::size_t>(cells), typename Vec::value_type());
}

/// The element of a 3-D or 4-D array: the counts as attributes (each at
/// least 1), DataID, and <values> in storage order, PerLine numbers a line.
template <std::size_t N>
void WriteArrayXml(TXmlWriter& W, const char* ClassName, const TMatXmlTag (&Tags)[N],
                   const int32_t (&Counts)[N], const std::string& DataID, const double* Data,
                   int64_t PerLine) {
  W.BeginElement(ClassName);
  W.Attribute("version", XmlSchemeVersion);
  W.Attribute("DataID", DataID);
  int64_t cells = 1;
  for (std::size_t k = 0; k < N; ++k) {
    W.Attribute(MatXmlName(Tags[k]), Counts[k]);
    cells *= Counts[k];
  }
  W.EndAttributes();
  WriteXmlList(W, MatXmlName(xmlMatCell), Data, cells / PerLine, PerLine, PerLine);
  W.EndElement(ClassName);
}

template <std::size_t N>
void ParseArrayXml(TXmlReader& R, const char* ClassName, const TMatXmlTag (&Tags)[N],
                   int32_t (&Counts)[N], std::string& DataID, TDoubleBuffer& Data) {
  const std::string_view known[] = {"version", "DataID", MatXmlName(Tags[0]),
                                    MatXmlName(Tags[1]), MatXmlName(Tags[2]),
                                    MatXmlName(Tags[N - 1])};
  for (const auto& a : R.Attributes())
    if (std::find(std::begin(known), std::end(known), a.first) == std::end(known))
      R.Fail("unknown attribute " + a.first + " of <" + ClassName + ">");
  R.CheckVersion();
  DataID = R.TextAttribute("DataID", std::string());
  int64_t cells = 1;
  for (std::size_t k = 0; k < N; ++k) {
    Counts[k] = static_cast<int32_t>(R.IntAttribute(MatXmlName(Tags[k]), 1, INT32_MAX));
    if (cells > (int64_t{1} << 40) / Counts[k])
      R.Fail("<" + std::string(ClassName) + "> claims more than 2^40 values");
    cells *= Counts[k];
  }
  R.Enter();
  bool values = false;
  while (R.NextChild()) {
    if (R.Name() != MatXmlName(xmlMatCell) || values)
      R.Fail("unexpected element <" + R.Name() + "> in <" + ClassName + ">");
    ReadXmlList(R, cells, Data);
    values = true;
  }
  if (!values) R.Fail("<" + std::string(ClassName) + "> has no <values>");
}

/// The reading function of an object's read forms: the next element
/// ClassName (with DataID when given) parsed into C.
template <class Obj, class Content>
auto ObjectReader(const char* ClassName, Content& C, const std::string& DataID) {
  return [ClassName, &C, &DataID](TXmlReader& R) {
    R.FindObject(ClassName, DataID);
    Obj::ParseXMLElement(R, C);
  };
}

/// A read form of an object: Form(Read) runs the reading function on the
/// input; after a read without fault the object commits what it parsed.
template <class Content, class Obj, class F>
bool ReadObject(Obj& O, const char* ClassName, const std::string& DataID, F&& Form) {
  Content c;
  if (!Form(ObjectReader<Obj>(ClassName, c, DataID))) return false;
  O.CommitXML(c);
  return true;
}

}  // namespace detail
}  // namespace nuv
