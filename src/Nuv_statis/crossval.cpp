#include "Nuv_statis/crossval.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "foundation/bitfld.h"
#include "foundation/bit_ops.h"
#include "foundation/exceptions.h"
#include "foundation/messages.h"
#include "foundation/progress.h"
#include "foundation/random.h"

namespace nuv {

namespace {

/// First clear bit in From..To of Bits (word by word), 0 when there is none.
int32_t FirstClearBit(const TBitFld& Bits, int32_t From, int32_t To) {
  const std::vector<uint64_t>& words = Bits.Words();
  for (int64_t b = From; b <= To;) {
    const size_t wi = static_cast<size_t>(b) >> 6;
    const uint64_t clear = ~words[wi] & (~uint64_t{0} << (static_cast<uint32_t>(b) & 63u));
    if (clear != 0) {
      const int64_t pos = static_cast<int64_t>(wi << 6) + detail::CountTrailingZeros64(clear);
      return pos <= To ? static_cast<int32_t>(pos) : 0;
    }
    b = static_cast<int64_t>(wi + 1) << 6;
  }
  return 0;
}

/// The untested row at or after i, wrapping from N to 1; one must exist.
int32_t NextUntested(const TBitFld& Tested, int32_t i, int32_t N) {
  const int32_t found = FirstClearBit(Tested, i, N);
  return found != 0 ? found : FirstClearBit(Tested, 1, i - 1);
}

}  // namespace

/// Holds IsExecuting for the length of a run. A run that does not reach its end
/// (abort, give-up, or an exception from a handler) leaves every result at -1.
class TCrossValidator::TRunGuard {
 public:
  explicit TRunGuard(TCrossValidator& Owner) : FOwner(Owner) { FOwner.FIsRunning = true; }
  ~TRunGuard() {
    FOwner.FIsRunning = false;
    if (!FCompleted) FOwner.FillResults(-1.0);
  }
  TRunGuard(const TRunGuard&) = delete;
  TRunGuard& operator=(const TRunGuard&) = delete;
  void Complete() { FCompleted = true; }

