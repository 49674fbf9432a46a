#include "tests/sif/sif_file.hpp"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "io/console.hpp"
#include "io/units.hpp"
#include "base/one_based.hpp"
#include "sif/csetup.hpp"

namespace morlan::testing {

std::string int_lines(const std::vector<int>& v, int per_line) {
  std::string out;
  if (v.empty()) return "\n";
  char buf[32];
  for (std::size_t i = 0; i < v.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%6d", v[i]);
    out += buf;
    if ((i + 1) % per_line == 0 || i + 1 == v.size()) out += '\n';
  }
  return out;
}

std::string real_field(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%16.8E", v);
  std::string s(buf);
  for (char& c : s) {
    if (c == 'E') c = 'D';
  }
  return s;
}

std::string real_lines(const std::vector<double>& v, int per_line) {
  std::string out;
  if (v.empty()) return "\n";
  for (std::size_t i = 0; i < v.size(); ++i) {
    out += real_field(v[i]);
    if ((i + 1) % per_line == 0 || i + 1 == v.size()) out += '\n';
  }
  return out;
}

namespace {

std::string logical_lines(const std::vector<bool>& v) {
  std::string out;
  if (v.empty()) return "\n";
  for (std::size_t i = 0; i < v.size(); ++i) {
    out += v[i] ? 'T' : 'F';
    if ((i + 1) % 72 == 0 || i + 1 == v.size()) out += '\n';
  }
  return out;
}

// Names padded to 10 columns; trailing blanks of each line left out.
std::string name_lines(const std::vector<std::string>& v) {
  std::string out;
  if (v.empty()) return "\n";
  std::string line;
  for (std::size_t i = 0; i < v.size(); ++i) {
    std::string name = v[i].substr(0, 10);
    name.resize(10, ' ');
    line += name;
    if ((i + 1) % 8 == 0 || i + 1 == v.size()) {
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + '\n';
      line.clear();
    }
  }
  return out;
}

}  // namespace

std::string SifFile::text() const {
  std::string out;
  out += int_lines({n, ngroup(), nelem(), static_cast<int>(ieling.size()),
                    static_cast<int>(ielvar.size()), static_cast<int>(icna.size()),
                    static_cast<int>(gpvalu.size()), static_cast<int>(epvalu.size()),
                    static_cast<int>(etypes.size()), static_cast<int>(gtypes.size())},
                   10);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%2d", kclass);
  out += buf + name + "\n";
  if (kclass == 2) out += int_lines({ngroup(), iobjgr}, 2);
  out += int_lines(istadg) + int_lines(istgp) + int_lines(istada) + int_lines(istaev) +
         int_lines(istep) + int_lines(itypeg);
  if (kclass > 1) out += int_lines(kndofc);
  out += int_lines(itypee) + int_lines(intvar) + int_lines(ieling) + int_lines(ielvar) +
         int_lines(icna);
  out += real_lines(a) + real_lines(b) + real_lines(bl) + real_lines(bu) + real_lines(x);
  if (kclass > 1) out += real_lines(u);
  out += real_lines(gpvalu) + real_lines(epvalu) + real_lines(escale) + real_lines(gscale) +
         real_lines(vscale);
  out += real_lines({obfbnd[0], obfbnd[1]}, 2);
  out += logical_lines(intrep) + logical_lines(gxeqx);
  out += name_lines(gnames) + name_lines(vnames) + name_lines(etypes) + name_lines(gtypes);
  out += int_lines(ivtype);
  return out;
}

SifFile toy_problem() {
  SifFile f;
  f.n = 5;
  f.name = "TOY";
  // Elements: E1 type 1 on (x1, x2, x3); E2 type 2 on (x1, x2, x4, x5);
  // E3 type 3 on (x2, x1, x4, x3).
  f.itypee = {1, 2, 3};
  f.istaev = {1, 4, 8, 12};
  f.ielvar = {1, 2, 3, 1, 2, 4, 5, 2, 1, 4, 3};
  f.istep = {1, 2, 4, 6};
  f.epvalu = {0.5, 0.1, 0.2, 0.3, 0.1};
  f.intvar = {3, 4, 4};
  f.intrep = {false, true, false};
  // Groups: 1 objective, 2 range, 3 equality, 4 objective (linear only),
  // 5 one-sided (upper), 6 equality (linear only), 7 objective.
  f.kndofc = {1, 3, 2, 1, 3, 2, 1};
  f.gxeqx = {true, true, true, true, true, true, true};
  f.itypeg = {0, 0, 0, 0, 0, 0, 0};
  f.istgp = {1, 1, 1, 1, 1, 1, 1, 1};
  f.istadg = {1, 3, 4, 5, 5, 6, 6, 7};
  f.ieling = {1, 2, 1, 3, 2, 1};
  f.escale = {2.0, 0.5, -1.0, 1.0, 1.0, 3.0};
  f.istada = {1, 2, 4, 5, 7, 7, 12, 12};
  f.icna = {5, 1, 2, 3, 4, 1, 1, 2, 3, 4, 5};
  f.a = {3.0, 1.0, 1.0, -1.0, 2.0, -1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
  f.b = {1.0, 0.5, 0.0, -1.0, 0.0, 5.0, 0.0};
  f.gscale = {1.0, 2.0, 1.0, 0.5, 1.0, 1.0, 1.5};
  f.u = {0.0, 0.1, 0.2, 0.0, 0.3, 0.4, 0.0};
  // Variable bounds, then group bounds.
  f.bl = {0.5, -1.0e20, -1.0e19, 0.0, -2.0, -1.0e20, -1.0, 0.0, -1.0e20, -1.0e20, 0.0, -1.0e20};
  f.bu = {10.0, 1.0e20, 1.0e19, 5.0, 1.0e19, 1.0e20, 4.0, 0.0, 1.0e20, 10.0, 0.0, 1.0e20};
  f.x = {2.0, 3.0, 1.5, 0.5, 1.0};
  f.vscale = {1.0, 1.0, 1.0, 1.0, 1.0};
  f.gnames = {"OBJ1", "RANGE", "EQ3", "OBJ4", "UPPER5", "EQ6", "OBJ7"};
  f.vnames = {"X1", "X2", "X3", "X4", "X5"};
  f.etypes = {"PIPE", "COMP", "COMP2"};
  f.ivtype = {0, 0, 0, 0, 0};
  return f;
}

SifFile linear_problem(int n) {
  SifFile f;
  f.n = n;
  f.name = "LINEAR";
  f.kndofc = {1};
  f.gxeqx = {true};
  f.itypeg = {0};
  f.istgp = {1, 1};
  f.istadg = {1, 1};
  f.istada = {1, 2};
  f.icna = {1};
  f.a = {1.0};
  f.b = {0.0};
  f.gscale = {1.0};
  f.u = {0.0};
  f.istaev = {1};
  f.istep = {1};
  f.bl.assign(static_cast<std::size_t>(n), -1.0);
  f.bu.assign(static_cast<std::size_t>(n), 1.0);
  f.bl.push_back(-1.0e20);
  f.bu.push_back(1.0e20);
  f.x.assign(static_cast<std::size_t>(n), 0.0);
  f.vscale.assign(static_cast<std::size_t>(n), 1.0);
  f.gnames = {"OBJ"};
  for (int i = 1; i <= n; ++i) f.vnames.push_back("X" + std::to_string(i));
  f.ivtype.assign(static_cast<std::size_t>(n), 0);
  return f;
}

SifFile four_constraint_problem() {
  SifFile f;
  f.n = 2;
  f.name = "FOUR";
  f.kndofc = {3, 2, 3, 2};
  f.gxeqx = {true, true, true, true};
  f.itypeg = {0, 0, 0, 0};
  f.istgp = {1, 1, 1, 1, 1};
  f.istadg = {1, 1, 1, 1, 1};
  f.istada = {1, 2, 3, 4, 5};
  f.icna = {1, 2, 1, 2};
  f.a = {1.0, 2.0, 3.0, 4.0};
  f.b = {0.0, 0.0, 0.0, 0.0};
  f.gscale = {1.0, 1.0, 1.0, 1.0};
  f.u = {1.0, 2.0, 3.0, 4.0};
  f.istaev = {1};
  f.istep = {1};
  f.bl = {-1.0, -1.0, -10.0, 0.0, -30.0, 0.0};
  f.bu = {1.0, 1.0, 10.0, 0.0, 30.0, 0.0};
  f.x = {0.0, 0.0};
  f.vscale = {1.0, 1.0};
  f.gnames = {"G1", "G2", "G3", "G4"};
  f.vnames = {"X1", "X2"};
  f.ivtype = {0, 0};
  return f;
}

Capture::Capture(int unit) : unit_(unit) {
  stream_ = ::open_memstream(&buffer_, &size_);
  previous_ = io::redirect_output(unit, stream_);
}

Capture::~Capture() {
  io::redirect_output(unit_, previous_);
  std::fclose(stream_);
  std::free(buffer_);
}

std::string Capture::text() {
  std::fflush(stream_);
  return std::string(buffer_, size_);
}

SetupRun run_setup(const std::string& text, bool equfst, bool linfst) {
  SetupRun run;
  run.x.assign(1000, 0.0);
  run.bl = run.bu = run.v = run.cl = run.cu = run.x;
  bool equatn[1000] = {};
  bool linear[1000] = {};
  std::string data = text;
  std::FILE* in = ::fmemopen(data.data(), data.size(), "r");
  if (data.empty()) in = ::fopen("/dev/null", "r");
  io::redirect_input(55, in, "OUTSDIF.d");
  const io::StopHandler previous = io::set_stop_handler(io::throwing_stop_handler);
  {
    Capture out(6);
    Capture err(0);
    try {
      csetup(55, 6, run.n, run.m, Vec(run.x.data(), 1000), Vec(run.bl.data(), 1000),
             Vec(run.bu.data(), 1000), 1000, LVec(equatn, 1000), LVec(linear, 1000),
             Vec(run.v.data(), 1000), Vec(run.cl.data(), 1000), Vec(run.cu.data(), 1000), 1000,
             equfst, linfst, false);
    } catch (const io::StopRequest& stop) {
      run.stopped = true;
      run.status = stop.status;
    }
    run.out = out.text();
    run.err = err.text();
  }
  io::set_stop_handler(previous);
  io::redirect_input(55, nullptr, "");
  std::fclose(in);
  run.equatn.assign(equatn, equatn + 1000);
  run.linear.assign(linear, linear + 1000);
  return run;
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string make_temp_dir() {
  const char* base = std::getenv("TMPDIR");
  std::string templ = std::string(base != nullptr ? base : "/tmp") + "/morlan-sif-XXXXXX";
  if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return templ;
}

}  // namespace morlan::testing
