// Signal handlers: the line on standard error and how the process ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "io/console.hpp"
#include "io/signals.hpp"

namespace morlan::io {
namespace {

TEST(SignalsDeathTest, InterruptAndTerminationExitWithStatusOne) {
  EXPECT_EXIT((install_signal_handlers(), std::raise(SIGINT)), testing::ExitedWithCode(1),
              "^Interrupt\n$");
  EXPECT_EXIT((install_signal_handlers(), std::raise(SIGTERM)), testing::ExitedWithCode(1),
              "^Killed\n$");
}

// Standard output goes to a file; a line printed before the signal must be
// in it afterwards.
std::string kept_after(int sig) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("morlan_signal_" + std::to_string(::getpid()) + "_" +
                             std::to_string(sig)))
                               .string();
  EXPECT_EXIT(
      {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        install_signal_handlers();
        say("run_id =", 1, " : Obj =", 85.5);
        say("x0 = ", 1.0, 2.0);
        std::raise(sig);
      },
      testing::ExitedWithCode(1), "");
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  std::filesystem::remove(path);
  return text.str();
}

TEST(SignalsDeathTest, InterruptAndTerminationKeepEveryPrintedLine) {
  for (const int sig : {SIGINT, SIGTERM}) {
    EXPECT_EQ(kept_after(sig), " run_id = 1 : Obj =  85.5\n x0 =   1.  2.\n") << sig;
  }
}

TEST(SignalsDeathTest, TrapLikeSignalsAbort) {
  EXPECT_EXIT((install_signal_handlers(), std::raise(SIGFPE)), testing::KilledBySignal(SIGABRT),
              "^Floating Exception\n$");
  EXPECT_EXIT((install_signal_handlers(), std::raise(SIGABRT)), testing::KilledBySignal(SIGABRT),
              "^IOT Trap\n$");
  EXPECT_EXIT((install_signal_handlers(), std::raise(SIGTRAP)), testing::KilledBySignal(SIGABRT),
              "^Trace trap\n$");
  EXPECT_EXIT((install_signal_handlers(), std::raise(SIGQUIT)), testing::KilledBySignal(SIGABRT),
              "^Quit signal\n$");
}

TEST(SignalsDeathTest, IgnoredInterruptStaysIgnored) {
  EXPECT_EXIT(
      {
        std::signal(SIGINT, SIG_IGN);
        install_signal_handlers();
        std::raise(SIGINT);
        std::_Exit(7);
      },
      testing::ExitedWithCode(7), "^$");
}

}  // namespace
}  // namespace morlan::io
