#include <cmath>
#include <iterator>

#include "sif/decoded/decoded.hpp"

namespace morlan {

namespace {

// Type 1: (y1*y1 - y2*y2) - q*y3*|y3|^(c-1), a pressure-drop law.
constexpr double kC = 1.8539;
// Types 2 and 3: x3*(b*((S/D)^a - 1)), a compressor power law.
constexpr double kA = 0.23077;
constexpr double kB = 203.712;

// The pieces of the element values, written once for elfuns and for
// element_value. Compressor: discharge and suction terms d and s, and the
// power (s/d)^a.
double compressor_power(double x1, double x2, double x4, double p1, double p2, double& d,
                        double& s) {
  d = x1 - p1 * x4;
  s = x2 + p2 * x4;
  return std::pow(s / d, kA);
}

double compressor_value(double x3, double p) { return x3 * (kB * (p - 1.0)); }

double pipe_value(double y1, double y2, double y3, double q, double pw) {
  return (y1 * y1 - y2 * y2) - q * y3 * pw;
}

// Variables and parameters of the element types: 1 pipe, 2 compressor unit,
// 3 compressor unit whose loss flow is another arc's.
constexpr ElementShape kShapes[] = {{3, 1}, {4, 2}, {4, 2}};

}  // namespace

int element_type_count() { return static_cast<int>(std::size(kShapes)); }

ElementShape element_type_shape(int type) { return kShapes[type - 1]; }

double element_value(int ielemn, CVec xvalue, CVec epvalu, CIVec itypee, CIVec istaev,
                     CIVec ielvar, CIVec istep) {
  const int ilstrt = istaev(ielemn) - 1;
  const int ipstrt = istep(ielemn) - 1;
  const int itype = itypee(ielemn);
  if (itype == 2 || itype == 3) {
    double d;
    double s;
    const double p = compressor_power(xvalue(ielvar(ilstrt + 1)), xvalue(ielvar(ilstrt + 2)),
                                      xvalue(ielvar(ilstrt + 4)), epvalu(ipstrt + 1),
                                      epvalu(ipstrt + 2), d, s);
    return compressor_value(xvalue(ielvar(ilstrt + 3)), p);
  }
  const double y3 = xvalue(ielvar(ilstrt + 3));
  return pipe_value(xvalue(ielvar(ilstrt + 1)), xvalue(ielvar(ilstrt + 2)), y3,
                    epvalu(ipstrt + 1), std::pow(std::fabs(y3), kC - 1.0));
}

void elfuns(Vec fuvals, CVec xvalue, CVec epvalu, int ncalcf, CIVec itypee, CIVec istaev,
            CIVec ielvar, CIVec intvar, CIVec isthes, CIVec istep, CIVec icalcf, int ifflag) {
  for (int jcalcf = 1; jcalcf <= ncalcf; ++jcalcf) {
    const int ielemn = icalcf(jcalcf);
    const int ilstrt = istaev(ielemn) - 1;
    const int igstrt = intvar(ielemn) - 1;
    const int ipstrt = istep(ielemn) - 1;
    const int ihstrt = isthes(ielemn) - 1;
    const int itype = itypee(ielemn);
    if (itype == 2 || itype == 3) {
      const double x1 = xvalue(ielvar(ilstrt + 1));
      const double x2 = xvalue(ielvar(ilstrt + 2));
      const double x3 = xvalue(ielvar(ilstrt + 3));
      const double x4 = xvalue(ielvar(ilstrt + 4));
      const double p1 = epvalu(ipstrt + 1);
      const double p2 = epvalu(ipstrt + 2);
      double d;
      double s;
      const double p = compressor_power(x1, x2, x4, p1, p2, d, s);
      const double q = kA * kB * p * x3;
      if (ifflag == 1) {
        fuvals(ielemn) = compressor_value(x3, p);
      } else {
        const double g1 = -q / d;
        const double g2 = q / s;
        const double g3 = kB * (p - 1.0);
        const double g4 = p2 * g2 - p1 * g1;
        fuvals(igstrt + 1) = g1;
        fuvals(igstrt + 2) = g2;
        fuvals(igstrt + 3) = g3;
        fuvals(igstrt + 4) = g4;
        if (ifflag == 3) {
          const double h11 = (kA + 1.0) * q / (d * d);
          const double h12 = -(q * kA) / (d * s);
          const double h22 = (kA - 1.0) * q / (s * s);
          const double h13 = g1 / x3;
          const double h23 = g2 / x3;
          const double h14 = p2 * h12 - p1 * h11;
          const double h24 = p2 * h22 - p1 * h12;
          const double h34 = g4 / x3;
          const double h44 = p2 * h24 - p1 * h14;
          fuvals(ihstrt + 1) = h11;
          fuvals(ihstrt + 2) = h12;
          fuvals(ihstrt + 3) = h22;
          fuvals(ihstrt + 4) = h13;
          fuvals(ihstrt + 5) = h23;
          fuvals(ihstrt + 6) = 0.0;
          fuvals(ihstrt + 7) = h14;
          fuvals(ihstrt + 8) = h24;
          fuvals(ihstrt + 9) = h34;
          fuvals(ihstrt + 10) = h44;
        }
      }
    } else {
      // Type 1, and any other type.
      const double y1 = xvalue(ielvar(ilstrt + 1));
      const double y2 = xvalue(ielvar(ilstrt + 2));
      const double y3 = xvalue(ielvar(ilstrt + 3));
      const double q = epvalu(ipstrt + 1);
      const double ay3 = std::fabs(y3);
      const double pw = std::pow(ay3, kC - 1.0);
      // The second derivative in y3 is formed in every mode, kept in mode 3.
      const double h33 = y3 >= 0.0 ? -(kC - 1.0) * q * kC * std::pow(y3, kC - 2.0)
                                   : (kC - 1.0) * kC * q * std::pow(ay3, kC - 2.0);
      if (ifflag == 1) {
        fuvals(ielemn) = pipe_value(y1, y2, y3, q, pw);
      } else {
        fuvals(igstrt + 1) = y1 + y1;
        fuvals(igstrt + 2) = -(y2 + y2);
        fuvals(igstrt + 3) = -q * kC * pw;
        if (ifflag == 3) {
          fuvals(ihstrt + 1) = 2.0;
          fuvals(ihstrt + 2) = 0.0;
          fuvals(ihstrt + 3) = -2.0;
          fuvals(ihstrt + 4) = 0.0;
          fuvals(ihstrt + 5) = 0.0;
          fuvals(ihstrt + 6) = h33;
        }
      }
    }
  }
}

}  // namespace morlan
