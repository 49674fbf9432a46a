// The set-up's stops: its messages go to the message unit given to csetup,
// and every stop for lack of room closes the data file first.
#pragma once

namespace morlan {

// The three-line capacity message for `array` (a 6-column field) and the
// capacity `parameter` (6 columns); nothing when iout < 1.
void capacity_message(int iout, const char* array, const char* parameter, int excess);

// Close the data file on unit `input` and stop with an error status.
[[noreturn]] void abandon_setup(int input);

// When excess > 0: the capacity message, then abandon_setup.
void stop_if_short(int excess, const char* array, const char* parameter, int input, int iout);

// "the problem uses no variables", "the problem is vacuous": close the data
// file, the message (when iout > 0), and stop with an error status.
[[noreturn]] void stop_unusable_problem(int input, int iout, const char* what);

}  // namespace morlan
