// libFuzzer entry: the data-file reader, the set-up and the evaluation.
#include <cstddef>
#include <cstdint>

#include "tests/sif/fuzz/read_and_evaluate.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  morlan::fuzz::read_and_evaluate(data, size);
  return 0;
}
