// TCrossValidator: repeated random-split validation of a model that the
// application builds and applies through two events.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_vector/vector.h"
#include "foundation/frame.h"

namespace nuv {

/// (Sender, PercentDone, ObjectList, Success): build a model from the rows of XMat and
/// YMat listed in ObjectList (1-based, ascending) and set Success, which starts false.
using TOnModelCreateRequestEvent = std::function<void(
    TObject* Sender, int32_t PercentDone, const std::vector<int32_t>& ObjectList, bool& Success)>;
/// (Sender, PercentDone, Predictors, Response): predict the responses of one object from
/// its row of XMat (Predictors[j - 1] = column j) into Response[j - 1], for every column j
/// of YMat; Response arrives sized to YMat's columns and filled with 0.
using TOnModelApplyRequestEvent =
    std::function<void(TObject* Sender, int32_t PercentDone, const std::vector<double>& Predictors,
                       std::vector<double>& Response)>;

/// Draws test sets of SizeTestSet objects (rows) until every object has been tested
/// once; for each, asks for a model built from all other objects (OnModelCreateRequest)
/// and for its prediction of every test object (OnModelApplyRequest). Per response
/// column it sums the squared prediction errors (PRESS) and counts a two-class table:
/// a known response of exactly 1 is positive, anything else negative, and a prediction
/// within 0.001 of the known value is right. XMat and YMat are borrowed.
class NUV_API TCrossValidator : public TComponent {
 public:
  /// Consecutive rounds whose model could not be built after which Execute gives up.
  static constexpr int32_t MaxFailedRounds = 100;
  /// A prediction this close to the known response counts as right.
  static constexpr double ClassTolerance = 0.001;

  /// SizeTestSet 2, not executing, no matrices, no events.
  explicit TCrossValidator(TComponent* AOwner = nullptr);
  ~TCrossValidator() override;

  int32_t SizeTestSet() const { return FTestSize; }
  /// Stores max(a, 1) and sets every result to -1. During Execute the new size
  /// serves the next run and the running one's results are left alone.
  void SetTestSize(int32_t a);
  TMatrix* XMat() const { return FXMat; }
  void SetXMat(TMatrix* Value) { FXMat = Value; }
  TMatrix* YMat() const { return FYMat; }
  void SetYMat(TMatrix* Value) { FYMat = Value; }
  bool IsExecuting() const { return FIsRunning; }

  const TOnModelApplyRequestEvent& OnModelApplyRequest() const { return FOnModelApplyRequest; }
  void SetOnModelApplyRequest(TOnModelApplyRequestEvent Handler) {
    FOnModelApplyRequest = std::move(Handler);
  }
  const TOnModelCreateRequestEvent& OnModelCreateRequest() const { return FOnModelCreateRequest; }
  void SetOnModelCreateRequest(TOnModelCreateRequestEvent Handler) {
    FOnModelCreateRequest = std::move(Handler);
  }
  const TOnCheckAbortEvent& OnCheckAbort() const { return FOnCheckAbort; }
  void SetOnCheckAbort(TOnCheckAbortEvent Handler) { FOnCheckAbort = std::move(Handler); }

  /// Runs the validation over the N rows of XMat. A test size above N div 2 + 1 is
  /// lowered to it (and stays lowered). Each round draws its test set uniformly from
  /// the untested rows (a drawn row already tested steps on to the next untested one,
  /// wrapping from N to 1; once the test size covers all untested rows they form the
  /// set) and passes every other row, ascending, to OnModelCreateRequest with
  /// round(100 c / N), c counting the objects predicted so far. With Success, each
  /// test row in ascending order is predicted through OnModelApplyRequest (percent
  /// after counting it) and OnCheckAbort is asked after each; without it the round's
  /// rows return to the untested ones, OnCheckAbort is asked once, and after 100
  /// failed rounds in a row the run gives up. AbortMathProc is polled wherever
  /// OnCheckAbort is. Returns true when every row was tested; false when aborted or
  /// given up (every result then -1), and false at once when called from one of its
  /// own handlers. Raises ENUVStatisError "TCrossValidator.Execute: data matrix not
  /// assigned", "TCrossValidator.Execute: number of rows of XMat and YMat not equal",
  /// "TCrossValidator: OnModelApplyRequest event is not assigned", "TCrossValidator:
  /// OnModelCreateRequest event is not assigned", in that order, changing nothing.
  /// An exception from a handler passes through; the validator is then idle again
  /// with every result -1.
  bool Execute();

  /// sqrt(PRESS[ix] / N), N the number of rows of the last run (not XMat's current
  /// one); -1 when the results are unset (before a run, after an abort or a change
  /// of SizeTestSet) or that run had no rows. 0 for ix outside the response columns.
  double GetRMSEP(int32_t ix) const;
  /// TP / (TP + FN), 0 when that sum is 0; -1 when the results are unset.
  double GetTPRate(int32_t ix) const;
  /// FP / (FP + TN), 1 when that sum is 0; -1 when the results are unset.
  double GetFPRate(int32_t ix) const;

 private:
  class TRunGuard;
  void FillResults(double Value);
  bool PollAbort();

  int32_t FTestSize = 2;
  std::unique_ptr<TVector> FPress;
  bool FIsRunning = false;
  std::unique_ptr<TVector> FTPCnt, FFPCnt, FTNCnt, FFNCnt;
  TMatrix* FXMat = nullptr;
  TMatrix* FYMat = nullptr;
  TOnModelApplyRequestEvent FOnModelApplyRequest;
  TOnModelCreateRequestEvent FOnModelCreateRequest;
  TOnCheckAbortEvent FOnCheckAbort;
  /// Rows of the last run, the divisor of RMSEP.
  int32_t FRunRows = 0;
};

}  // namespace nuv
