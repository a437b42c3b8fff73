// Vector statistics with events: a TVector reports every change through
// OnChange, and its sort reports every exchange through OnSortExchange, so
// that data kept beside the vector (here the label of each value) stays in
// step with it.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"

int main() {
  // Daily rainfall in millimetres with the day each value belongs to.
  const std::vector<double> rain = {12.5, 0.0, 3.2, 8.8, 0.4, 21.0, 5.1};
  std::vector<std::string> day = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

  nuv::TVector v;
  v.SetName("Rainfall");
  int changes = 0;
  v.SetOnChange([&](nuv::TObject*) { ++changes; });
  v.SetVecSize(static_cast<int32_t>(rain.size()));
  for (size_t i = 0; i < rain.size(); ++i) v.SetVal(static_cast<int32_t>(i + 1), rain[i]);
  std::printf("%s: %d values, %d change events while filling\n", v.Name().c_str(),
              v.NrOfElem(), changes);

  double mean = 0, var = 0, lo = 0, hi = 0, q1 = 0, q2 = 0, q3 = 0, skew = 0, kurt = 0;
  v.MeanVar(0, 0, mean, var);
  v.MinMax(0, 0, lo, hi);
  v.Quartiles(0, 0, q1, q2, q3);
  v.SkewKurtSample(0, 0, skew, kurt);
  std::printf("mean %.4f  sd %.4f  min %.1f  max %.1f\n", mean, std::sqrt(var), lo, hi);
  std::printf("quartiles %.2f %.2f %.2f  skewness %.4f  kurtosis %.4f\n", q1, q2, q3, skew,
              kurt);

  // The sort exchanges elements pairwise; each exchange is mirrored on the labels.
  int exchanges = 0;
  v.SetOnSortExchange([&](nuv::TObject*, uint8_t, int32_t i1, int32_t i2, int32_t, int32_t) {
    std::swap(day[static_cast<size_t>(i1 - 1)], day[static_cast<size_t>(i2 - 1)]);
    ++exchanges;
  });
  changes = 0;
  v.SortElems(false, 0, 0);
  std::printf("wettest first (%d exchanges, %d change event):", exchanges, changes);
  for (int32_t i = 1; i <= v.NrOfElem(); ++i)
    std::printf(" %s %.1f", day[static_cast<size_t>(i - 1)].c_str(), v.GetVal(i));
  std::printf("\n");

  // By hand: the sum is 51, so the mean is 51/7 = 7.285714; the sorted values
  // 0, 0.4, 3.2, 5.1, 8.8, 12.5, 21 put the quartiles at positions 2, 4 and 6.
  const bool ok = std::fabs(mean - 51.0 / 7.0) < 1e-12 && q1 == 0.4 && q2 == 5.1 &&
                  q3 == 12.5 && day.front() == "Sat" && day.back() == "Tue" && changes == 1;
  return ok ? 0 : 1;
}
