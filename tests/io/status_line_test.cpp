// The status line on a pseudo-terminal and on a pipe: drawn in place and cut
// to the terminal's width, erased before standard output only when that is
// the same terminal, and whole lines where there is no terminal.
#include "io/status_line.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "io/output.hpp"

namespace morlan::io {
namespace {

// A pseudo-terminal of `columns` columns; what is written to its other end
// is read back by drain().
class Terminal {
 public:
  explicit Terminal(int columns) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(columns);
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master_, &slave_, nullptr, &raw, &size) != 0) master_ = slave_ = -1;
  }
  ~Terminal() {
    ::close(master_);
    ::close(slave_);
  }
  bool ok() const { return master_ >= 0; }
  int fd() const { return slave_; }
  // Everything that arrives until the terminal has been quiet for 100 ms
  // (a terminal hands written bytes over a moment later).
  std::string drain() {
    std::string text;
    char buf[512];
    for (pollfd p{master_, POLLIN, 0}; ::poll(&p, 1, 100) > 0;) {
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      text.append(buf, static_cast<std::size_t>(n));
    }
    return text;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
};

class StatusLine : public ::testing::Test {
 protected:
  void TearDown() override { set_status_descriptors(-1, -1); }
};

TEST_F(StatusLine, IsDrawnInPlaceCutToTheWidthAndErasedBeforeTheSameTerminalsOutput) {
  Terminal tty(20);
  ASSERT_TRUE(tty.ok());
  set_status_descriptors(tty.fd(), tty.fd());
  EXPECT_TRUE(status_on_terminal());
  show_status("run 1/2 stage 3/~25 | 0:41 ~1:10 left");
  EXPECT_EQ(tty.drain(), "\rrun 1/2 stage 3/~25\033[K");  // 19 of 20 columns
  show_status("short");
  EXPECT_EQ(tty.drain(), "\rshort\033[K");
  clear_status_for(kStdout);
  EXPECT_EQ(tty.drain(), "\r\033[K");
  // Nothing stands there any more: nothing to erase.
  clear_status_for(kStdout);
  erase_status();
  EXPECT_EQ(tty.drain(), "");
}

TEST_F(StatusLine, StaysWhenStandardOutputGoesElsewhereButNotForStandardError) {
  Terminal tty(80);
  ASSERT_TRUE(tty.ok());
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  set_status_descriptors(tty.fd(), pipe_fds[1]);
  show_status("working");
  tty.drain();
  clear_status_for(kStdout);
  EXPECT_EQ(tty.drain(), "");
  clear_status_for(kMessageUnit7);
  EXPECT_EQ(tty.drain(), "\r\033[K");
  ::close(pipe_fds[0]);
  ::close(pipe_fds[1]);
}

TEST_F(StatusLine, IsAWholeLineWhereThereIsNoTerminal) {
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  set_status_descriptors(pipe_fds[1], pipe_fds[1]);
  EXPECT_FALSE(status_on_terminal());
  show_status("run 1/1 stage 1/~3");
  clear_status_for(kMessageUnit7);
  erase_status();
  ::close(pipe_fds[1]);
  std::string text;
  char buf[256];
  for (ssize_t n; (n = ::read(pipe_fds[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
  ::close(pipe_fds[0]);
  EXPECT_EQ(text, "run 1/1 stage 1/~3\n");
}

}  // namespace
}  // namespace morlan::io
