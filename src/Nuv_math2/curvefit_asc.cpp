// TCurveFit: export and import of the pairs as an ASC text file.
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "Nuv_math2/curvefit.h"

namespace nuv {

namespace {

// Feeds characters to ParseQuotedName until a name is complete or the file ends.
void SkipQuotedName(TTextReader& Reader, TQuotedStrState& State, std::string& Name) {
  char c;
  while (Reader.ReadChar(c))
    if (ParseQuotedName(c, '"', Name, State)) return;
  ParseQuotedName(' ', '"', Name, State);
}

}  // namespace

std::string TCurveFit::ExportAsASC(const std::string& FName, const std::string& Comment,
                                   int32_t Precision) const {
  std::unique_ptr<TTextWriter> out;
  try {
    out = std::make_unique<TTextWriter>(FName);
  } catch (const EInOutError& e) {
    return e.Message();
  }
  // A line end inside the comment would shift every later header line; readers take a
  // lone CR for one too.
  std::string first = Comment.empty() ? "Exported by NUV TCurveFit component: " + FName : Comment;
  first = ReplaceCharInString(ReplaceCharInString(first, '\n', ' '), '\r', ' ');
  out->WriteLine(first);
  out->WriteLine("2\t;nr. of columns");
  out->WriteLine(std::to_string(FNumData) + "\t;nr. of rows");
  out->WriteLine("FALSE TRUE FALSE\t;row attributes, column names, row names");
  out->WriteLine("x   y");
  const double* x = ColX();
  const double* y = ColY();
  std::string line;
  for (int32_t i = 0; i < FNumData; ++i) {
    line = strff(x[i], 1, Precision);
    line += '\t';
    line += strff(y[i], 1, Precision);
    out->WriteLine(line);
  }
  out->Close();
  return std::string();
}

int32_t TCurveFit::ImportASC(const std::string& FName) {
  InvalidateCaches();
  std::string comment;
  int32_t nc = 0, nr = 0;
  bool rowAttrib = false, colNames = false, rowNames = false, colAttrib = false;
  const int32_t code =
      ReadHeaderOfASC(FName, comment, nc, nr, rowAttrib, colNames, rowNames, colAttrib);
  if (code != 0) return code;
  if (colAttrib) return -7;
  if (nc != 2)
    throw ENUVMath2Error("TCurveFit.ImportASC: number of columns must be 2 (is actually " +
                         std::to_string(nc) + ").");
  TTextReader reader;
  if (!reader.Open(FName)) return ascCannotOpen;
  for (int i = 0; i < 4; ++i) reader.SkipLine();
  // The pairs are read into scratch storage that grows with what the file holds (its row
  // count is not trusted with memory) and replace the fitter's only when all are read.
  std::vector<double> xs, ys;
  std::unique_ptr<TMatrix> data;
  try {
    TQuotedStrState state = qssIdle;
    std::string name;
    if (colNames)
      for (int32_t c = 0; c < nc; ++c) SkipQuotedName(reader, state, name);
    for (int32_t r = 0; r < nr; ++r) {
      double v = 0.0, vx = 0.0, vy = 0.0;
      if (rowAttrib && !reader.ReadDouble(v)) return -5;
      if (rowNames) SkipQuotedName(reader, state, name);
      if (!reader.ReadDouble(vx) || !reader.ReadDouble(vy)) return -6;
      xs.push_back(vx);
      ys.push_back(vy);
    }
    data = std::make_unique<TMatrix>(nullptr);
    data->Resize(2, nr);
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
  } catch (const ENUVMatrixError&) {
    RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
  }
  std::copy(xs.begin(), xs.end(), data->ColData(1));
  std::copy(ys.begin(), ys.end(), data->ColData(2));
  FData.swap(data);
  static_cast<TCurveFitSums&>(*this) = TCurveFitSums();
  FMinX = FMinY = uc_MaxDouble;
  FMaxX = FMaxY = -uc_MaxDouble;
  FErrIndic = TCurveFitErrors();
  for (int32_t r = 0; r < nr; ++r) AdjustSums<true>(xs[static_cast<size_t>(r)], ys[static_cast<size_t>(r)]);
  FNumData = nr;
  return 0;
}

}  // namespace nuv
