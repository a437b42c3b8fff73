// Cross-validating a linear model on Fisher's Iris measurements: petal width
// predicted from sepal length, sepal width and petal length by MultiLinReg,
// ten rounds of 15 flowers each. The validator draws the test sets and asks for
// a model through OnModelCreateRequest and for predictions through
// OnModelApplyRequest; the application builds and applies the model itself.
//
// Usage: example_crossval_iris [path/to/iris.csv]
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "Nuv_matrix/Nuv_matrix.h"
#include "Nuv_statis/Nuv_statis.h"

using namespace nuv;

int main(int argc, char** argv) {
  const std::string file = argc > 1 ? argv[1] : "data/iris.csv";
  TMatrix iris;
  if (!iris.LoadFromFile(file, true) || iris.NrOfColumns() != 4) {
    std::fprintf(stderr, "cannot read the Iris data from %s\n", file.c_str());
    return 1;
  }
  const int32_t n = iris.NrOfRows();
  TMatrix x, y;  // predictors: the first three columns; response: petal width
  x.Resize(3, n);
  y.Resize(1, n);
  for (int32_t r = 1; r <= n; ++r) {
    for (int32_t c = 1; c <= 3; ++c) x.SetVal(c, r, iris.GetVal(c, r));
    y.SetVal(1, r, iris.GetVal(4, r));
  }

  TVector coeffs;  // intercept, then one slope per predictor
  TCrossValidator cv;
  cv.SetXMat(&x);
  cv.SetYMat(&y);
  cv.SetTestSize(15);
  cv.SetOnModelCreateRequest([&](TObject*, int32_t percent, const std::vector<int32_t>& rows,
                                 bool& success) {
    const auto m = static_cast<int32_t>(rows.size());
    TMatrix xt;
    TVector yt;
    xt.Resize(3, m);
    yt.Resize(m);
    for (int32_t k = 1; k <= m; ++k) {
      const int32_t r = rows[static_cast<size_t>(k - 1)];
      for (int32_t c = 1; c <= 3; ++c) xt.SetVal(c, k, x.GetVal(c, r));
      yt.SetVal(k, y.GetVal(1, r));
    }
    double r2 = 0;
    success = MultiLinReg(&xt, &yt, true, &coeffs, nullptr, r2, nullptr);
    std::printf("%3d %% done: model from %d flowers, R^2 %.4f\n", percent, m, r2);
  });
  cv.SetOnModelApplyRequest([&](TObject*, int32_t, const std::vector<double>& predictors,
                                std::vector<double>& response) {
    double p = coeffs.GetVal(1);
    for (size_t c = 0; c < predictors.size(); ++c) {
      p += coeffs.GetVal(static_cast<int32_t>(c) + 2) * predictors[c];
    }
    response[0] = p;
  });

  SetRandSeed(1936);  // the year the data were published: a reproducible run
  if (!cv.Execute()) {
    std::fprintf(stderr, "cross-validation did not finish\n");
    return 1;
  }
  const double rmsep = cv.GetRMSEP(1);
  std::printf("RMSEP of petal width: %.4f cm\n", rmsep);
  // Petal width spans 0.1 to 2.5 cm with a standard deviation of 0.76 cm; a
  // linear model on the other three measurements predicts it to about 0.2 cm.
  return rmsep > 0.1 && rmsep < 0.3 ? 0 : 1;
}
