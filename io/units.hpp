// Input units: the numbered input channels of the program.
//
// Standard input is unit 5. Files are connected to units by open_old (the
// problem data file on 55 and 66, the starting point file on 20); only
// regular files are taken, since a FIFO or a device could make the program
// wait for ever or read without end. Output units are in io/output.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace morlan::io {

inline constexpr int kStdin = 5;

// True when a file of that name (trailing blanks removed) exists. A name
// with a NUL byte names no file.
bool file_exists(std::string_view name);

// open_old's status for a file that is neither a regular file nor a
// directory (a FIFO, a device, a socket).
inline constexpr int kNotRegularFile = -1;

// Connect a unit to an existing file for formatted reading (status "old").
// Returns 0 on success, kNotRegularFile, or a positive status code (the
// errno value; EISDIR for a directory). Opening never waits, also not on a
// FIFO without a writer.
int open_old(int unit, std::string_view name);

// Connect a unit to an existing file, or stop. `field` is the file name in
// its fixed-length character field, printed with its trailing blanks (and
// its unprintable bytes escaped, see shown_bytes in io/console):
//   "File ", field, " doesn't exist!"          when there is no such file;
//   "File ", field, " is not a regular file!"  for a FIFO, a device...;
//   "Open file ", field, " error ", status      when it cannot be opened;
// each followed by an error stop, since nothing can be read from a unit
// that did not open.
void open_old_or_stop(int unit, std::string_view field);

// The stream of a connected input unit (5 is standard input); nullptr when
// the unit is not connected.
std::FILE* input_stream(int unit);

// The name a unit is connected to ("standard input" for unit 5).
std::string_view unit_name(int unit);

// Disconnect a unit (closing its file); no effect when not connected.
void close_unit(int unit);

// Replace the stream of an input unit (tests feed the dialogue this way);
// nullptr restores the default for unit 5 and disconnects any other unit.
void redirect_input(int unit, std::FILE* stream, std::string_view name);

// Name with trailing blanks removed (Fortran-style fixed character fields).
std::string_view trim_right(std::string_view s);

}  // namespace morlan::io
