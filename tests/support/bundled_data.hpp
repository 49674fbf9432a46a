// Tests on the bundled problem read data/OUTSDIF.d of the source tree.
// Header only.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace morlan::testing {

// Makes the source tree's data/ folder, where OUTSDIF.d lies, the current
// folder. ctest passes the source tree in MORLAN_SOURCE_DIR.
inline void enter_bundled_data() {
  const char* source = std::getenv("MORLAN_SOURCE_DIR");
  if (source == nullptr) throw std::runtime_error("MORLAN_SOURCE_DIR is not set: run through ctest");
  std::filesystem::current_path(std::filesystem::path(source) / "data");
}

}  // namespace morlan::testing
