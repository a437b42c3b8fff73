// Two-sample location tests: Student's t test (paired, pooled, Welch) and the
// Mann-Whitney U test.
#pragma once

#include <cstdint>

#include "Nuv_vector/vector.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// Variants of the two-sample t test.
enum TtTestVersion : uint8_t {
  ttPaired,          ///< differences of pairs (Data1[i], Data2[i]), n - 1 degrees of freedom
  ttHomoScedastic,   ///< pooled variance (Student), n1 + n2 - 2 degrees of freedom
  ttHeteroScedastic  ///< separate variances (Welch), Welch-Satterthwaite degrees of freedom
};

/// Two-sample t test of mean(Data1) = mean(Data2):
/// - ttPaired: d = Data1[i] - Data2[i], t = mean(d)/(s_d/sqrt n), DegFree = n - 1;
/// - ttHomoScedastic: t = (m1 - m2)/sqrt(sp^2 (1/n1 + 1/n2)),
///   sp^2 = (SS1 + SS2)/(n1 + n2 - 2), DegFree = n1 + n2 - 2 (one sample may hold a
///   single value);
/// - ttHeteroScedastic: t = (m1 - m2)/sqrt(v1/n1 + v2/n2), DegFree =
///   (v1/n1 + v2/n2)^2 / ((v1/n1)^2/(n1 - 1) + (v2/n2)^2/(n2 - 1)), not rounded.
/// Means and variances are formed in two passes; the sample variances divide by n - 1.
/// Returns the two-sided p-value P(|T| >= |t|) for T ~ t(DegFree) (scipy's ttest_rel and
/// ttest_ind). When the standard error is 0 but the means differ, t = +-uc_MaxReal and
/// p = 0. Codes, with t = DegFree = 0: -1 for an absent vector or an unknown version,
/// -2 for too few values (paired: n < 2; pooled: n1 + n2 < 3; Welch: n1 or n2 < 2),
/// -3 for paired vectors of different lengths, -4 when the standard error is 0 and the
/// means are equal (t would be 0/0; DegFree is set). NaN values give NaN results.
NUV_API double Perform2SampleTTest(const TVector* Data1, const TVector* Data2,
                                   TtTestVersion TestVersion, double& t, double& DegFree);

/// As above, and the one-sided p-values: pLess = P(T <= t) for the alternative
/// mean1 < mean2, pGreater = P(T >= t) for mean1 > mean2 (each -1 with a code).
NUV_API double Perform2SampleTTest(const TVector* Data1, const TVector* Data2,
                                   TtTestVersion TestVersion, double& t, double& DegFree,
                                   double& pLess, double& pGreater);

/// Mann-Whitney U test (Wilcoxon rank-sum test) of Data1 against Data2, two-sided.
/// U = R1 - n1 (n1 + 1)/2, R1 the rank sum of Data1 in the pooled sample with ties given
/// their mean rank: the number of pairs with x1 > x2 plus half the tied pairs (scipy's
/// statistic for the first sample). Without ties and with n1 n2 <= UDistriExactLimit the
/// p-value is exact: 2 P(U' <= min(U, n1 n2 - U)) from UDistriIntegral, at most 1.
/// Otherwise the normal approximation with continuity correction and tie correction:
/// sigma^2 = n1 n2/12 ((N + 1) - sum(t^3 - t)/(N (N - 1))), t the sizes of the tie groups,
/// p = 2 Phi(-|z|). z = sign(U - n1 n2/2) max(|U - n1 n2/2| - 1/2, 0)/sigma is reported in
/// both cases (all values equal: z = 0, p = 1). Returns p; -1 with U = z = 0 for an
/// absent vector; NaN results when a value is NaN.
NUV_API double PerformMannWhitneyUTest(const TVector* Data1, const TVector* Data2, double& U,
                                       double& z);

}  // namespace nuv
