// The relaxed radius of the equality constraints, in an object of its own:
// the Lagrangian layer reads it, and linking it must not pull in the
// relaxed-equality loop.
#include "anneal/relaxer.hpp"

namespace morlan {

RleqRecord rleq;

}  // namespace morlan
