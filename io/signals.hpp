// Signal handlers of the program: one line on standard error, then the end
// of the process (abort for the trap-like signals, exit status 1 for
// interrupt and termination). Every line printed before the signal is kept,
// since each line is written as soon as it is complete.
#pragma once

namespace morlan::io {

void install_signal_handlers();

}  // namespace morlan::io
