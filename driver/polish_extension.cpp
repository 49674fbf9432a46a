// --polish: a local SQP solve from the best point of every successful run,
// one line per polished run and the best polished objective after the
// summary of a series.
#include "driver/polish_extension.hpp"

#include "base/config.hpp"
#include "sqp/polish.hpp"

namespace morlan {

namespace {

class PolishExtension final : public RunExtension {
 public:
  void after_run(int isucc, CVec x) override {
    polished_ = isucc == 1;
    if (polished_) polisher_.polish_run(x.slice(1, cfg::kNvar));
  }
  bool last_point(double& objective, double& violation) const override {
    objective = polisher_.last_objective();
    violation = polisher_.last_violation();
    return polished_;
  }
  void after_summary() override { polisher_.print_summary(); }

 private:
  Polisher polisher_;
  bool polished_ = false;
};

}  // namespace

std::unique_ptr<RunExtension> make_polish_extension() { return std::make_unique<PolishExtension>(); }

}  // namespace morlan
