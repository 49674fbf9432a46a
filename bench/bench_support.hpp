// Shared set-up of the benchmarks: the bundled problem loaded as the program
// loads it, and the choice of evaluation path.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "problem/adaptor.hpp"
#include "base/config.hpp"

namespace morlan::bench {

// Loads data/OUTSDIF.d (from MORLAN_SOURCE_DIR, else the source tree the
// benchmark was built from) once per process.
inline void load_bundled_problem() {
  static bool loaded = false;
  if (loaded) return;
  const char* source = std::getenv("MORLAN_SOURCE_DIR");
  std::filesystem::current_path(std::filesystem::path(source != nullptr ? source : MORLAN_SOURCE_DIR) /
                                "data");
  prbcsa = {cfg::kNvar, cfg::kNcon, cfg::kNeq, cfg::kNineq};
  init_csa_pd();
  loaded = true;
}

}  // namespace morlan::bench
