// Symbol visibility for the nuv library: the library is built with hidden
// visibility, so every exported class and free function carries NUV_API.
#pragma once

#if defined(NUV_STATIC_DEFINE)
#define NUV_API
#elif defined(_WIN32)
#if defined(NUV_BUILDING_LIBRARY)
#define NUV_API __declspec(dllexport)
#else
#define NUV_API __declspec(dllimport)
#endif
#else
#define NUV_API __attribute__((visibility("default")))
#endif
