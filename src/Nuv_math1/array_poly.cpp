#include "Nuv_math1/array_poly.h"

namespace nuv {

namespace {

double PowerSum(const std::vector<double>& Coeffs, int32_t Order, double x) {
  if (Order < 0 || static_cast<size_t>(Order) >= Coeffs.size()) {
    RaiseFunctionError<ENUVMath1Error>("Polynomial", "invalid order of polynomial");
  }
  // Ascending powers rather than Horner's scheme: callers rely on the rounding
  // of this summation order.
  const double* c = Coeffs.data();
  const int32_t n = Order + 1;
  double sum = 0.0;
  double power = 1.0;
  for (int32_t i = 0; i < n; ++i) {
    sum += c[i] * power;
    power *= x;
  }
  return sum;
}

}  // namespace

double Polynomial(const std::vector<double>& Coeffs, int32_t Order, double x) {
  return PowerSum(Coeffs, Order, x);
}

double CenteredPolynomial(const std::vector<double>& Coeffs, int32_t Order, double Center,
                          double x) {
  return PowerSum(Coeffs, Order, x - Center);
}

}  // namespace nuv
