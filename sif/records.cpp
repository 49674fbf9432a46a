#include "sif/records.hpp"

namespace morlan {

// The one instance of each record; eltype lives with settyp, its writer.
GlobalRecord global;
CharaRecord chara;
DimsRecord dims;
OutputRecord output;
LocalRecord local;
PrfctsRecord prfcts;
SetupcountRecord setupcount;

}  // namespace morlan
