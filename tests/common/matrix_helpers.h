// Helpers shared by the matrix tests: a matrix from rows as they are written
// on paper, and a fixture that resets the progress hooks and aborts on cue.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"

namespace nuv_test {

/// m := the matrix (TMatrix or TIntMatrix) whose row r (from 1) is rows[r - 1].
template <class M, class T>
void FromRows(M& m, const std::vector<std::vector<T>>& rows) {
  m.Resize(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c)
      m.SetVal(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1), rows[r][c]);
}
inline void FromRows(nuv::TMatrix& m, const std::vector<std::vector<double>>& rows) {
  FromRows<nuv::TMatrix, double>(m, rows);
}
inline void FromRows(nuv::TIntMatrix& m, const std::vector<std::vector<int32_t>>& rows) {
  FromRows<nuv::TIntMatrix, int32_t>(m, rows);
}

/// Starts each test with ProcStat 0 and no abort request, and leaves no hook behind.
class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nuv::ClearAbort();
    nuv::ProcStat = 0.0;
  }
  void TearDown() override {
    nuv::MathFeedBackProc = nullptr;
    nuv::ClearAbort();
  }
  /// Sets AbortMathProc once ProcStat reaches Step.
  static void AbortAt(double Step) {
    nuv::MathFeedBackProc = [Step](double s) {
      if (s >= Step) nuv::AbortMathProc = true;
    };
  }
};

}  // namespace nuv_test
