// Captures what the program writes on an output unit during a test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "io/output.hpp"

namespace morlan::io {

class Captured {
 public:
  explicit Captured(int unit = kStdout) : unit_(unit), stream_(open_memstream(&buf_, &size_)) {
    previous_ = redirect_output(unit_, stream_);
  }
  ~Captured() {
    redirect_output(unit_, previous_);
    std::fclose(stream_);
    std::free(buf_);
  }
  Captured(const Captured&) = delete;
  Captured& operator=(const Captured&) = delete;
  std::string text() {
    std::fflush(stream_);
    return std::string(buf_, size_);
  }

 private:
  int unit_;
  char* buf_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
  std::FILE* previous_;
};

}  // namespace morlan::io
