// TWavelet1D: one step of the transform and the multi-level transforms.
//
// Outputs whose terms all come from inside the step's values are computed without the
// extension rule, with the number of taps fixed at compile time and the values a tap
// reads kept in registers while the window slides; the few outputs near the ends go
// term by term through the rule. Every output sums its terms in the order of the
// definition, in extended precision.
//
// The middle outputs take each filter coefficient as two doubles whose sum is the
// extended value exactly: the x87 multiplies by a double straight from memory, whereas an
// extended operand must be loaded first, which costs many times more (and the eight
// registers cannot hold the coefficients). A product c x is thereby formed as
// c_hi x + c_lo x, at most one extended rounding away from the single product.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Nuv_wavelet/wavelet1d.h"

// Makes a pointer opaque to the optimiser, so that loads through it stay inside the loop
// (as memory operands of the multiplications) instead of being hoisted into registers
// that the extended values need.
#if defined(__GNUC__)
#define NUV_OPAQUE(p) __asm__("" : "+r"(p))
#else
#define NUV_OPAQUE(p) (void)0
#endif

namespace nuv {

namespace {

/// The position tap t of a step of Len values reads, or -1 when the term is dropped.
std::ptrdiff_t ExtendedIndex(std::ptrdiff_t t, std::ptrdiff_t Len, TWLSigExtMode Mode) {
  switch (Mode) {
    case wseWrap:
      return t & (Len - 1);
    case wseZeroPad:
      return t < 0 ? -1 : t;
    default:
      // Half-sample mirror about the first value, and about the last one for the few taps
      // that a very short step sends beyond it.
      while (t < 0 || t >= Len) t = t < 0 ? -t - 1 : 2 * Len - 1 - t;
      return t;
  }
}

/// The filters of L taps with every coefficient split into a double and the remainder.
template <int L>
struct TSplitTaps {
  double lpHi[L], lpLo[L], hpHi[L], hpLo[L];
  TSplitTaps(const Extended* lp, const Extended* hp) {
    for (int m = 0; m < L; ++m) {
      lpHi[m] = static_cast<double>(lp[m]);
      lpLo[m] = static_cast<double>(lp[m] - lpHi[m]);
      hpHi[m] = static_cast<double>(hp[m]);
      hpLo[m] = static_cast<double>(hp[m] - hpHi[m]);
    }
  }
};

/// A wrapped index equals the tap itself only for a power-of-two length.
bool PlainIndices(std::ptrdiff_t Len, TWLSigExtMode Mode) {
  return Mode != wseWrap || (Len & (Len - 1)) == 0;
}

/// s[l - 1] = sum over m of LP[m] x[t], s[h + l - 1] = the same with HP, t = 2l - L + m - 1.
template <int L>
void ForwardStep(const Extended* x, Extended* s, std::ptrdiff_t Len, TWLSigExtMode Mode,
                 const Extended* lp, const Extended* hp) {
  constexpr std::ptrdiff_t kOrder = L / 2;
  const std::ptrdiff_t h = Len / 2;
  // Outputs l < Order reach before the first value (all outputs, when the rule applies
  // everywhere).
  const std::ptrdiff_t lPlain = PlainIndices(Len, Mode) ? kOrder : h + 1;
  for (std::ptrdiff_t l = 1; l < lPlain && l <= h; ++l) {
    Extended lo = 0, hi = 0;
    for (int m = 0; m < L; ++m) {
      const std::ptrdiff_t p = ExtendedIndex(2 * l - L + m, Len, Mode);
      if (p < 0) continue;
      lo += lp[m] * x[p];
      hi += hp[m] * x[p];
    }
    s[l - 1] = lo;
    s[h + l - 1] = hi;
  }
  if (lPlain <= h) {
    const TSplitTaps<L> taps(lp, hp);
    // v[m] = x[2l - L + m]; each output reads two new values.
    Extended v[L] = {};
    for (int m = 0; m < L - 2; ++m) v[m + 2] = x[2 * lPlain - L + m];
    for (std::ptrdiff_t l = lPlain; l <= h; ++l) {
      for (int m = 0; m < L - 2; ++m) v[m] = v[m + 2];
      v[L - 2] = x[2 * l - 2];
      v[L - 1] = x[2 * l - 1];
      const TSplitTaps<L>* c = &taps;
      NUV_OPAQUE(c);
      Extended lo = 0, hi = 0;
      for (int m = 0; m < L; ++m) {
        lo += v[m] * c->lpHi[m] + v[m] * c->lpLo[m];
        hi += v[m] * c->hpHi[m] + v[m] * c->hpLo[m];
      }
      s[l - 1] = lo;
      s[h + l - 1] = hi;
    }
  }
  if (Len % 2 == 1) s[Len - 1] = 0;
}

/// The inverse step: s[t] receives, for l = 1..h in ascending order and m = 1..L, the
/// term LP[m] x[l - 1] + HP[m] x[h + l - 1] of the tap t = 2l - L + m - 1 that reads it.
/// The middle outputs gather their L/2 terms in that order directly; the few near either
/// end, which also receive the terms that the extension rule sends there, are added up
/// term by term from the outputs l that reach them.
template <int L>
void InverseStep(const Extended* x, Extended* s, std::ptrdiff_t Len, TWLSigExtMode Mode,
                 const Extended* lp, const Extended* hp) {
  constexpr std::ptrdiff_t kOrder = L / 2;
  const std::ptrdiff_t h = Len / 2;
  // Middle pairs t = 2j, 2j + 1: every term from an l of kOrder..h, none from the rule.
  const std::ptrdiff_t jLo = kOrder - 1, jHi = PlainIndices(Len, Mode) ? h - kOrder : jLo - 1;
  const bool middle = jHi >= jLo;
  const std::ptrdiff_t headEnd = middle ? 2 * jLo : Len, tailStart = middle ? 2 * jHi + 2 : Len;
  auto inEdge = [&](std::ptrdiff_t p) { return p < headEnd || p >= tailStart; };
  for (std::ptrdiff_t p = 0; p < headEnd; ++p) s[p] = 0;
  for (std::ptrdiff_t p = tailStart; p < Len; ++p) s[p] = 0;
  // Outputs that reach the edges: the first L and the last L + 1 (all when there is no
  // middle), in ascending order.
  auto edgeTerms = [&](std::ptrdiff_t lFirst, std::ptrdiff_t lLast) {
    for (std::ptrdiff_t l = lFirst; l <= lLast; ++l) {
      const Extended a = x[l - 1], d = x[h + l - 1];
      for (int m = 0; m < L; ++m) {
        const std::ptrdiff_t p = ExtendedIndex(2 * l - L + m, Len, Mode);
        if (p >= 0 && inEdge(p)) s[p] += lp[m] * a + hp[m] * d;
      }
    }
  };
  if (!middle) {
    edgeTerms(1, h);
    return;
  }
  const std::ptrdiff_t firstEnd = h < L ? h : L;
  edgeTerms(1, firstEnd);
  edgeTerms(h - L > firstEnd ? h - L : firstEnd + 1, h);
  const TSplitTaps<L> taps(lp, hp);
  // a[q] = x[j + q], d[q] = x[h + j + q]: the outputs l = j + 1 + q that reach 2j and 2j + 1.
  Extended a[kOrder] = {}, d[kOrder] = {};
  for (std::ptrdiff_t q = 0; q + 1 < kOrder; ++q) {
    a[q + 1] = x[jLo + q];
    d[q + 1] = x[h + jLo + q];
  }
  for (std::ptrdiff_t j = jLo; j <= jHi; ++j) {
    for (std::ptrdiff_t q = 0; q + 1 < kOrder; ++q) {
      a[q] = a[q + 1];
      d[q] = d[q + 1];
    }
    a[kOrder - 1] = x[j + kOrder - 1];
    d[kOrder - 1] = x[h + j + kOrder - 1];
    const TSplitTaps<L>* c = &taps;
    NUV_OPAQUE(c);
    Extended even = 0, odd = 0;
    for (std::ptrdiff_t q = 0; q < kOrder; ++q) {
      const std::ptrdiff_t me = L - 2 - 2 * q, mo = L - 1 - 2 * q;
      even += (a[q] * c->lpHi[me] + a[q] * c->lpLo[me]) + (d[q] * c->hpHi[me] + d[q] * c->hpLo[me]);
      odd += (a[q] * c->lpHi[mo] + a[q] * c->lpLo[mo]) + (d[q] * c->hpHi[mo] + d[q] * c->hpLo[mo]);
    }
    s[2 * j] = even;
    s[2 * j + 1] = odd;
  }
}

template <int L>
void Step(bool Inverse, const Extended* x, Extended* s, std::ptrdiff_t Len, TWLSigExtMode Mode,
          const Extended* lp, const Extended* hp) {
  if (Inverse)
    InverseStep<L>(x, s, Len, Mode, lp, hp);
  else
    ForwardStep<L>(x, s, Len, Mode, lp, hp);
}

}  // namespace

void TWavelet1D::PartialWLT(int32_t Len, int32_t Offs, bool Inverse) {
  if (Len <= 1 || Offs < 0 || Len > FNumData - Offs) return;
  Extended* s = Scratch(static_cast<size_t>(Len));
  Extended* x = FData.data() + Offs;
  const Extended* lp = FCoeffsLP.data();
  const Extended* hp = FCoeffsHP.data();
  switch (FOrder) {
    case 1:
      Step<2>(Inverse, x, s, Len, FWLSigExtMode, lp, hp);
      break;
    case 2:
      Step<4>(Inverse, x, s, Len, FWLSigExtMode, lp, hp);
      break;
    default:
      Step<6>(Inverse, x, s, Len, FWLSigExtMode, lp, hp);
      break;
  }
  // A step over the whole signal hands its result over instead of copying it.
  if (Len == FNumData)
    FData.swap(FScratch);
  else
    std::memcpy(static_cast<void*>(x), s, static_cast<size_t>(Len) * sizeof(Extended));
}

void TWavelet1D::SingleStep(bool inverse) { PartialWLT(FNumData, 0, inverse); }

void TWavelet1D::DoWLT(int32_t Level, bool Inverse) {
  if (Level <= 0) Level = 1;
  if (FNumData <= 1) return;
  // 64-bit lengths: doubling past the largest size must not overflow.
  const int64_t n = FNumData;
  if (Inverse) {
    for (int64_t len = 2, done = 0; done < Level && len <= n; len *= 2, ++done)
      PartialWLT(static_cast<int32_t>(len), 0, true);
  } else {
    for (int64_t len = n, done = 0; done < Level && len > 1; len /= 2, ++done)
      PartialWLT(static_cast<int32_t>(len), 0, false);
  }
}

void TWavelet1D::Transform(int32_t Level) { DoWLT(Level, false); }

void TWavelet1D::InverseTransform(int32_t Level) { DoWLT(Level, true); }

}  // namespace nuv
