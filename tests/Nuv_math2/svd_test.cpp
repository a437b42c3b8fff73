#include <cfloat>
#include <cmath>
#include <memory>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol2;

namespace {

// Frobenius norm of P - Q for matrices of equal shape.
double Diff(const TMatrix& P, const TMatrix& Q) {
  double s = 0;
  for (int c = 1; c <= P.NrOfColumns(); ++c)
    for (int r = 1; r <= P.NrOfRows(); ++r) s += std::pow(P.GetVal(c, r) - Q.GetVal(c, r), 2);
  return std::sqrt(s);
}

TMatrix* Product(TMatrix& A, const TMatrix& B) {
  TMatrix* C = new TMatrix;
  EXPECT_TRUE(A.Multiply(&B, C));
  return C;
}

// A rank-2 matrix of the given shape: the sum of two outer products.
void RankTwo(TMatrix& A, int cols, int rows) {
  A.Resize(cols, rows);
  for (int c = 1; c <= cols; ++c)
    for (int r = 1; r <= rows; ++r) A.SetVal(c, r, 1.5 * r * c - 0.25 * (r % 3) * (c * c % 5));
}

// The four Moore-Penrose conditions: A P A = A, P A P = P, A P and P A symmetric.
void ExpectMoorePenrose(TMatrix& A, TMatrix& P) {
  const double tol = 64 * DBL_EPSILON * (1 + A.Norm(ntFrobenius) * P.Norm(ntFrobenius));
  std::unique_ptr<TMatrix> AP(Product(A, P)), PA(Product(P, A));
  std::unique_ptr<TMatrix> APA(Product(*AP, A)), PAP(Product(*PA, P));
  EXPECT_LE(Diff(*APA, A), tol * A.Norm(ntFrobenius));
  EXPECT_LE(Diff(*PAP, P), tol * P.Norm(ntFrobenius));
  for (const TMatrix* S : {AP.get(), PA.get()})
    for (int c = 1; c <= S->NrOfColumns(); ++c)
      for (int r = 1; r < c; ++r) EXPECT_NEAR(S->GetVal(c, r), S->GetVal(r, c), tol);
}

}  // namespace

TEST(SingValDecomp, ReconstructsWithOrthonormalFactors) {
  SetRandSeed(31);
  TMatrix A, U, V;
  TVector W;
  A.Resize(5, 7);
  A.FillRandomUniform(-2, 3);
  U.Clone(&A);
  ASSERT_TRUE(SingValDecomp(&U, &W, &V));
  ASSERT_EQ(W.NrOfElem(), 5);
  ASSERT_EQ(V.NrOfColumns(), 5);
  const double tol = 8 * 7 * DBL_EPSILON * A.Norm(ntFrobenius);
  for (int c = 1; c <= 5; ++c)
    for (int r = 1; r <= 7; ++r) {
      double s = 0;
      for (int j = 1; j <= 5; ++j) s += U.GetVal(j, r) * W.GetVal(j) * V.GetVal(j, c);
      EXPECT_NEAR(s, A.GetVal(c, r), tol);
    }
  for (int i = 1; i <= 5; ++i) {
    EXPECT_GE(W.GetVal(i), 0.0);
    for (int j = 1; j <= 5; ++j) {
      double uu = 0, vv = 0;
      for (int r = 1; r <= 7; ++r) uu += U.GetVal(i, r) * U.GetVal(j, r);
      for (int r = 1; r <= 5; ++r) vv += V.GetVal(i, r) * V.GetVal(j, r);
      EXPECT_NEAR(uu, i == j, 64 * DBL_EPSILON);
      EXPECT_NEAR(vv, i == j, 64 * DBL_EPSILON);
    }
  }
  EXPECT_FALSE(SingValDecomp(&U, nullptr, &V));
  // Aborted from the progress hook.
  U.Clone(&A);
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_FALSE(SingValDecomp(&U, &W, &V));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
}

