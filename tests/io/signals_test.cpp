// Signal handlers: the line on standard error and how the process ends.
#include <gtest/gtest.h>

#include <csignal>

#include "io/signals.hpp"

namespace morlan::io {
namespace {

TEST(SignalsDeathTest, InterruptAndTerminationExitWithStatusOne) {
  EXPECT_EXIT((install_signal_handlers(), std::raise(SIGINT)), testing::ExitedWithCode(1),
              "^Interrupt\n$");
  EXPECT_EXIT((install_signal_handlers(), std::raise(SIGTERM)), testing::ExitedWithCode(1),
              "^Killed\n$");
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
