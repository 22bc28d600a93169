// The fuzz targets' check of an invariant: a broken one aborts with the bytes that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kelvaro {

inline void require(bool holds, const char* what, std::string_view context) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n[", what);
  std::fwrite(context.data(), 1, context.size(), stderr);
  std::fprintf(stderr, "]\n");
  std::abort();
}

}  // namespace kelvaro
