#include "io/output_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/console.hpp"
#include "io/output.hpp"

namespace morlan::io {

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

int OutputFile::open(const std::string& name) {
  name_ = name;
  // Non-blocking only for the open itself: a FIFO without a reader fails
  // at once (ENXIO) instead of holding the program before its dialogue.
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  fd_ = fd;
  return 0;
}

bool OutputFile::same_file_as(const OutputFile& other) const {
  struct stat a {};
  struct stat b {};
  if (fd_ < 0 || other.fd_ < 0 || ::fstat(fd_, &a) != 0 || ::fstat(other.fd_, &b) != 0) {
    return false;
  }
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void OutputFile::restart(std::string_view text) {
  if (fd_ < 0 || failed_) return;
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) < 0) {
      report(errno);
      return;
    }
  }
  write(text);
}

void OutputFile::write(std::string_view text) {
  if (fd_ < 0 || failed_) return;
  const int error = write_all(fd_, text);
  if (error != 0) report(error);
}

void OutputFile::close() {
  if (fd_ < 0) return;
  const int result = ::close(fd_);
  fd_ = -1;
  if (result != 0 && !failed_) report(errno);
}

void OutputFile::report(int error) {
  failed_ = true;
  line("morlan: output error: cannot write " + what_ + " '" + shown_bytes(name_) +
           "': " + std::strerror(error),
       kMessageUnit7);
}

std::string open_failure_text(const OutputFile& file, int error) {
  return "morlan: cannot open " + file.what() + " '" + shown_bytes(file.name()) +
         "': " + std::strerror(error);
}

}  // namespace morlan::io
