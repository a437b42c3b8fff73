// TKohonen: construction, the sizes and the training data, standardization
// and the weights.
#include <cmath>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "Nuv_kohonen/kohonen.h"
#include "foundation/messages.h"
#include "foundation/random.h"

namespace nuv {

namespace {

// Silences a matrix's change event for a scope, so that a handler cannot run
// (and change the matrix) in the middle of an operation of ours.
class TQuietMatrix {
 public:
  explicit TQuietMatrix(TMatrix& M) : FMat(M), FSaved(M.OnChange()) { M.SetOnChange(nullptr); }
  ~TQuietMatrix() { FMat.SetOnChange(std::move(FSaved)); }
  TQuietMatrix(const TQuietMatrix&) = delete;
  TQuietMatrix& operator=(const TQuietMatrix&) = delete;

 private:
  TMatrix& FMat;
  TNotifyEvent FSaved;
};

}  // namespace

TKohonen::TKohonen(TComponent* AOwner) : TComponent(AOwner) {
  try {
    FKohMat = NewWeights(1, 1, 1);
    FMeanVec = NewZeroVector(1);
    FStdDevVec = NewZeroVector(1);
    FDataMat = std::make_unique<TMatrix>();
  } catch (const ENUVKohonenError&) {
    RaiseComponentError<ENUVKohonenError>(this, "not enough memory on heap");
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVKohonenError>(this, "not enough memory on heap");
  }
  SetWeigtsToRandom();
}

TKohonen::~TKohonen() = default;

void TKohonen::RaiseNoMemory() const {
  RaiseComponentError<ENUVKohonenError>(this, "not enough memory");
}

std::unique_ptr<TMat3D> TKohonen::NewWeights(int32_t Nx, int32_t Ny, int32_t Nz) const {
  try {
    auto cube = std::make_unique<TMat3D>();
    cube->Resize(Nx, Ny, Nz);  // new cells are 0.0
    return cube;
  } catch (const ENUVMatrixError&) {
  } catch (const std::bad_alloc&) {
  }
  RaiseNoMemory();
}

std::unique_ptr<TVector> TKohonen::NewZeroVector(int32_t n) const {
  try {
    auto vec = std::make_unique<TVector>();
    vec->SetVecSize(n);
    vec->Fill(0.0);
    return vec;
  } catch (const ENUVVectorError&) {
  } catch (const std::bad_alloc&) {
  }
  RaiseNoMemory();
}

bool TKohonen::ResizeTrainData(int32_t Nc, int32_t Nr, bool Clear) {
  TQuietMatrix quiet(*FDataMat);
  try {
    FDataMat->Resize(Nc, Nr);
  } catch (const ENUVMatrixError&) {
    return false;
  }
  if (Clear) FDataMat->Fill(0.0);
  return true;
}

void TKohonen::SetSizeX(int32_t n) {
  if (n <= 0) return;
  FKohMat = NewWeights(n, FSizeY, FNrInSens);
  FSizeX = n;
}

void TKohonen::SetSizeY(int32_t n) {
  if (n <= 0) return;
  FKohMat = NewWeights(FSizeX, n, FNrInSens);
  FSizeY = n;
}

void TKohonen::SetNumInsens(int32_t n) {
  if (n <= 0) return;
  // Everything that can fail is had before anything changes.
  auto cube = NewWeights(FSizeX, FSizeY, n);
  auto means = NewZeroVector(n);
  auto sds = NewZeroVector(n);
  if (!ResizeTrainData(n, FDataMat->NrOfRows(), true)) RaiseNoMemory();
  FKohMat = std::move(cube);
  FMeanVec = std::move(means);
  FStdDevVec = std::move(sds);
  FNrInSens = n;
  FDataMat->Changed();
}

void TKohonen::SetDataMat(const TMatrix* Value) {
  if (Value == nullptr || Value->NrOfColumns() < 1) return;
  const int32_t nc = Value->NrOfColumns();
  const int32_t nr = Value->NrOfRows();
  auto cube = NewWeights(FSizeX, FSizeY, nc);
  auto means = NewZeroVector(nc);
  auto sds = NewZeroVector(nc);
  if (Value != FDataMat.get()) {
    if (!ResizeTrainData(nc, nr, false)) RaiseNoMemory();
    const size_t rows = static_cast<size_t>(nr);
    for (int32_t c = 1; c <= nc && rows > 0; ++c)
      std::memcpy(FDataMat->ColData(c), Value->ColData(c), rows * sizeof(double));
  }
  FKohMat = std::move(cube);
  FMeanVec = std::move(means);
  FStdDevVec = std::move(sds);
  FNrInSens = nc;
  FDataMat->Changed();
}

void TKohonen::StandardizeData() {
  // The present scales (all 0 when the data are raw): a second standardization
  // is composed with the first, so the vectors keep describing the raw data.
  const int32_t n = FNrInSens;
  std::vector<double> oldMean(static_cast<size_t>(n)), oldSd(static_cast<size_t>(n));
  for (int32_t z = 1; z <= n; ++z) {
    oldMean[static_cast<size_t>(z - 1)] = FMeanVec->GetVal(z);
    oldSd[static_cast<size_t>(z - 1)] = FStdDevVec->GetVal(z);
  }
  FDataMat->StandardizeColumns(FMeanVec.get(), FStdDevVec.get());
  const int32_t cols = std::min(n, FDataMat->NrOfColumns());
  const size_t rows = static_cast<size_t>(FDataMat->NrOfRows());
  for (int32_t z = 1; z <= cols; ++z) {
    const double m = FMeanVec->GetVal(z);
    const double s = FStdDevVec->GetVal(z);
    // A column without spread is left as it was; centring it puts it on the
    // same footing as the others, which is what mapping and GetWeight expect
    // of a column whose standard deviation is 0.
    if (s == 0.0 && std::isfinite(m)) {
      double* p = FDataMat->ColData(z);
      for (size_t r = 0; r < rows; ++r) p[r] -= m;
    }
    const double m0 = oldMean[static_cast<size_t>(z - 1)];
    const double s0 = oldSd[static_cast<size_t>(z - 1)];
    const double scale0 = s0 != 0.0 ? s0 : 1.0;
    FMeanVec->SetVal(z, m0 + scale0 * m);
    FStdDevVec->SetVal(z, (s0 == 0.0 && s == 0.0) ? 0.0 : scale0 * (s != 0.0 ? s : 1.0));
  }
}

double TKohonen::GetWeight(int32_t ix, int32_t iy, int32_t Elem) const {
  if (ix < 1 || ix > FSizeX || iy < 1 || iy > FSizeY || Elem < 1 || Elem > FNrInSens) return 0.0;
  const double w = FKohMat->GetVal(ix, iy, Elem);
  const double m = FMeanVec->GetVal(Elem);
  const double s = FStdDevVec->GetVal(Elem);
  return s != 0.0 ? w * s + m : w + m;
}

void TKohonen::SetWeigtsToRandom() {
  double* w = FKohMat->Data();
  const size_t count = static_cast<size_t>(FSizeX) * static_cast<size_t>(FSizeY) *
                       static_cast<size_t>(FNrInSens);
  for (size_t i = 0; i < count; ++i) w[i] = (Random() - 0.5) * 0.2;
}

}  // namespace nuv
