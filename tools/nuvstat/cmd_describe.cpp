// describe: the vector statistics of every column.
#include <cmath>

#include "Nuv_vector/Nuv_vector.h"
#include "commands.h"
#include "progress.h"

namespace nuvstat {

Report RunDescribe(const DataSet& Data, const Options&) {
  RequireRows(Data, 1, "describe");
  Report report = StartReport("describe", Data);
  Table t;
  t.Name = "describe";
  t.Title = "Column statistics";
  t.KeyHeader = "column";
  t.Columns = {"n", "mean", "sd", "min", "q1", "median", "q3", "max", "skewness", "kurtosis"};
  const int32_t n = Data.NRows();
  nuv::TVector col;
  col.Resize(n);
  for (int32_t c = 1; c <= Data.NCols(); ++c) {
    Data.Mat->CopyColToVec(&col, c, 1, n);
    double mean = 0.0, var = 0.0, mn = 0.0, mx = 0.0, q1 = 0.0, q2 = 0.0, q3 = 0.0;
    double skew = 0.0, kurt = 0.0;
    col.MeanVar(0, 0, mean, var);
    col.MinMax(0, 0, mn, mx);
    col.Quartiles(0, 0, q1, q2, q3);
    col.SkewKurtSample(0, 0, skew, kurt);
    CheckInterrupted();
    // The vector's MeanVar reports a variance of 1 for fewer than three values
    // and SkewKurtSample zeros for fewer than four: those are not figures of the data.
    const Cell sd = n >= 3 ? Cell::Number(std::sqrt(var)) : Cell::Missing();
    // A constant column has no shape (SkewKurtSample leaves zeros there too).
    const bool shaped = n >= 4 && mn < mx;
    const Cell sk = shaped ? Cell::Number(skew) : Cell::Missing();
    const Cell ku = shaped ? Cell::Number(kurt) : Cell::Missing();
    t.AddRow(Data.Names[static_cast<size_t>(c - 1)],
             {Cell::Number(n), Cell::Number(mean), sd, Cell::Number(mn), Cell::Number(q1),
              Cell::Number(q2), Cell::Number(q3), Cell::Number(mx), sk, ku});
  }
  report.Tables.push_back(std::move(t));
  return report;
}

}  // namespace nuvstat