 private:
  TCrossValidator& FOwner;
  bool FCompleted = false;
};

TCrossValidator::TCrossValidator(TComponent* AOwner)
    : TComponent(AOwner),
      FPress(new TVector(nullptr)),
      FTPCnt(new TVector(nullptr)),
      FFPCnt(new TVector(nullptr)),
      FTNCnt(new TVector(nullptr)),
      FFNCnt(new TVector(nullptr)) {
  FillResults(-1.0);
}

TCrossValidator::~TCrossValidator() = default;

void TCrossValidator::FillResults(double Value) {
  for (TVector* v : {FPress.get(), FTPCnt.get(), FFPCnt.get(), FTNCnt.get(), FFNCnt.get()}) {
    v->Fill(Value);
  }
}

void TCrossValidator::SetTestSize(int32_t a) {
  FTestSize = std::max(a, 1);
  if (!FIsRunning) FillResults(-1.0);
}

bool TCrossValidator::PollAbort() {
  bool abort = false;
  if (FOnCheckAbort) FOnCheckAbort(this, abort);
  return abort || AbortRequested();
}

bool TCrossValidator::Execute() {
  // A handler that starts the run it is part of would reset the results under it.
  if (FIsRunning) return false;
  if (FXMat == nullptr || FYMat == nullptr) {
    throw ENUVStatisError("TCrossValidator.Execute: data matrix not assigned");
  }
  if (FXMat->NrOfRows() != FYMat->NrOfRows()) {
    throw ENUVStatisError("TCrossValidator.Execute: number of rows of XMat and YMat not equal");
  }
  if (!FOnModelApplyRequest) {
    throw ENUVStatisError("TCrossValidator: OnModelApplyRequest event is not assigned");
  }
  if (!FOnModelCreateRequest) {
    throw ENUVStatisError("TCrossValidator: OnModelCreateRequest event is not assigned");
  }

  const int32_t n = FXMat->NrOfRows();
  FTestSize = std::min(FTestSize, n / 2 + 1);
  const int32_t testSize = FTestSize;
  const int32_t nx = FXMat->NrOfColumns();
  const int32_t ny = FYMat->NrOfColumns();

  TBitFld tested, current;
  tested.SetSize(n);
  current.SetSize(n);
  std::vector<double> predictors, response;
  std::vector<int32_t> trainList, testList;
  try {
    predictors.resize(static_cast<size_t>(nx));
    response.resize(static_cast<size_t>(ny));
    trainList.reserve(static_cast<size_t>(n));
    testList.reserve(static_cast<size_t>(std::min(testSize, n)));
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVStatisError>(this, "not enough memory");
  }

  TRunGuard guard(*this);
  for (TVector* v : {FPress.get(), FTPCnt.get(), FFPCnt.get(), FTNCnt.get(), FFNCnt.get()}) {
    v->Resize(ny);
    v->Fill(0.0);
  }
  FRunRows = n;
  int32_t processed = 0;
  int32_t nTested = 0;
  int32_t failedRounds = 0;
  bool abort = false;
  while (nTested < n && !abort) {
    current.Clear();
    if (testSize >= n - nTested) {
      for (int32_t i = 1; i <= n; ++i) {
        if (!tested.GetBit(i)) {
          tested.SetBit(i, true);
          current.SetBit(i, true);
        }
      }
      nTested = n;
    } else {
      for (int32_t t = 0; t < testSize; ++t) {
        const int32_t i = NextUntested(tested, nuv::Random(n) + 1, n);
        tested.SetBit(i, true);
        current.SetBit(i, true);
      }
      nTested += testSize;
    }
    trainList.clear();
    testList.clear();
    for (int32_t i = 1; i <= n; ++i) (current.GetBit(i) ? testList : trainList).push_back(i);

    bool success = false;
    FOnModelCreateRequest(this, PercentOf(processed, n), trainList, success);
    if (!success) {
      for (int32_t r : testList) tested.SetBit(r, false);
      nTested -= static_cast<int32_t>(testList.size());
      // A model that can never be built must not keep the loop alive.
      abort = ++failedRounds >= MaxFailedRounds || PollAbort();
      continue;
    }
    failedRounds = 0;
    double* press = FPress->Data();
    double* tp = FTPCnt->Data();
    double* fp = FFPCnt->Data();
    double* tn = FTNCnt->Data();
    double* fn = FFNCnt->Data();
    for (int32_t r : testList) {
      ++processed;
      for (int32_t j = 1; j <= nx; ++j) predictors[static_cast<size_t>(j - 1)] = FXMat->GetVal(j, r);
      // A handler that resized the array finds it sized again, and one that writes
      // nothing predicts 0.
      response.assign(static_cast<size_t>(ny), 0.0);
      FOnModelApplyRequest(this, PercentOf(processed, n), predictors, response);
      response.resize(static_cast<size_t>(ny), 0.0);
      for (int32_t j = 1; j <= ny; ++j) {
        const size_t k = static_cast<size_t>(j - 1);
        const double y = FYMat->GetVal(j, r);
        const double p = response[k];
        press[k] += (p - y) * (p - y);
        const bool hit = std::fabs(p - y) < ClassTolerance;
        if (y == 1.0) {
          (hit ? tp : fn)[k] += 1.0;
        } else {
          (hit ? tn : fp)[k] += 1.0;
        }
      }
      abort = PollAbort();
      if (abort) break;
    }
  }
  if (!abort) guard.Complete();
  return !abort;
}

double TCrossValidator::GetRMSEP(int32_t ix) const {
  const double press = FPress->GetVal(ix);
  if (press < 0.0 || FRunRows <= 0) return -1.0;
  return std::sqrt(press / FRunRows);
}

double TCrossValidator::GetTPRate(int32_t ix) const {
  const double tp = FTPCnt->GetVal(ix);
  const double fn = FFNCnt->GetVal(ix);
  if (tp < 0.0) return -1.0;
  return tp + fn == 0.0 ? 0.0 : tp / (tp + fn);
}

double TCrossValidator::GetFPRate(int32_t ix) const {
  const double fp = FFPCnt->GetVal(ix);
  const double tn = FTNCnt->GetVal(ix);
  if (fp < 0.0) return -1.0;
  return fp + tn == 0.0 ? 1.0 : fp / (fp + tn);
}

}  // namespace nuv
