#include "anneal/run_records.hpp"

namespace morlan {

MsaRecord msa;
VtolRecord vtol;
NsaiterRecord nsaiter;
BestfoundRecord bestfound;

}  // namespace morlan
