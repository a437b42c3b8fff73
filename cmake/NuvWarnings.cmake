# Warning and sanitizer flags shared by the library, tests, benchmarks and tools.
add_library(nuv_warnings INTERFACE)
target_compile_options(nuv_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wall -Wextra -Wpedantic>
  $<$<AND:$<BOOL:${NUV_WERROR}>,$<CXX_COMPILER_ID:GNU,Clang,AppleClang>>:-Werror>)

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
