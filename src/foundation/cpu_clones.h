// Functions compiled twice, for AVX2 and for the baseline, with the better
// one bound by the dynamic loader (an indirect function). Only GCC on x86-64
// Linux offers this in the form used here. Under ThreadSanitizer the
// loader runs the instrumented resolver before the sanitizer's runtime is up
// and the process dies while loading, so such builds take the baseline only.
#ifndef NUV_FOUNDATION_CPU_CLONES_H
#define NUV_FOUNDATION_CPU_CLONES_H

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__) && \
    !defined(__SANITIZE_THREAD__)
#define NUV_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define NUV_AVX2_CLONES
#endif

#endif
