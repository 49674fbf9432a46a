#include "sqp/solver_records.hpp"

namespace morlan {

O8dimRecord o8dim;
O8xdatRecord o8xdat;
O8itinRecord o8itin;
O8cntRecord o8cnt;
O8mparRecord o8mpar;
O8stpaRecord o8stpa;
O8derRecord o8der;
O8ioRecord o8io;
O8rstRecord o8rst;
O8griRecord o8gri;

}  // namespace morlan
