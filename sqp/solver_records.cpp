#include "sqp/solver_records.hpp"

namespace morlan {

O8dimRecord o8dim;
O8xdatRecord o8xdat;
O8itinRecord o8itin;
O8cntRecord o8cnt;
O8mparRecord o8mpar;

}  // namespace morlan
