"""The published protocols of scripts/compare --protocol, and their figures.

cec2006: Liang et al., Problem definitions and evaluation criteria for the
CEC 2006 special session on constrained real-parameter optimization (2006):
25 runs, at most 5e5 evaluations each, the error f - f* of the best point
after 5e3, 5e4 and 5e5 evaluations, a run succeeds when it finds a feasible
point with f - f* <= 1e-4.

cec2020: Kumar et al., A test-suite of non-convex constrained optimization
problems from the real-world and some baseline results (2020): 25 runs,
the budget by the number of variables D (1e5 up to 10, 2e5 up to 30, 4e5 up
to 50, 8e5 up to 150, 1e6 above), the best point at the end; a run
succeeds when it finds a feasible point with f - f* <= 1e-8 (the report's
success rate).

Both: one evaluation is the objective and every constraint at one point; a
point is feasible when every one-sided inequality is at or below 0, every
equality within 1e-4 and every variable within its bounds. The points are
sorted as the reports sort them: feasible points by their error, then the
infeasible ones by their violation; best, median and worst are the first,
the ((runs + 1) / 2)-th and the last.
"""

import math
import statistics

EQUALITY_TOLERANCE = 1.0e-4


class Protocol:
    def __init__(self, name, runs, budget_of, checkpoints_of, success_tolerance):
        self.name = name
        self.runs = runs
        self.budget_of = budget_of            # variables -> evaluations per run
        self.checkpoints_of = checkpoints_of  # budget -> the evaluations recorded
        self.success_tolerance = success_tolerance  # f* -> largest f - f* of a success


def cec2020_budget(variables):
    for most, budget in ((10, 100000), (30, 200000), (50, 400000), (150, 800000)):
        if variables <= most:
            return budget
    return 1000000


PROTOCOLS = {
    'cec2006': Protocol('cec2006', 25, lambda n: 500000,
                        lambda budget: [c for c in (5000, 50000, 500000) if c < budget] + [budget],
                        lambda best: 1.0e-4),
    'cec2020': Protocol('cec2020', 25, cec2020_budget, lambda budget: [budget],
                        lambda best: 1.0e-8),
}


def excess(values):
    """The largest violation beyond the protocols' tolerances of a point the
    peers evaluated (hmax, gmax, bmax): 0 when it is feasible; NaN stays."""
    h, g, b = values['hmax'], values['gmax'], values['bmax']
    if any(math.isnan(v) for v in (h, g, b)):
        return float('nan')
    return max(h - EQUALITY_TOLERANCE, g, b, 0.0)


def feasible(values):
    return excess(values) == 0.0


class Outcome:
    """A run's best point at one number of evaluations: its objective when
    it is feasible, else the excess of its least infeasible point (None when
    the method reports none)."""

    def __init__(self, objective=None, excess=None):
        self.objective = objective
        self.excess = excess

    @property
    def feasible(self):
        return self.objective is not None

    def to_json(self):
        return {'objective': self.objective, 'excess': self.excess}

    @staticmethod
    def from_json(d):
        return Outcome(d['objective'], d['excess'])


def sort_key(outcome, best):
    """The reports' order: feasible points by their error, then infeasible
    ones by their violation (those with none known last)."""
    if outcome.feasible:
        return (0, outcome.objective - best if best is not None else outcome.objective)
    v = outcome.excess
    return (1, v if v is not None and not math.isnan(v) else math.inf)


def summary(outcomes, best):
    """Best, median and worst (outcomes), and the mean and standard
    deviation of the errors (objectives without a best-known value) of the
    feasible ones (None when there are none)."""
    ranked = sorted(outcomes, key=lambda o: sort_key(o, best))
    values = [o.objective - best if best is not None else o.objective
              for o in ranked if o.feasible]
    mean = statistics.fmean(values) if values else None
    sd = statistics.stdev(values) if len(values) > 1 else (0.0 if values else None)
    return dict(best=ranked[0], median=ranked[(len(ranked) + 1) // 2 - 1], worst=ranked[-1],
                mean=mean, sd=sd, feasible=len(values))


def success_figures(hits, runs):
    """Success rate, the mean evaluations of the successful runs (to their
    first success) and the success performance: that mean times the runs
    over the successful runs."""
    done = [h for h in hits if h is not None]
    if not done:
        return dict(successes=0, mean=None, performance=None)
    mean = statistics.fmean(done)
    return dict(successes=len(done), mean=mean, performance=mean * runs / len(done))
