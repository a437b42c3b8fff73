// Writing and reading the text file of a PLS model.
#include "Nuv_statis/pls_model_file.h"

#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/exceptions.h"
#include "foundation/strings.h"
#include "foundation/textfile.h"

namespace nuv {

namespace {

constexpr std::string_view kMagic = "NUV PLS model 1";
constexpr std::string_view kCommentKey = "Comment: ";

// The numbers of a line, shortest text that reads back to the same double.
std::string NumberLine(const double* v, int64_t n, int64_t stride) {
  std::string line;
  char buf[32];
  for (int64_t i = 0; i < n; ++i) {
    if (i > 0) line += ' ';
    const auto r = std::to_chars(buf, buf + sizeof buf, v[i * stride]);
    line.append(buf, r.ptr);
  }
  return line;
}

// One line per matrix row, its columns in order.
void WriteRows(TTextWriter& out, const TMatrix& m) {
  for (int32_t r = 1; r <= m.NrOfRows(); ++r)
    out.WriteLine(NumberLine(&m.ColData(1)[r - 1], m.NrOfColumns(), m.ColStride()));
}

// "Key: v1 v2 ...", n values of v or Default where v is absent.
void WriteVector(TTextWriter& out, std::string_view Key, const TVector* v, int32_t n,
                 double Default) {
  std::vector<double> values(static_cast<size_t>(n), Default);
  if (v != nullptr) values.assign(v->Data(), v->Data() + n);
  std::string line(Key);
  line += ':';
  if (n > 0) line += ' ' + NumberLine(values.data(), n, 1);
  out.WriteLine(line);
}

bool Fits(const TMatrix* m, int32_t Cols, int32_t Rows) {
  return m == nullptr || (m->NrOfColumns() == Cols && m->NrOfRows() == Rows);
}

// Reading: the file line by line, each split into its numbers.
class TModelReader {
 public:
  explicit TModelReader(const std::string& FileName) { FReader.Open(FileName); }
  bool Line(std::string& s) { return FReader.ReadLine(s); }
  // The first two lines: the format's name and the comment.
  bool Head(std::string& Comment) {
    std::string s;
    if (!FReader.IsOpen() || !Line(s) || s != kMagic || !Line(s) ||
        s.compare(0, kCommentKey.size(), kCommentKey) != 0)
      return false;
    Comment = s.substr(kCommentKey.size());
    return true;
  }
  // "Key: n" with 0 <= n.
  bool Count(std::string_view Key, int32_t& n) {
    std::string s;
    return Line(s) && After(s, Key, s) && TextToInt32(s, n) && n >= 0;
  }
  // "Key:" followed by exactly n numbers on the same line.
  bool Values(std::string_view Key, int64_t n, std::vector<double>& v) {
    std::string s;
    return Line(s) && After(s, Key, s) && Numbers(s, n, v);
  }
  // "Key:" on a line of its own, then Rows lines of Cols numbers, appended row by row.
  bool Rows(std::string_view Key, int32_t Cols, int32_t Rows, std::vector<double>& v) {
    std::string s;
    if (!Line(s) || !After(s, Key, s) || !s.empty()) return false;
    for (int32_t r = 0; r < Rows; ++r)
      if (!Line(s) || !Numbers(s, Cols, v)) return false;
    return true;
  }

 private:
  // The text after "Key:" and its blanks.
  static bool After(const std::string& s, std::string_view Key, std::string& Rest) {
    if (s.size() <= Key.size() || s.compare(0, Key.size(), Key) != 0 || s[Key.size()] != ':')
      return false;
    size_t p = Key.size() + 1;
    while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
    Rest = s.substr(p);
    return true;
  }
  // Exactly n numbers separated by blanks or tabs, appended to v.
  static bool Numbers(const std::string& s, int64_t n, std::vector<double>& v) {
    const char* p = s.data();
    const char* end = p + s.size();
    int64_t found = 0;
    while (true) {
      while (p < end && (*p == ' ' || *p == '\t')) ++p;
      if (p == end) break;
      const char* q = p;
      while (q < end && *q != ' ' && *q != '\t') ++q;
      double x;
      if (found == n || !detail::ParseDoubleToken(p, q, x)) return false;
      v.push_back(x);
      ++found;
      p = q;
    }
    return found == n;
  }

