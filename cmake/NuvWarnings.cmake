# Warning, floating-point and sanitizer flags shared by the library, tests,
# benchmarks and tools.
add_library(nuv_warnings INTERFACE)
target_compile_options(nuv_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wall -Wextra -Wpedantic>
  $<$<AND:$<BOOL:${NUV_WERROR}>,$<CXX_COMPILER_ID:GNU,Clang,AppleClang>>:-Werror>)

# Every product and sum rounds as written: no compiler-chosen fused
# multiply-add (GCC contracts by default wherever the target has FMA, clang
# within an expression), so compensated sums and exact predicates stay exact
# and a result does not depend on the compiler. The kernels that fuse do it
# with explicit instructions.
target_compile_options(nuv_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-ffp-contract=off>)

# 32-bit x86: doubles in SSE2 registers, not in the x87 stack whose 80-bit
# intermediates (kept or rounded as registers spill) would make results vary
# with optimisation. long double (Extended) stays the x87 type.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86|x86_64|AMD64|amd64)$")
  target_compile_options(nuv_warnings INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-msse2 -mfpmath=sse>)
endif()

if(NUV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NUV_SANITIZE_THREAD)
  if(NUV_SANITIZE)
    message(FATAL_ERROR "NUV_SANITIZE_THREAD and NUV_SANITIZE exclude each other")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
