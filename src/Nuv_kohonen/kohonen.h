// TKohonen: a rectangular self-organizing map. Each cell of a SizeX x SizeY
// grid holds a weight vector of NrOfInSens values; training pulls the winning
// cell of every training object, and the cells of a square window around it,
// towards the object, with a learning rate and a window radius that shrink
// quadratically over the steps. The grid is open or wraps at its edges.
//
// The weights live in a TMat3D whose cells keep their weight vectors
// contiguous, so the winner search is one pass over one buffer.
//
// kohonen_core.cpp: construction, properties, standardization, weights.
// kohonen_train.cpp: the training loop and the mapping of objects.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "Nuv_matrix/Nuv_matrix.h"
#include "Nuv_vector/Nuv_vector.h"
#include "foundation/frame.h"

namespace nuv {

class NUV_API TKohonen : public TComponent {
 public:
  /// A 1 x 1 grid of one input with random weights, a 1 x 1 training matrix,
  /// InitialNeighbors 2, NrOfTrnSteps 200, InitialAlpha 1.0, an open grid.
  /// Raises ENUVKohonenError "not enough memory on heap" when the storage cannot be had.
  explicit TKohonen(TComponent* AOwner = nullptr);
  ~TKohonen() override;

  // --- settings (kohonen_core.cpp) -------------------------------------------
  int32_t InitialNeighbors() const { return FMaxNeighb; }
  /// Initial window radius; the radius of a step never drops below 0.
  void SetInitialNeighbors(int32_t Value) { FMaxNeighb = Value; }
  const std::string& Comment() const { return FComment; }
  void SetComment(const std::string& Value) { FComment = Value; }
  int32_t NrOfTrnSteps() const { return FMaxSteps; }
  void SetNrOfTrnSteps(int32_t Value) { FMaxSteps = Value; }
  double InitialAlpha() const { return FMaxAlpha; }
  void SetInitialAlpha(double Value) { FMaxAlpha = Value; }
  bool Cyclic() const { return FCyclic; }
  void SetCyclic(bool Value) { FCyclic = Value; }

  int32_t SizeX() const { return FSizeX; }
  int32_t SizeY() const { return FSizeY; }
  int32_t NrOfInSens() const { return FNrInSens; }
  /// Ignored for n <= 0; otherwise the weight array gets n columns (all weights 0, also
  /// when n is the present size). Raises ENUVKohonenError "not enough memory" when the
  /// array cannot be had (its cell count overflowing included), the map unchanged.
  void SetSizeX(int32_t n);
  /// The same for the rows of the grid.
  void SetSizeY(int32_t n);
  /// Ignored for n <= 0; otherwise the weight array, the training matrix (n columns, as
  /// many rows as before) and MeanVec and StdDevVec (n elements) are recreated, all 0.
  /// The training matrix stays the same object and keeps its events; it fires OnChange
  /// once. Raises ENUVKohonenError "not enough memory", the map unchanged.
  void SetNumInsens(int32_t n);

  /// The training matrix: one row per training object, NrOfInSens columns. It may be
  /// filled in place; training uses its rows as they are when a step starts and does
  /// nothing while its column count differs from NrOfInSens.
  TMatrix* TrainData() { return FDataMat.get(); }
  const TMatrix* TrainData() const { return FDataMat.get(); }
  /// Copies Value (all rows and columns) into the training matrix; NrOfInSens becomes its
  /// column count, and the weight array, MeanVec and StdDevVec are recreated (all 0).
  /// Nothing for an absent Value or one without columns; Value may be TrainData() itself.
  /// The training matrix stays the same object, keeps its events and fires OnChange once.
  /// Raises ENUVKohonenError "not enough memory", the map unchanged.
  void SetDataMat(const TMatrix* Value);

  /// Column means and standard deviations of the raw training data after StandardizeData
  /// (0 before, and after the training data or NrOfInSens are set).
  const TVector* MeanVec() const { return FMeanVec.get(); }
  const TVector* StdDevVec() const { return FStdDevVec.get(); }

  // --- data and weights (kohonen_core.cpp) -----------------------------------
  /// Standardizes the columns of the training matrix in place (TMatrix::StandardizeColumns)
  /// and records their means and standard deviations. A column without spread is centred.
  /// Standardizing again composes the scales, so MeanVec and StdDevVec keep describing the
  /// raw data. Fires the training matrix's OnChange.
  void StandardizeData();
  /// The weight Elem of cell (ix, iy) in the units of the raw data: w StdDevVec + MeanVec,
  /// or w + MeanVec where the standard deviation is 0 (so the raw weight when the data
  /// were never standardized). 0 outside the map.
  double GetWeight(int32_t ix, int32_t iy, int32_t Elem) const;
  /// Every weight := (r - 0.5) 0.2, r from Random(), cell after cell (x outer, then y,
  /// inputs innermost): weights in [-0.1, 0.1).
  void SetWeigtsToRandom();

