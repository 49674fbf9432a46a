// The status line: one line on standard error that a long computation
// rewrites in place (morlan's progress line), kept apart from everything
// else the program prints.
//
// On a terminal the line is drawn as a carriage return, the text (cut to
// the terminal's width, so that it never wraps) and "erase to the end of
// the line". It is erased again before any other text goes to standard
// error, and before text goes to standard output when that is the same
// terminal, so the program's own lines are never mixed with it; the next
// update draws it anew. Where standard error is not a terminal every update
// is one complete line, and nothing needs erasing.
#pragma once

#include <cstddef>
#include <string_view>

namespace morlan::io {

// Draws the status line with `text` (one line, no line end), replacing the
// one shown.
void show_status(std::string_view text);

// Erases the status line if one is shown on a terminal.
void erase_status();

// Called before text is written to an output unit: erases the status line
// when the text would otherwise land on the same terminal line.
void clear_status_for(int unit);

// True when status lines go to a terminal.
bool status_on_terminal();

// The characters a status line can show whole: one less than the
// terminal's columns (see show_status); 0, no limit, where status lines do
// not go to a terminal.
std::size_t status_room();

// For the signal handlers: erases a shown status line with one write(2),
// safe to call from a handler.
void erase_status_from_signal();

// Tests draw the status line on another descriptor (a pseudo-terminal, a
// pipe) and name the descriptor that counts as standard output; negative
// values restore standard error and standard output.
void set_status_descriptors(int status_fd, int stdout_fd);

}  // namespace morlan::io
