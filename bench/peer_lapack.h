// Fortran BLAS and LAPACK entry points used as benchmark peers. They exist in
// OpenBLAS and in the reference LAPACK alike, so a benchmark needs no C
// wrapper package (cblas, lapacke) beside either.
#pragma once

#if defined(NUV_BENCH_LAPACK)
extern "C" {
void dgemm_(const char* ta, const char* tb, const int* m, const int* n, const int* k,
            const double* alpha, const double* a, const int* lda, const double* b, const int* ldb,
            const double* beta, double* c, const int* ldc);
void dsyrk_(const char* uplo, const char* trans, const int* n, const int* k, const double* alpha,
            const double* a, const int* lda, const double* beta, double* c, const int* ldc);
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work,
             const int* lwork, int* info);
void dgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a,
             const int* lda, double* s, double* u, const int* ldu, double* vt, const int* ldvt,
             double* work, const int* lwork, int* info);
void dsyev_(const char* jobz, const char* uplo, const int* n, double* a, const int* lda, double* w,
            double* work, const int* lwork, int* info);
void dsyevd_(const char* jobz, const char* uplo, const int* n, double* a, const int* lda,
             double* w, double* work, const int* lwork, int* iwork, const int* liwork, int* info);
#if defined(NUV_BENCH_OPENBLAS)
void openblas_set_num_threads(int num_threads);
#endif
}

namespace nuv_bench {
/// Peers run on one thread, as the library does.
inline void SingleThreadedPeers() {
#if defined(NUV_BENCH_OPENBLAS)
  openblas_set_num_threads(1);
#endif
}
}  // namespace nuv_bench
#endif