TEST(PseudoInverse, MoorePenroseConditionsAndSmallCases) {
  TMatrix A;
  TMatrix* P = nullptr;  // created by the call
  for (int shape = 0; shape < 2; ++shape) {
    RankTwo(A, shape == 0 ? 4 : 6, shape == 0 ? 6 : 3);  // tall and wide, both of rank 2
    ASSERT_TRUE(PseudoInverse(&A, P, 0));
    ASSERT_EQ(P->NrOfColumns(), A.NrOfRows());
    ASSERT_EQ(P->NrOfRows(), A.NrOfColumns());
    ExpectMoorePenrose(A, *P);
  }
  // The column (1, 1) has the pseudo-inverse (0.5, 0.5).
  A.Resize(1, 2);
  A.Fill(1);
  ASSERT_TRUE(PseudoInverse(&A, P, 0));
  ASSERT_EQ(P->NrOfColumns(), 2);
  ASSERT_EQ(P->NrOfRows(), 1);
  EXPECT_REL_NEAR(P->GetVal(1, 1), 0.5, kTol2);
  EXPECT_REL_NEAR(P->GetVal(2, 1), 0.5, kTol2);
  // Rows (4, 7) and (2, 6): determinant 10, inverse rows (0.6, -0.7) and (-0.2, 0.4).
  A.Resize(2, 2);
  A.SetVal(1, 1, 4);
  A.SetVal(2, 1, 7);
  A.SetVal(1, 2, 2);
  A.SetVal(2, 2, 6);
  ASSERT_TRUE(PseudoInverse(&A, P, 0));
  EXPECT_REL_NEAR(P->GetVal(1, 1), 0.6, kTol2);
  EXPECT_REL_NEAR(P->GetVal(2, 1), -0.7, kTol2);
  EXPECT_REL_NEAR(P->GetVal(1, 2), -0.2, kTol2);
  EXPECT_REL_NEAR(P->GetVal(2, 2), 0.4, kTol2);
  // A threshold above the smaller singular value keeps only the larger one.
  A.Fill(0);
  A.SetVal(1, 1, 2);
  A.SetVal(2, 2, 1e-3);
  ASSERT_TRUE(PseudoInverse(&A, P, 1e-2));
  EXPECT_REL_NEAR(P->GetVal(1, 1), 0.5, kTol2);
  EXPECT_EQ(P->GetVal(2, 2), 0.0);
  // In place: the result replaces its own source.
  ASSERT_TRUE(PseudoInverse(P, P, 0));
  EXPECT_REL_NEAR(P->GetVal(1, 1), 2.0, kTol2);
  delete P;
  P = nullptr;
  EXPECT_FALSE(PseudoInverse(nullptr, P, 0));
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  P = new TMatrix;
  EXPECT_FALSE(PseudoInverse(&A, P, 0));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  delete P;
}

TEST(SingValEquSolve, SolutionErrorsAndNearSingularity) {
  // Orthogonal columns (1, 1, 1, 1) and (1, -1, 2, -2): the least-squares solution is
  // (sum y / 4, (y1 - y2 + 2 y3 - 2 y4) / 10) and the errors are 1 / |column|.
  TMatrix A;
  TVector b, x, se;
  A.Resize(2, 4);
  b.Resize(4);
  const double c2[] = {1, -1, 2, -2}, y[] = {3, -1, 7, 2};
  for (int r = 0; r < 4; ++r) {
    A.SetVal(1, r + 1, 1);
    A.SetVal(2, r + 1, c2[r]);
    b.SetVal(r + 1, y[r]);
  }
  bool near = true;
  ASSERT_TRUE(SingValEquSolve(&A, &b, &x, &se, near));
  EXPECT_FALSE(near);
  EXPECT_REL_NEAR(x.GetVal(1), 11 / 4.0, kTol2);
  EXPECT_REL_NEAR(x.GetVal(2), (3 + 1 + 14 - 4) / 10.0, kTol2);
  EXPECT_REL_NEAR(se.GetVal(1), 0.5, kTol2);
  EXPECT_REL_NEAR(se.GetVal(2), 1 / std::sqrt(10.0), kTol2);
  // A repeated column: the flag is set and the minimum-norm solution splits 1.4 evenly.
  A.Resize(3, 4);
  for (int r = 1; r <= 4; ++r) A.SetVal(3, r, A.GetVal(2, r));
  ASSERT_TRUE(SingValEquSolve(&A, &b, &x, nullptr, near));
  EXPECT_TRUE(near);
  EXPECT_NEAR(x.GetVal(2), 0.7, 1e-14);
  EXPECT_NEAR(x.GetVal(3), 0.7, 1e-14);
  // Mismatched right-hand side: false, x unchanged.
  b.Resize(5);
  EXPECT_FALSE(SingValEquSolve(&A, &b, &x, nullptr, near));
  EXPECT_NEAR(x.GetVal(3), 0.7, 1e-14);
  b.Resize(4);
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_FALSE(SingValEquSolve(&A, &b, &x, nullptr, near));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
}
