// Covariance and correlation matrices between columns, over the rows where
// both cells of a pair are valid.
#include <algorithm>
#include <cmath>
#include <exception>

#include "Nuv_datatable/datatable_internal.h"

namespace nuv {

namespace {

/// One column of the covariance range as GetElem reads it: its values over
/// the table rows of the row range and whether each is valid. A column
/// outside the table reads as valid zeros (no storage).
struct TCovCol {
  std::vector<double> X;
  std::vector<uint8_t> Ok;
  bool AllOk = true;
  bool Outside = false;
};

/// Sums over the rows where both columns are valid; rows of the range outside
/// the table (valid zeros) are added in closed form by the caller.
struct TPairSums {
  int64_t B = 0;
  double Sx = 0, Sy = 0;
};

TPairSums PairSums(const TCovCol& a, const TCovCol& b, size_t n) {
  TPairSums s;
  if (a.Outside && b.Outside) {
    s.B = static_cast<int64_t>(n);
    return s;
  }
  const double* x = a.X.data();
  const double* y = b.X.data();
  if (a.AllOk && b.AllOk) {
    for (size_t r = 0; r < n; ++r) {
      s.Sx += a.Outside ? 0.0 : x[r];
      s.Sy += b.Outside ? 0.0 : y[r];
    }
    s.B = static_cast<int64_t>(n);
    return s;
  }
  for (size_t r = 0; r < n; ++r) {
    const bool ok = (a.Outside || a.Ok[r]) && (b.Outside || b.Ok[r]);
    if (!ok) continue;
    s.Sx += a.Outside ? 0.0 : x[r];
    s.Sy += b.Outside ? 0.0 : y[r];
    ++s.B;
  }
  return s;
}

/// Calls F(x, y) for the rows where both columns are valid.
template <class F>
void ForEachPair(const TCovCol& a, const TCovCol& b, size_t n, F&& Fn) {
  for (size_t r = 0; r < n; ++r) {
    if (!((a.Outside || a.Ok[r]) && (b.Outside || b.Ok[r]))) continue;
    Fn(a.Outside ? 0.0 : a.X[r], b.Outside ? 0.0 : b.X[r]);
  }
}

bool Same(double a, double b) { return a == b || (a != a && b != b); }

}  // namespace

bool TDataTable::CalcCovar(TMatrix* CovarMat, int32_t LoC, int32_t HiC, int32_t LoR, int32_t HiR,
                           int32_t Mode) {
  ClearAbort();
  if (CovarMat == nullptr) return false;
  const int64_t n64 = int64_t{HiC} - LoC + 1;
  if (n64 > CovarMat->NrOfColumns() || n64 > CovarMat->NrOfRows()) return false;
  if (n64 <= 0) return true;
  const auto n = static_cast<int32_t>(n64);

  // Rows of the range inside the table, and those outside it: those read as
  // valid zeros and enter every sum in closed form.
  const int32_t r1 = std::max(LoR, 1), r2 = std::min(HiR, FNrOfRows);
  const size_t rows = r2 >= r1 ? static_cast<size_t>(r2 - r1 + 1) : 0;
  const int64_t outside = (HiR >= LoR ? int64_t{HiR} - LoR + 1 : 0) - static_cast<int64_t>(rows);

  std::vector<TCovCol> cols(static_cast<size_t>(n));
  std::vector<double> means(static_cast<size_t>(n), 0.0);
  try {
    for (int32_t i = 0; i < n; ++i) {
      TCovCol& k = cols[static_cast<size_t>(i)];
      const int64_t c = int64_t{LoC} + i;
      if (c < 1 || c > FNrOfCols) {
        k.Outside = true;
        continue;
      }
      const auto ci = static_cast<int32_t>(c);
      k.X.resize(rows);
      k.Ok.resize(rows);
      const double* p = NumericData->ColData(ci) + (r1 - 1);
      const uint8_t* s = ColStates(ci) + (r1 - 1);
      const bool round = IsCategorial(ci);
      for (size_t r = 0; r < rows; ++r) {
        k.X[r] = round ? detail::RoundCategory(p[r]) : p[r];
        k.Ok[r] = (s[r] & 3) == 0;
        k.AllOk = k.AllOk && k.Ok[r];
      }
    }
  } catch (const std::exception&) {
    RaiseNoHeap();
  }
  if (Mode > 0) {
    for (int32_t i = 0; i < n; ++i) {
      const int64_t c = int64_t{LoC} + i;
      double m = 0.0, v = 0.0;
      // A column outside the table holds zeros: its mean is 0.
      if (c >= 1 && c <= FNrOfCols)
        MeanVarOfNumCells(static_cast<int32_t>(c), LoR, static_cast<int32_t>(c), HiR, m, v);
      means[static_cast<size_t>(i)] = m;
      ProgressStep();
    }
  }
  const bool direct = !CovarMat->OnChange();
  auto put = [&](int32_t i, int32_t j, double v) {
    if (direct) {
      CovarMat->ColData(i)[j - 1] = v;
      CovarMat->ColData(j)[i - 1] = v;
    } else {
      CovarMat->SetVal(j, i, v);
      CovarMat->SetVal(i, j, v);
    }
  };
  for (int32_t i = 1; i <= n; ++i) {
    ProgressStep();
    if (AbortRequested()) return false;
    const TCovCol& a = cols[static_cast<size_t>(i - 1)];
    for (int32_t j = 1; j <= i; ++j) {
      const TCovCol& b = cols[static_cast<size_t>(j - 1)];
      const TPairSums ps = PairSums(a, b, rows);
      const int64_t bn = ps.B + outside;
      const double nb = static_cast<double>(bn);
      double v = 0.0;
      if (Mode == 0 || Mode == 1 || Mode == 4) {
        // Fewer than two common rows leave no divisor: the entry is 0.
        if (bn >= 2) {
          const double mx = Mode == 1 ? means[static_cast<size_t>(i - 1)] : 0.0;
          const double my = Mode == 1 ? means[static_cast<size_t>(j - 1)] : 0.0;
          double s = 0.0;
          if (Mode == 4)
            ForEachPair(a, b, rows, [&](double x, double y) { s += (x - y) * (x - y); });
          else
            ForEachPair(a, b, rows, [&](double x, double y) { s += (x - mx) * (y - my); });
          if (Mode != 4) s += static_cast<double>(outside) * mx * my;
          v = s / (nb - 1);
        }
      } else if (Mode == 2 || Mode == 3) {
        if (i == j) {
          v = 1.0;
        } else if (bn > 2) {
          // About the pair's own means, with the rounding correction of the
          // centred sums, so that a large offset does not cancel the spread.
          const double mx = ps.Sx / nb, my = ps.Sy / nb;
          double dx = 0, dy = 0, sxx = 0, syy = 0, sxy = 0;
          bool xVaries = false, yVaries = false;
          double x0 = 0, y0 = 0;
          bool first = true;
          auto add = [&](double x, double y, double w) {
            if (first) {
              x0 = x;
              y0 = y;
              first = false;
            }
            xVaries = xVaries || !Same(x, x0);
            yVaries = yVaries || !Same(y, y0);
            const double ex = x - mx, ey = y - my;
            dx += w * ex;
            dy += w * ey;
            sxx += w * ex * ex;
            syy += w * ey * ey;
            sxy += w * ex * ey;
          };
          ForEachPair(a, b, rows, [&](double x, double y) { add(x, y, 1.0); });
          if (outside > 0) add(0.0, 0.0, static_cast<double>(outside));
          sxx -= dx * dx / nb;
          syy -= dy * dy / nb;
          sxy -= dx * dy / nb;
          if (xVaries && yVaries && sxx > 0 && syy > 0) {
            v = sxy / std::sqrt(sxx * syy);
            v = v > 1 ? 1 : (v < -1 ? -1 : v);
            if (Mode == 3) v *= v;
          }
        }
      }
      put(i, j, v);
    }
  }
  if (!direct) return true;
  CovarMat->Changed();
  return true;
}

// --- standardization and centring -------------------------------------------

void TDataTable::StandardizeNumCellColumns(TVector* Means, TVector* StdDevs) {
  bool changed = false;
  for (int32_t c = 1; c <= FNrOfCols; ++c) {
    if (!IsNumericCol(c)) continue;
    double m = 0.0, v = 0.0;
    MeanVarOfNumCells(c, 1, c, FNrOfRows, m, v);
    const double sd = std::sqrt(v > 0 ? v : 0.0);
    if (Means != nullptr) Means->SetVal(c, m);
    if (StdDevs != nullptr) StdDevs->SetVal(c, sd);
    if (!(v > 0)) continue;
    double* p = NumericData->ColData(c);
    const uint8_t* s = ColStates(c);
    for (int32_t r = 0; r < FNrOfRows; ++r)
      if ((s[r] & 3) == 0) p[r] = (p[r] - m) / sd;
    changed = true;
  }
  if (changed) ChangedData();
}

void TDataTable::MeanCenterNumCellColumns(TVector* Means) {
  for (int32_t c = 1; c <= FNrOfCols; ++c) {
    if (!IsNumericCol(c)) continue;
    double m = 0.0, v = 0.0;
    MeanVarOfNumCells(c, 1, c, FNrOfRows, m, v);
    if (Means != nullptr) Means->SetVal(c, m);
    double* p = NumericData->ColData(c);
    const uint8_t* s = ColStates(c);
    for (int32_t r = 0; r < FNrOfRows; ++r)
      if ((s[r] & 3) == 0) p[r] -= m;
  }
  ChangedData();
}

namespace {

/// Per-row mean and variance of the numeric cells (variance 1 below 3 cells),
/// accumulated column by column over the contiguous columns.
void RowMeanVar(const TDataTable& T, std::vector<double>& Mean, std::vector<double>& Var) {
  const auto rows = static_cast<size_t>(T.NrOfRows());
  std::vector<double> cnt(rows, 0.0), d(rows, 0.0), q(rows, 0.0);
  Mean.assign(rows, 0.0);
  Var.assign(rows, 1.0);
  const std::vector<uint8_t>& st = TDataTableAccess::States(T);
  auto numeric = [&](int32_t c) {
    const TMScaleType t = T.GetMScaleType(c);
    return t == stInterval || t == stRatio;
  };
  for (int32_t c = 1; c <= T.NrOfColumns(); ++c) {
    if (!numeric(c)) continue;
    const double* p = T.NumericData->ColData(c);
    const uint8_t* s = st.data() + static_cast<size_t>(c - 1) * rows;
    for (size_t r = 0; r < rows; ++r) {
      const bool ok = (s[r] & 3) == 0;
      Mean[r] += ok ? p[r] : 0.0;
      cnt[r] += ok ? 1.0 : 0.0;
    }
  }
  for (size_t r = 0; r < rows; ++r) Mean[r] = cnt[r] > 0 ? Mean[r] / cnt[r] : 0.0;
  for (int32_t c = 1; c <= T.NrOfColumns(); ++c) {
    if (!numeric(c)) continue;
    const double* p = T.NumericData->ColData(c);
    const uint8_t* s = st.data() + static_cast<size_t>(c - 1) * rows;
    for (size_t r = 0; r < rows; ++r) {
      const double e = (s[r] & 3) == 0 ? p[r] - Mean[r] : 0.0;
      d[r] += e;
      q[r] += e * e;
    }
  }
  for (size_t r = 0; r < rows; ++r)
    if (cnt[r] > 2) Var[r] = (q[r] - d[r] * d[r] / cnt[r]) / (cnt[r] - 1);
}

void NormalizeRows(TDataTable& T, bool Scale, TVector* Means, TVector* StdDevs) {
  if (!T.ListOfCategorialVars().empty())
    throw ENUVDataTableError(Scale ? "standardization of rows is not possible with nominal or "
                                     "ordinal variables"
                                   : "mean centering of rows is not possible with nominal or "
                                     "ordinal variables");
  std::vector<double> mean, var;
  try {
    RowMeanVar(T, mean, var);
  } catch (const std::exception&) {
    TDataTableAccess::RaiseNoHeap(T);
  }
  const auto rows = static_cast<size_t>(T.NrOfRows());
  std::vector<double> sd(rows);
  for (size_t r = 0; r < rows; ++r) {
    sd[r] = std::sqrt(var[r] > 0 ? var[r] : 0.0);
    if (Means != nullptr) Means->SetVal(static_cast<int32_t>(r) + 1, mean[r]);
    if (StdDevs != nullptr) StdDevs->SetVal(static_cast<int32_t>(r) + 1, sd[r]);
  }
  const std::vector<uint8_t>& st = TDataTableAccess::States(T);
  for (int32_t c = 1; c <= T.NrOfColumns(); ++c) {
    double* p = T.NumericData->ColData(c);
    const uint8_t* s = st.data() + static_cast<size_t>(c - 1) * rows;
    for (size_t r = 0; r < rows; ++r) {
      if ((s[r] & 3) != 0) continue;
      p[r] -= mean[r];
      if (Scale && var[r] > 0) p[r] /= sd[r];
    }
  }
  T.ChangedData();
}

}  // namespace

void TDataTable::StandardizeNumCellRows(TVector* Means, TVector* StdDevs) {
  NormalizeRows(*this, true, Means, StdDevs);
}

void TDataTable::MeanCenterNumCellRows(TVector* Means) {
  NormalizeRows(*this, false, Means, nullptr);
}

// --- dichotomy and constancy ---------------------------------------------------

bool TDataTable::CheckDichotomousColumn(int32_t col, double& v1, double& v2) const {
  v1 = v2 = 0.0;
  if (col < 1 || col > FNrOfCols || FNrOfRows < 2) return false;
  const double* p = NumericData->ColData(col);
  v1 = p[0];
  int32_t r = 1;
  while (r < FNrOfRows && Same(p[r], v1)) ++r;
  if (r == FNrOfRows) return false;
  v2 = p[r];
  for (; r < FNrOfRows; ++r)
    if (!Same(p[r], v1) && !Same(p[r], v2)) return false;
  return true;
}

bool TDataTable::IsConstantColumn(int32_t ColIx) const {
  if (ColIx < 1 || ColIx > FNrOfCols) return false;
  const double* p = NumericData->ColData(ColIx);
  for (int32_t r = 1; r < FNrOfRows; ++r)
    if (!Same(p[r], p[0])) return false;
  return true;
}

}  // namespace nuv
