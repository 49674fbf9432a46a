// Standard output of the annealing tests, collected in memory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "io/console.hpp"
#include "io/units.hpp"

namespace morlan::test {

// Standard output collected in memory while the object lives; stops throw.
class Captured {
 public:
  Captured() : stream_(open_memstream(&buffer_, &size_)) {
    io::redirect_output(io::kStdout, stream_);
    previous_ = io::set_stop_handler(io::throwing_stop_handler);
  }
  ~Captured() {
    io::set_stop_handler(previous_);
    io::redirect_output(io::kStdout, nullptr);
    std::fclose(stream_);
    std::free(buffer_);
  }
  Captured(const Captured&) = delete;
  Captured& operator=(const Captured&) = delete;

  std::string text() {
    std::fflush(stream_);
    return std::string(buffer_, size_);
  }
  std::vector<std::string> lines() {
    std::vector<std::string> out;
    std::istringstream in(text());
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
  io::StopHandler previous_;
};

}  // namespace morlan::test
