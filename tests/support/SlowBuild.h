#pragma once
// Sanitizer and unoptimised builds (the sanitizer suite is a debug build)
// run the largest inputs smaller.
namespace lociview {

#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
constexpr bool kSlowBuild = true;
#else
constexpr bool kSlowBuild = false;
#endif

}  // namespace lociview
