#include "anneal/run_records.hpp"

namespace morlan {

MsaRecord msa;
VtolRecord vtol;
NsaiterRecord nsaiter;

}  // namespace morlan
