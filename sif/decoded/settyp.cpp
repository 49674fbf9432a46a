#include "sif/decoded/decoded.hpp"
#include "sif/records.hpp"

namespace morlan {

EltypeRecord eltype;

void settyp(int nelem, CIVec itypee) {
  // eltype holds the elements of the linked problem; a file with more
  // elements only has the types of the first ones recorded (ranges, the
  // only reader, treats every type alike).
  const int count = nelem < kLinkedElements ? nelem : kLinkedElements;
  for (int i = 1; i <= count; ++i) eltype(i) = itypee(i);
}

}  // namespace morlan
