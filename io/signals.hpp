// Signal handlers of the program: one line on standard error, then the end
// of the process (abort for the trap-like signals, exit status 1 for
// interrupt and termination).
#pragma once

namespace morlan::io {

void install_signal_handlers();

}  // namespace morlan::io
