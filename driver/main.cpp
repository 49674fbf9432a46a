// morlan: constrained simulated annealing on the linked problem.
#include "driver/driver.hpp"
#include "io/signals.hpp"

int main(int /*argc*/, char** /*argv*/) {
  morlan::io::install_signal_handlers();
  morlan::DriverOptions options;
  morlan::run_driver(options);
}
