// The dialogue's answers, as one value: what every part of the program that
// acts on them takes, and what rank 0 of morlan-mpi hands the other ranks.
// Header only.
#pragma once

#include <cstdint>

namespace morlan {

struct Answers {
  double scale = 0.0;          // objective scale: the forms use objective / scale
  std::int32_t form = 0;       // Lagrangian form: 0 .. 5, or 10 (relaxed equalities)
  double radius = 0.0;         // initial relaxed radius of the equalities (form 10)
  std::int32_t rule = 0;       // annealing rule: 0 plain, 1 population, 10 relaxed
  std::int32_t multilevel = 0; // nonzero: the multi-level scheme
  std::int32_t nconsec = 0;    // its number of agreeing levels
  std::int32_t runmode = 0;    // 1: a series of runs from random starts; 0: one run from a file
  std::int32_t nruns = 0;      // runs of the series (1 for the single run)
  double ratio = 0.0;          // cooling ratio of the temperature
};

// The answers field by field, for the messages between processes
// (series/run_record.hpp).
template <class Archive>
void fields(Archive& a, Answers& s) {
  a(s.scale, s.form, s.radius, s.rule, s.multilevel, s.nconsec, s.runmode, s.nruns, s.ratio);
}

}  // namespace morlan
