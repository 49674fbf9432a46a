// The fuzz corpus seeds (and any input the fuzzer once failed on, kept with
// them) replayed through the reader, the set-up and the evaluation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/sif/fuzz/read_and_evaluate.hpp"

namespace morlan {
namespace {

namespace fs = std::filesystem;

TEST(FuzzSeeds, EveryInputEndsInAnOrderlyWay) {
  const char* source = std::getenv("MORLAN_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const fs::path corpus = fs::path(source) / "tests" / "sif" / "fuzz" / "corpus";
  int inputs = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int status = fuzz::read_and_evaluate(reinterpret_cast<const std::uint8_t*>(data.data()),
                                               data.size());
    EXPECT_TRUE(status == -1 || status == 1 || status == 2) << entry.path() << ": " << status;
    // The well-formed seeds are accepted.
    const std::string name = entry.path().filename().string();
    if (name == "toy" || name == "bundled" || name == "four-constraints") {
      EXPECT_EQ(status, -1) << name;
    }
    ++inputs;
  }
  EXPECT_GE(inputs, 10);
}

}  // namespace
}  // namespace morlan
