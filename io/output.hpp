// Output: the one place where the program's text reaches a file descriptor.
//
// Standard output is unit 6; every other unit goes to standard error, so
// that no message is ever written nowhere. A line is on its way to the file
// descriptor as soon as it is complete: nothing is held back in a buffer,
// so an interrupt, a termination or a crash loses no line that was printed
// before it, and a worker process that prints into a pipe hands over every
// line as it is made.
//
// A failed write of standard output ends the program: a closed pipe
// (`morlan | head`) quietly, any other failure (a full disk) with one line
// on standard error; both with exit status 1. (With SIGPIPE at its default
// action, the signal ends the program at a closed pipe first, quietly as
// well.) Failures on standard error are ignored, since there is nowhere
// left to report them.
#pragma once

#include <cstdio>
#include <string_view>

namespace morlan::io {

// Output units: 6 is standard output; 7 (the message unit of the SQP side's
// problem set-up) and every other unit go to standard error.
inline constexpr int kStdout = 6;
inline constexpr int kMessageUnit7 = 7;
inline constexpr int kStderr = 0;

// Writes `text` exactly, all of it, to the unit. Only complete lines should
// be handed over (the console layer does so).
void write_text(int unit, std::string_view text);

// Writes every byte of `text` to a file descriptor: an interrupted write
// goes on, a descriptor left non-blocking by another process is waited for.
// Returns 0, or the errno value of the failure. (For the program's own
// files; its lines go through write_text.)
int write_all(int fd, std::string_view text);

// The file descriptor of a unit without a test override: 1 for unit 6,
// 2 for every other unit.
int output_descriptor(int unit);

// While a sink is installed, every piece of text written to an output unit
// goes to the sink, with its unit, instead of to the unit's file: a worker
// process of a parallel series collects each run's lines this way and hands
// them to the parent, which writes them out in run order. nullptr writes to
// the files again.
using OutputSink = void (*)(int unit, std::string_view text);
void set_output_sink(OutputSink sink);

// Redirect an output unit to a stream (tests capture what the program
// writes this way; every piece written is flushed at once, and a failed
// write of unit 6 counts as a failed write of standard output). nullptr
// restores the default. Returns the previous override.
std::FILE* redirect_output(int unit, std::FILE* stream);

}  // namespace morlan::io
