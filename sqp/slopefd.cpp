// The module slopefd.o: the protocol's numerical gradients on the records
// of its interface.
#include "sqp/slopefd.hpp"

#include "measures/records.hpp"

namespace morlan {

void egradf1(Vec x, Vec g) { protocol::objective_differences({slobj.value, true}, x, g); }

void egradh1(int i, Vec x, Vec g) { protocol::equality_differences(i, x, g); }

void egradg1(int i, Vec x, Vec g) { protocol::inequality_differences(i, x, g); }

}  // namespace morlan
