// Discrete Lagrangian descent: coordinate moves that must lower the
// Lagrangian, multipliers raised by the violations when the descent stalls.
#pragma once

#include "base/one_based.hpp"

namespace morlan {

void by_dlm(int& ifeas, Vec y, double& fobj, double& vmax, int& iters);

}  // namespace morlan
