#include "sif/setup_messages.hpp"

#include <cstdio>
#include <string>

#include "io/console.hpp"
#include "io/units.hpp"

namespace morlan {

void capacity_message(int iout, const char* array, const char* parameter, int excess) {
  if (iout < 1) return;
  char text[96];
  io::line("", iout);
  std::snprintf(text, sizeof text, " ** SUBROUTINE CSETUP: array length %s too small.", array);
  io::line(text, iout);
  io::line(" -- Miminimization abandoned.", iout);
  std::snprintf(text, sizeof text, " -- Increase the parameter %s by at least %8d and restart.",
                parameter, excess);
  io::line(text, iout);
}

void abandon_setup(int input) {
  io::close_unit(input);
  io::error_stop();
}

void stop_if_short(int excess, const char* array, const char* parameter, int input, int iout) {
  if (excess <= 0) return;
  capacity_message(iout, array, parameter, excess);
  abandon_setup(input);
}

void stop_unusable_problem(int input, int iout, const char* what) {
  io::close_unit(input);
  if (iout > 0) {
    io::line("", iout);
    io::line(std::string(" ** SUBROUTINE CSETUP: ") + what + " Execution terminating ", iout);
  }
  io::error_stop();
}

}  // namespace morlan