  // --- training and mapping (kohonen_train.cpp) ------------------------------
  /// Current step := 1, random weights, then ContinueTraining: NrOfTrnSteps - 1 steps
  /// (one step when NrOfTrnSteps is 1).
  void Trainit();
  /// Runs training steps from the current step until the step count reaches NrOfTrnSteps
  /// or AbortTraining is called (which takes effect at the end of a step); at least one
  /// step unless there is nothing to do: NrOfTrnSteps <= 0, a current step beyond
  /// NrOfTrnSteps, no training rows, or a training matrix whose columns differ from
  /// NrOfInSens. Each step ends with DoFeedback(round(CurStep 100 / NrOfTrnSteps)).
  /// Clears the abort request at its start and end. An object whose distance to every
  /// cell is NaN or beyond uc_MaxDouble moves no weight.
  void ContinueTraining();
  /// Asks the training loop to stop at the end of the running step; safe from the
  /// feedback handler and from another thread.
  void AbortTraining() { FAbort.store(true, std::memory_order_relaxed); }
  /// Fires OnFeedback(this, PercentDone) when assigned.
  void DoFeedback(int32_t PercentDone) {
    if (FOnFeedback) FOnFeedback(this, PercentDone);
  }
  /// The cell whose weights are nearest to InData brought to the training scale
  /// ((InData - MeanVec) / StdDevVec, without the division where StdDevVec is 0); elements
  /// beyond InData's length count as 0. Distance := the squared distance; of equally near
  /// cells the one with the smaller x, then the smaller y. When no cell is nearer than
  /// uc_MaxDouble (or InData is absent), Distance is uc_MaxDouble and BestIx, BestIy keep
  /// their values.
  void ApplyIt(const TVector* InData, int32_t& BestIx, int32_t& BestIy, double& Distance) const;

  /// The state of the running (or last) training step.
  int32_t CurStep() const { return FCurStep; }
  int32_t CurNeighb() const { return FCurNeighb; }
  double CurAlpha() const { return FCurAlpha; }

  // --- XML (kohonen_xml.cpp; the scheme is in docs/formats.md) ---------------
  /// A new file with the XML declaration and the map's element: its settings,
  /// the state of training (current step, radius and rate), the comment,
  /// MeanVec and StdDevVec, the weights (a <TMat3D>) and the training data (a
  /// <TMatrix>). False when the file cannot be created or written.
  bool SaveAsXMLFile(const std::string& FileName) const;
  /// The element at the position of an open text file (stream), after an XML
  /// declaration when CreateHeader; raises the file's (stream's) EInOutError.
  void WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const;
  void WriteToXMLStream(TStream* OutStream, bool CreateHeader) const;
  /// Reads the first <TKohonen> element of a whole document, or the next one
  /// from the position of an open text file or stream (from its start unless
  /// FromCurrentPos; left right after the element, or where the read began on
  /// failure). The map takes everything the element holds, so that ApplyIt
  /// and ContinueTraining go on as with the map written; the training matrix
  /// stays the same object, keeps its events and fires OnChange once. False,
  /// with the map unchanged and the place of the fault in Info; raises nothing.
  bool LoadFromXMLFile(const std::string& FileName, TXmlReadInfo* Info = nullptr);
  bool ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                           TXmlReadInfo* Info = nullptr);
  bool ReadFromXMLStream(TStream* InStream, bool FromCurrentPos, TXmlReadInfo* Info = nullptr);
  void WriteXMLElement(TXmlWriter& W) const;

  // --- events ----------------------------------------------------------------
  const TOnPercentDoneEvent& OnFeedback() const { return FOnFeedback; }
  void SetOnFeedback(TOnPercentDoneEvent Handler) { FOnFeedback = std::move(Handler); }

 private:
  [[noreturn]] void RaiseNoMemory() const;
  std::unique_ptr<TMat3D> NewWeights(int32_t Nx, int32_t Ny, int32_t Nz) const;
  std::unique_ptr<TVector> NewZeroVector(int32_t n) const;
  /// Sizes the training matrix to Nc x Nr without firing its events; false when the
  /// memory cannot be had (the matrix unchanged).
  bool ResizeTrainData(int32_t Nc, int32_t Nr, bool Clear);
  bool CanTrain() const;
  /// A read form (kohonen_xml.cpp): parse with Form, then take what was read.
  template <class F>
  bool ReadXML(F&& Form);
  void TrainStep();

  int32_t FMaxNeighb = 2;
  std::string FComment;
  int32_t FCurNeighb = 0;
  int32_t FMaxSteps = 200;
  int32_t FCurStep = 0;
  double FMaxAlpha = 1.0;
  double FCurAlpha = 0.0;
  std::unique_ptr<TMat3D> FKohMat;
  int32_t FSizeX = 1;
  int32_t FSizeY = 1;
  int32_t FNrInSens = 1;
  std::unique_ptr<TVector> FMeanVec;
  std::unique_ptr<TVector> FStdDevVec;
  bool FCyclic = false;
  std::atomic<bool> FAbort{false};
  TOnPercentDoneEvent FOnFeedback;
  std::unique_ptr<TMatrix> FDataMat;
};

}  // namespace nuv
