// TCurveFit: construction, the stored pairs and the running sums.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "Nuv_math2/curvefit.h"
#include "Nuv_math2/curvefit_internal.h"

namespace nuv {

namespace {

constexpr int32_t kInitialCapacity = 1000;
// A value at or below this magnitude counts as zero in the reciprocal sums.
constexpr double kZeroLimit = 1e-30;

}  // namespace

TCurveFit::TCurveFit(TComponent* AOwner) : TComponent(AOwner) {
  try {
    FData = std::make_unique<TMatrix>(nullptr);
    FData->Resize(2, kInitialCapacity);
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVMath2Error>(this, "not enough memory on heap");
  } catch (const ENUVMatrixError&) {
    RaiseComponentError<ENUVMath2Error>(this, "not enough memory on heap");
  }
  Init();
}

TCurveFit::~TCurveFit() = default;

void TCurveFit::InvalidateCaches() {
  FSplineValid = false;
  FPenSplineValid = false;
  FKendallValid = false;
  if (FSpline) FSpline->KnotsValid = false;
}

void TCurveFit::Init() {
  static_cast<TCurveFitSums&>(*this) = TCurveFitSums();
  // Rows beyond the pairs already hold zeros or removed pairs that nothing reads: clearing
  // the pairs' rows is enough, and keeps Init from writing the whole capacity.
  std::fill_n(FData->ColData(1), FNumData, 0.0);
  std::fill_n(FData->ColData(2), FNumData, 0.0);
  FNumData = 0;
  FPSplineFQ = 0.0;
  FMinX = FMinY = uc_MaxDouble;
  FMaxX = FMaxY = -uc_MaxDouble;
  FErrIndic = TCurveFitErrors();
  InvalidateCaches();
}

template <bool Add>
void TCurveFit::AdjustSums(double xd, double yd) {
  if (Add) {
    if (xd < FMinX) FMinX = xd;
    if (yd < FMinY) FMinY = yd;
    if (xd > FMaxX) FMaxX = xd;
    if (yd > FMaxY) FMaxY = yd;
  }
  // Removing subtracts the very terms that adding computed, so one routine serves both.
  const auto acc = [](Extended& Sum, Extended Term) {
    if (Add)
      Sum += Term;
    else
      Sum -= Term;
  };
  const auto flag = [this](TCurveFitError e) {
    if (Add) FErrIndic.Include(e);
  };
  const Extended x = xd, y = yd;
  const Extended xq = x * x, yq = y * y, diff = x - y;
  acc(sumx, x);
  acc(sumy, y);
  acc(sumxq, xq);
  acc(sumyq, yq);
  acc(sumDiff, diff);
  acc(SumDiffq, diff * diff);
  acc(sumxy, x * y);
  acc(sumx2y, xq * y);
  acc(sumxy2, x * yq);
  acc(sumx3, xq * x);
  acc(sumy3, yq * y);
  acc(sumx4, xq * xq);
  acc(sumy4, yq * yq);

  const Extended M = uc_MaxReal;
  const bool xZero = std::fabs(xd) <= kZeroLimit;
  const bool yZero = std::fabs(yd) <= kZeroLimit;
  const Extended rx = xZero ? M : 1.0L / x;
  const Extended ry = yZero ? M : 1.0L / y;
  if (yZero) {
    flag(cfeYEQ0);
    acc(sum1byy, M);
    acc(sum1byyq, M * M);
    acc(sumxbyy, x * M);
    if (xZero) {
      acc(sum1byxy, M);
      flag(cfeXEQ0);
    } else {
      acc(sum1byxy, M / x);
    }
  } else {
    acc(sum1byy, ry);
    acc(sum1byyq, ry * ry);
    acc(sumxbyy, x * ry);
    if (xZero) {
      flag(cfeXEQ0);
      acc(sum1byxy, M / y);
    } else {
      acc(sum1byxy, rx * ry);
    }
  }
  if (xZero) {
    flag(cfeXEQ0);
    acc(sum1byx, M);
    acc(sum1byxq, M * M);
    acc(sumybyx, y * M);
  } else {
    acc(sum1byx, rx);
    acc(sum1byxq, rx * rx);
    acc(sumybyx, y * rx);
  }

  const bool yPos = yd > 0.0;
  const Extended ly = yPos ? std::log(y) : 0.0L;
  if (xd <= 0.0) {
    flag(cfeXLE0);
  } else {
    const Extended lx = std::log(x);
    acc(sumlnx, lx);
    acc(sumlnxq, lx * lx);
    acc(sumylnx, y * lx);
    acc(sumxlnx, x * lx);
    acc(sumyqlnx, yq * lx);
    if (yd != 0.0)
      acc(sumlnxbyy, yZero ? lx / y : lx * ry);
    else
      flag(cfeYEQ0);
    if (!yPos)
      flag(cfeYLE0);
    else
      acc(sumlnxlny, lx * ly);
  }
  if (!yPos) {
    flag(cfeYLE0);
  } else {
    acc(sumlny, ly);
    acc(sumylny, y * ly);
    acc(sumlnyq, ly * ly);
    acc(sumxlny, x * ly);
    acc(sumxqlny, xq * ly);
    if (xd != 0.0)
      acc(sumlnybyx, xZero ? ly / x : ly * rx);
    else
      flag(cfeXEQ0);
  }
}

template void TCurveFit::AdjustSums<true>(double, double);
template void TCurveFit::AdjustSums<false>(double, double);

void TCurveFit::GrowData() {
  const int32_t rows = FData->NrOfRows();
  if (FNumData < rows) return;
  constexpr int32_t kMaxRows = std::numeric_limits<int32_t>::max();
  if (rows == kMaxRows) RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
  // Doubling keeps entering n pairs at O(n) copies in all.
  const int32_t grown = rows < kInitialCapacity ? kInitialCapacity
                        : rows > kMaxRows / 2   ? kMaxRows
                                                : 2 * rows;
  try {
    FData->Resize(2, grown);
  } catch (const ENUVMatrixError&) {
    RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
  }
}

int32_t TCurveFit::EnterStatValue(double x, double y) {
  GrowData();
  AdjustSums<true>(x, y);
  FData->ColData(1)[FNumData] = x;
  FData->ColData(2)[FNumData] = y;
  ++FNumData;
  InvalidateCaches();
  return FNumData;
}

void TCurveFit::RemoveStatValue(int32_t Nr) {
  InvalidateCaches();
  if (Nr < 1 || Nr > FNumData) return;
  double* cx = FData->ColData(1);
  double* cy = FData->ColData(2);
  AdjustSums<false>(cx[Nr - 1], cy[Nr - 1]);
  const size_t tail = static_cast<size_t>(FNumData - Nr);
  std::memmove(cx + Nr - 1, cx + Nr, tail * sizeof(double));
  std::memmove(cy + Nr - 1, cy + Nr, tail * sizeof(double));
  --FNumData;
}

void TCurveFit::FlipXY() {
  std::swap(FMinX, FMinY);
  std::swap(FMaxX, FMaxY);
  std::swap(sumx, sumy);
  std::swap(sumxq, sumyq);
  std::swap(sumx2y, sumxy2);
  std::swap(sumx3, sumy3);
  std::swap(sumx4, sumy4);
  std::swap(sum1byy, sum1byx);
  std::swap(sum1byyq, sum1byxq);
  std::swap(sumxbyy, sumybyx);
  std::swap(sumlnx, sumlny);
  std::swap(sumlnxq, sumlnyq);
  std::swap(sumylnx, sumxlny);
  std::swap(sumxlnx, sumylny);
  std::swap(sumlnxbyy, sumlnybyx);
  std::swap(sumxqlny, sumyqlnx);
  sumDiff = -sumDiff;
  // The conditions describe the values now in the other column: they move with them, or
  // the transformed fits would trust logarithmic sums that left pairs out.
  TCurveFitErrors flipped;
  if (FErrIndic.Contains(cfeXLE0)) flipped.Include(cfeYLE0);
  if (FErrIndic.Contains(cfeYLE0)) flipped.Include(cfeXLE0);
  if (FErrIndic.Contains(cfeXEQ0)) flipped.Include(cfeYEQ0);
  if (FErrIndic.Contains(cfeYEQ0)) flipped.Include(cfeXEQ0);
  FErrIndic = flipped;
  std::swap_ranges(FData->ColData(1), FData->ColData(1) + FData->NrOfRows(),
                   FData->ColData(2));
  InvalidateCaches();
}

double TCurveFit::GetDataX(int32_t ix) const {
  return ix >= 1 && ix <= FNumData ? ColX()[ix - 1] : 0.0;
}

double TCurveFit::GetDataY(int32_t ix) const {
  return ix >= 1 && ix <= FNumData ? ColY()[ix - 1] : 0.0;
}

void TCurveFit::SetSplineNatural1(bool Value) {
  FNatural1 = Value;
  FSplineValid = false;
}

void TCurveFit::SetSplineNaturalN(bool Value) {
  FNaturalN = Value;
  FSplineValid = false;
}

void TCurveFit::SetSplineDerivY1(double Value) {
  FY1Dash = Value;
  FSplineValid = false;
}

void TCurveFit::SetSplineDerivYN(double Value) {
  FYNDash = Value;
  FSplineValid = false;
}

void TCurveFit::SetSplineSmoothingFactor(double Value) {
  FPSplineSmooth = Value;
  FPenSplineValid = false;
}

}  // namespace nuv