  TTextReader FReader;
};

// Moves Cols x Rows values, stored row by row, into m.
void ToMatrix(const std::vector<double>& v, int32_t Cols, int32_t Rows, TMatrix* m) {
  if (m == nullptr) return;
  m->Resize(Cols, Rows);
  for (int32_t r = 0; r < Rows; ++r)
    for (int32_t c = 0; c < Cols; ++c)
      m->ColData(c + 1)[r] =
          v[static_cast<size_t>(r) * static_cast<size_t>(Cols) + static_cast<size_t>(c)];
  m->Changed();
}

void ToVector(const std::vector<double>& v, TVector* out) {
  if (out == nullptr || v.empty()) return;
  out->Resize(static_cast<int32_t>(v.size()));
  for (size_t i = 0; i < v.size(); ++i) out->Data()[i] = v[i];
  out->SetIsEmpty(false);
  out->Changed();
}

}  // namespace

std::string StorePLSModel(const std::string& FileName, const std::string& Comment,
                          const TMatrix* Coeffs, const TMatrix* Weights, const TMatrix* XLoadings,
                          const TMatrix* YLoadings, const TVector* XMeans, const TVector* XScales,
                          const TVector* YMeans, const TVector* YScales) {
  if (Coeffs == nullptr || Coeffs->NrOfRows() < 1 || Coeffs->NrOfColumns() < 1)
    return "StorePLSModel: coefficients not assigned";
  const int32_t p = Coeffs->NrOfRows() - 1, m = Coeffs->NrOfColumns();
  const TMatrix* any =
      Weights != nullptr ? Weights : (XLoadings != nullptr ? XLoadings : YLoadings);
  const int32_t a = any != nullptr ? any->NrOfColumns() : 0;
  if (!Fits(Weights, a, p) || !Fits(XLoadings, a, p) || !Fits(YLoadings, a, m) ||
      (a > 0 && (Weights == nullptr || XLoadings == nullptr || YLoadings == nullptr)))
    return "StorePLSModel: sizes of weights and loadings do not match";
  const auto sized = [](const TVector* v, int32_t n) { return v == nullptr || v->NrOfElem() == n; };
  if (!sized(XMeans, p) || !sized(XScales, p) || !sized(YMeans, m) || !sized(YScales, m))
    return "StorePLSModel: sizes of means or scales do not match";
  try {
    TTextWriter out(FileName);
    out.WriteLine(kMagic);
    out.WriteLine(std::string(kCommentKey) +
                  ReplaceCharInString(ReplaceCharInString(Comment, '\n', ' '), '\r', ' '));
    out.WriteLine("Predictors: " + std::to_string(p));
    out.WriteLine("Responses: " + std::to_string(m));
    out.WriteLine("Components: " + std::to_string(a));
    WriteVector(out, "XMean", XMeans, p, 0.0);
    WriteVector(out, "XScale", XScales, p, 1.0);
    WriteVector(out, "YMean", YMeans, m, 0.0);
    WriteVector(out, "YScale", YScales, m, 1.0);
    out.WriteLine("Coefficients:");
    WriteRows(out, *Coeffs);
    if (a > 0) {
      out.WriteLine("Weights:");
      WriteRows(out, *Weights);
      out.WriteLine("XLoadings:");
      WriteRows(out, *XLoadings);
      out.WriteLine("YLoadings:");
      WriteRows(out, *YLoadings);
    }
    out.WriteLine("End");
    out.Close();
  } catch (const EInOutError& e) {
    return e.Message();
  }
  return std::string();
}

bool LoadPLSModelComment(const std::string& FileName, std::string& Comment) {
  TModelReader in(FileName);
  return in.Head(Comment);
}

bool LoadPLSModel(const std::string& FileName, std::string& Comment, TMatrix* Coeffs,
                  TMatrix* Weights, TMatrix* XLoadings, TMatrix* YLoadings, TVector* XMeans,
                  TVector* XScales, TVector* YMeans, TVector* YScales) {
  TModelReader in(FileName);
  std::string comment, line;
  if (!in.Head(comment)) return false;
  int32_t p, m, a;
  if (!in.Count("Predictors", p) || !in.Count("Responses", m) || !in.Count("Components", a) ||
      m < 1 || p == INT32_MAX)
    return false;
  // Everything is read into growing scratch vectors first: the counts above are not trusted
  // with memory, and the outputs change only when the whole file has been read.
  std::vector<double> xMean, xScale, yMean, yScale, coeffs, weights, xLoad, yLoad;
  if (!in.Values("XMean", p, xMean) || !in.Values("XScale", p, xScale) ||
      !in.Values("YMean", m, yMean) || !in.Values("YScale", m, yScale) ||
      !in.Rows("Coefficients", m, p + 1, coeffs))
    return false;
  if (a > 0 && (!in.Rows("Weights", a, p, weights) || !in.Rows("XLoadings", a, p, xLoad) ||
                !in.Rows("YLoadings", a, m, yLoad)))
    return false;
  if (!in.Line(line) || line != "End") return false;
  Comment = comment;
  ToMatrix(coeffs, m, p + 1, Coeffs);
  ToMatrix(weights, a, p, Weights);
  ToMatrix(xLoad, a, p, XLoadings);
  ToMatrix(yLoad, a, m, YLoadings);
  ToVector(xMean, XMeans);
  ToVector(xScale, XScales);
  ToVector(yMean, YMeans);
  ToVector(yScale, YScales);
  return true;
}

}  // namespace nuv
