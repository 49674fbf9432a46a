// Units: the numbered input and output channels of the program.
//
// Standard input is unit 5 and standard output unit 6. Files are connected
// to units by open_old (the problem data file on 55 and 66, the starting
// point file on 20). Output to any unit other than 6 goes to standard error.
#pragma once

#include <cstdio>
#include <string_view>

namespace morlan::io {

inline constexpr int kStdin = 5;

// True when a file of that name (trailing blanks removed) exists.
bool file_exists(std::string_view name);

// Connect a unit to an existing file for formatted reading (status "old").
// Returns 0 on success, otherwise a positive status code (the errno value).
int open_old(int unit, std::string_view name);

// Connect a unit to an existing file, or stop. `field` is the file name in
// its fixed-length character field, printed with its trailing blanks:
//   "File ", field, " doesn't exist!"          when there is no such file;
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

// The stream for output to a unit: standard output for 6, standard error for
// every other unit.
std::FILE* output_stream(int unit);

// Redirect an output unit (tests capture standard output this way);
// nullptr restores the default. Returns the previous override.
std::FILE* redirect_output(int unit, std::FILE* stream);

// Replace the stream of an input unit (tests feed the dialogue this way);
// nullptr restores the default for unit 5 and disconnects any other unit.
void redirect_input(int unit, std::FILE* stream, std::string_view name);

// Name with trailing blanks removed (Fortran-style fixed character fields).
std::string_view trim_right(std::string_view s);

}  // namespace morlan::io
