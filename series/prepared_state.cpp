#include "series/prepared_state.hpp"

#include "base/config.hpp"
#include "base/named_bytes.hpp"
#include "problem/adaptor.hpp"
#include "series/driver_options.hpp"
#include "series/preparation.hpp"
#include "series/run_record.hpp"
#include "sif/records.hpp"
#include "sqp/sqpglue.hpp"

namespace morlan {

namespace {

void add_records(PreparedDigests& d, const std::vector<NamedBytes>& records) {
  for (const NamedBytes& r : records) d.push_back({r.name, digest_of(r.data, r.size)});
}

// A value of the preparation, field by field (no padding bytes).
template <class... T>
void add_value(PreparedDigests& d, std::string name, const T&... values) {
  Encoder e;
  e(values...);
  const std::string bytes = e.take();
  d.push_back({std::move(name), digest_of(bytes.data(), bytes.size())});
}

}  // namespace

PreparedDigests prepared_digests(const RunPlan& plan, const DriverOptions& options) {
  PreparedDigests d;
  add_records(d, evaluation_records());
  add_records(d, adaptor_records());
  add_records(d, binding_records());
  const RunSettings& s = plan.settings;
  add_value(d, "run settings (rule, levels, initial temperature, ratio)", s.rule, s.nconsec, s.t0,
            s.rt);
  const Grid& g = plan.measure.grid();
  std::string grid;
  for (int i = 1; i <= cfg::kNvar; ++i) {
    Encoder e;
    e(g.shift(i), g.spacing(i), g.on_grid(i), g.points(i));
    grid += e.take();
  }
  add_value(d, "grid", g.any, g.shifted, grid);
  // The limit comes from each process's own command line (--max-evaluations,
  // --polish): a rank started with other options would cut its runs
  // elsewhere.
  add_value(d, "evaluation limit of a run", plan.measure.evaluation_limit());
  // What a run does after its search and what its record keeps for rank 0's
  // files also come from each process's own command line: a rank without
  // --polish would hand back unpolished runs, one without --log runs with no
  // rows to write.
  add_value(d, "options of a run (--polish, --polish-margin, --max-evaluations, --log, --results, "
               "--best, --points)",
            options.polish, options.polish_margin, options.max_evaluations,
            options.log_file.has_value(), options.results_file.has_value(),
            options.best_file.has_value() || options.points_file.has_value());
  return d;
}

std::optional<std::string> first_difference(const PreparedDigests& mine,
                                            const PreparedDigests& theirs) {
  if (mine.size() != theirs.size()) return "the list of prepared records";
  for (std::size_t i = 0; i < mine.size(); ++i) {
    if (mine[i].name != theirs[i].name) return "the list of prepared records";
    if (mine[i].digest != theirs[i].digest) return mine[i].name;
  }
  return std::nullopt;
}

}  // namespace morlan
