// The dialogue on standard input: its prompts, its answers and their
// checks. A rejected answer ends the program with its message (status 1),
// an unreadable one with the input error (status 2).
#pragma once

#include <string>
#include <string_view>

#include "base/one_based.hpp"
#include "series/answers.hpp"

namespace morlan {

// Dialogue prompts, also used to name the value in input diagnostics.
namespace prompt {
inline constexpr std::string_view kScale = "Input scale slobj for obj (obj/slobj) =";
inline constexpr std::string_view kLagrangian = "Lagrange function/(0,1,2,3,4,5,10)";
inline constexpr std::string_view kRelaxedSize = "Input initial relaxed size for equality = ";
inline constexpr std::string_view kRule = "cSA rule/(0 - cSA, 1 - pSA)";
inline constexpr std::string_view kMultiLevel = "Multi-level CSA/(0,1)";
inline constexpr std::string_view kConsecutive = "Input #consecutive NTs for stop";
inline constexpr std::string_view kMultiStart = "Multi start /(0,1)";
inline constexpr std::string_view kRuns = "Input number of runs = ";
inline constexpr std::string_view kRatio = "Input ratio of reducing T =";
inline constexpr std::string_view kStartFile = "Input file name for starting point:";
}  // namespace prompt

// Width of the starting-point file name field.
inline constexpr int kFileNameWidth = 20;
// Unit the starting-point file is read on.
inline constexpr int kStartUnit = 20;

// Steps 1 to 6 of the dialogue: the objective scale, the Lagrangian form
// (with the relaxed radius for form 10), the rule, the multi-level scheme,
// the run mode and the number of runs.
Answers ask_answers();
// Step 7: the cooling ratio.
void ask_ratio(Answers& answers);

// The single run's starting-point file: its name, asked, then nvar finite
// values read from it into x(1..nvar).
void read_start_point(Vec x);

}  // namespace morlan
