#!/usr/bin/env python3
"""scripts/compare --protocol: the figures on crafted runs (the dialogue's
answers read back, the reports' order of feasible and infeasible points,
the success performance, a polished point counted only when it fits the
evaluations, the budgets), and, given a morlan program and its peers'
program, a tiny case run twice: the tables' columns for every method, and
the second time everything is taken from the kept results.

    compare_test.py                                  the figures only
    compare_test.py PROBLEM MORLAN PEERS WORK        and the tiny case
"""

import os
import subprocess
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'compare'))

import programs  # noqa: E402
import protocol  # noqa: E402
from protocol import Outcome  # noqa: E402
import protocol_tables  # noqa: E402
from protocol_runs import morlan_outcomes, peer_outcomes  # noqa: E402


class Answers(unittest.TestCase):
    def test_a_series_is_written_back_with_the_runs_asked(self):
        a = programs.parse_answers('0.1  objective scale\n0\n0\n1\n3\n1\n10\n0.5 ratio\n')
        self.assertEqual(a.text(25), '0.1\n0\n0\n1\n3\n1\n25\n0.5\n')
        self.assertIn('multi-level, 3 agreeing levels', a.describe())

    def test_the_relaxed_form_asks_a_radius_and_a_single_run_becomes_a_series(self):
        a = programs.parse_answers('10\n10\n1.0\n0\n0\n0.8\nstart.txt\n')
        self.assertEqual(a.text(3), '10\n10\n1.0\n0\n1\n3\n0.8\n')
        self.assertIn('radius 1.0', a.describe())

    def test_answers_that_end_early_are_refused(self):
        with self.assertRaises(ValueError):
            programs.parse_answers('1\n0\n0\n0\n1\n')


class Transcript(unittest.TestCase):
    # A multi-level run whose last level is not its best: the run hands back
    # the best level's point on its 'return x = ' line.
    LADDER = """ x0 =   1.5  2.5
  3.5
 cSA: Obj =  680.6857 vioMax =  0. at NT = 10
 cSA: x =   2.1  1.9
  0.25
 cSA: Obj =  680.6421 vioMax =  0. at NT = 20
 cSA: x =   2.2  1.8
  0.5
 return Obj =  680.6857 vioMax =  0. NT = 20
 return x =   2.1  1.9
  0.25
 run_id = 1 : Obj =  680.6857 time =  0.5
 polished: Obj =  680.63 maxvio =  1.E-15 iters =  7
 x0 =   1.  1.
  1.
 cSA: Obj =  681.5 vioMax =  0. at NT = 10
 cSA: x =   3.  3.
  1.
 run_id = 2 : obj =  1.E+20 time =  0.25
"""

    def test_the_handed_back_point_of_a_ladder_and_a_single_level_run(self):
        runs = programs.parse_series(self.LADDER, 'run 1: 1200 Lagrangian evaluations\n'
                                     'run 2: 300 Lagrangian evaluations\n')
        self.assertEqual([r['start'] for r in runs], [[1.5, 2.5, 3.5], [1.0, 1.0, 1.0]])
        self.assertEqual(runs[0]['result'], [2.1, 1.9, 0.25])
        self.assertEqual((runs[0]['success'], runs[0]['objective'], runs[0]['cpu']),
                         (True, 680.6857, 0.5))
        self.assertEqual((runs[0]['polished'], runs[0]['polished_iterations']), (680.63, 7))
        self.assertEqual(runs[1]['result'], [3.0, 3.0, 1.0])
        self.assertFalse(runs[1]['success'])
        self.assertEqual([r['evaluations'] for r in runs], [1200, 300])


class Figures(unittest.TestCase):
    def test_feasible_points_first_by_error_then_infeasible_by_excess(self):
        runs = [Outcome(excess=0.5), Outcome(objective=3.0), Outcome(), Outcome(objective=1.5),
                Outcome(excess=0.01)]
        s = protocol.summary(runs, 1.0)
        self.assertEqual(s['best'].objective, 1.5)
        self.assertEqual(s['median'].excess, 0.01)  # the third of five
        self.assertFalse(s['worst'].feasible)
        self.assertEqual(s['worst'].excess, None)
        self.assertEqual(s['feasible'], 2)
        self.assertAlmostEqual(s['mean'], 1.25)

    def test_success_performance_is_the_mean_over_the_share_of_successes(self):
        f = protocol.success_figures([1000, None, 3000, None], 4)
        self.assertEqual((f['successes'], f['mean'], f['performance']), (2, 2000, 4000))
        self.assertIsNone(protocol.success_figures([None], 1)['performance'])

    def test_feasible_means_inequalities_at_zero_and_equalities_within_the_tolerance(self):
        self.assertTrue(protocol.feasible({'hmax': 1e-4, 'gmax': 0.0, 'bmax': 0.0}))
        self.assertFalse(protocol.feasible({'hmax': 0.0, 'gmax': 1e-15, 'bmax': 0.0}))
        self.assertFalse(protocol.feasible({'hmax': 2e-4, 'gmax': 0.0, 'bmax': 0.0}))
        self.assertFalse(protocol.feasible({'hmax': float('nan'), 'gmax': 0.0, 'bmax': 0.0}))

    def test_budgets_and_success_accuracy(self):
        cec2006, cec2020 = protocol.PROTOCOLS['cec2006'], protocol.PROTOCOLS['cec2020']
        self.assertEqual(cec2006.checkpoints_of(500000), [5000, 50000, 500000])
        self.assertEqual(cec2006.checkpoints_of(20000), [5000, 20000])
        self.assertEqual([cec2020.budget_of(d) for d in (10, 11, 30, 48, 50, 51, 150, 151)],
                         [100000, 200000, 200000, 400000, 400000, 800000, 800000, 1000000])
        # cec2020: the report's success rate, f - f* <= 1e-8 whatever the size of f*.
        self.assertEqual(cec2020.success_tolerance(-4529.12), 1e-8)
        self.assertEqual(cec2020.success_tolerance(0.5), 1e-8)


class Problem:
    """What morlan_outcomes and peer_outcomes read of a problem."""
    best = 10.0

    def success(self, objective):
        return objective is not None and objective - self.best <= 1e-4


class Accounting(unittest.TestCase):
    def run_of(self, plain, polished, trials, polish, reached=None):
        return dict(plain=plain.to_json(), polished=polished.to_json(), trials=trials,
                    polish_evaluations=polish, reached=reached)

    def test_a_polished_point_counts_only_when_the_run_and_its_polish_fit(self):
        run = self.run_of(Outcome(excess=1e-6), Outcome(objective=10.00001), 4000, 600)
        best, spent, hit = morlan_outcomes(Problem(), 5000, run, True)
        self.assertEqual((best.objective, spent, hit), (10.00001, 4600, 4600))
        best, spent, hit = morlan_outcomes(Problem(), 4500, run, True)
        self.assertEqual((best.feasible, best.excess, spent, hit), (False, 1e-6, 4500, None))
        best, spent, hit = morlan_outcomes(Problem(), 5000, run, False)
        self.assertEqual((best.feasible, spent), (False, 4000))

    def test_the_better_of_two_feasible_points_and_the_first_success(self):
        run = self.run_of(Outcome(objective=10.00002), Outcome(objective=10.5), 100, 20, 60)
        best, spent, hit = morlan_outcomes(Problem(), 500, run, True)
        self.assertEqual((best.objective, spent, hit), (10.00002, 120, 60))
        run['reached'] = None  # no log row showed it: the run's evaluations bound it
        self.assertEqual(morlan_outcomes(Problem(), 500, run, False)[2], 100)

    def test_a_trace_gives_the_best_point_at_each_number_of_evaluations(self):
        run = dict(evaluations=900, trace=[[False, 1, 5.0, 0.3], [False, 40, 7.0, 0.1],
                                           [True, 300, 12.0, None], [True, 800, 10.00005, None]])
        self.assertEqual(peer_outcomes(Problem(), 100, run)[0].excess, 0.1)
        self.assertEqual(peer_outcomes(Problem(), 500, run)[0].objective, 12.0)
        best, spent, hit = peer_outcomes(Problem(), 1000, run)
        self.assertEqual((best.objective, spent, hit), (10.00005, 900, 800))


class Leaders(unittest.TestCase):
    def test_the_published_rows_stand_beside_morlans_marked_where_they_beat_f_star(self):
        runs = [Outcome(objective=2.2), Outcome(excess=0.01), Outcome(objective=2.3)]
        row = dict(method='morlan', feasible=2, success=protocol.success_figures([None] * 3, 3),
                   cpu=1.0, at={'400000': protocol.summary(runs, 2.1158627569)})
        result = dict(problem='rc07', best=2.1158627569, variables=48, budget=400000, runs=3,
                      rows=[row], beyond=None)
        text = protocol_tables.cec2020_table([result])
        self.assertIn('| RC07 | 48 | 400.0k | 2.115862757 | morlan | 2/3 | 0/3 | 2.2 | 2.3 | '
                      'infeasible (0.01) | 1 |', text)
        self.assertIn('| SASS (published, rank 1) | 25/25 | - | 1.5670451 (below f*) | '
                      '1.5682648 (below f*) |', text)
        self.assertIn('| COLSHADE (published, rank 2) | 0/25 | - | 2.0436782 (infeasible, '
                      '0.0039) |', text)

    def test_a_published_value_is_below_f_star_only_beyond_its_rounding(self):
        f_star = 189.3116297
        self.assertEqual(protocol_tables.leader_cell('189.31163', '0', f_star), '189.31163')
        self.assertEqual(protocol_tables.leader_cell('189.31162', '0', f_star),
                         '189.31162 (below f*)')


class CommandLine(unittest.TestCase):
    def compare(self, *options):
        return subprocess.run([sys.executable, os.path.join(ROOT, 'scripts', 'compare'),
                               '--protocol', 'cec2006', '--problems', 'g01'] + list(options),
                              capture_output=True, text=True)

    def test_programs_given_by_halves_or_missing_stop_with_a_message(self):
        for options, said in ((['--program', sys.executable], 'go together'),
                              (['--peers', sys.executable], 'go together'),
                              (['--program', '/nonexistent/morlan', '--peers', sys.executable],
                               'no such program')):
            done = self.compare(*options)
            self.assertEqual(done.returncode, 1, options)
            self.assertIn(said, done.stderr)
            self.assertNotIn('Traceback', done.stderr)


def tiny_case(problem, morlan, peers, work):
    """Two runs of 3000 evaluations of every method, twice."""
    command = [sys.executable, os.path.join(ROOT, 'scripts', 'compare'), '--protocol', 'cec2006',
               '--problems', problem, '--runs', '2', '--budget', '3000', '--jobs', '2',
               '--program', morlan, '--peers', peers, '--work', work]
    first = subprocess.run(command, capture_output=True, text=True)
    if first.returncode != 0:
        raise SystemExit('compare ended with %d:\n%s%s' % (first.returncode, first.stdout,
                                                            first.stderr))
    for expected in ['| Problem | f* | Method | Feasible | Success | Evaluations per run | '
                     'Trials / n | Mean evaluations of successful runs | Success performance '
                     '| CPU s per run |',
                     '| Problem | Method | Evaluations | Best | Median | Worst | Mean | SD | '
                     'Feasible |', '| morlan |', '| morlan --polish |', '| ISRES |',
                     '| SLSQP multi-start |', 'Machine: ']:
        if expected not in first.stdout:
            raise SystemExit('no %r in:\n%s' % (expected, first.stdout))
    second = subprocess.run(command, capture_output=True, text=True)
    if second.returncode != 0 or 'series of' in second.stderr or 'seeds of' in second.stderr:
        raise SystemExit('the second comparison ran again:\n%s' % second.stderr)
    tables = [out.split('\nMachine:')[0] for out in (first.stdout, second.stdout)]
    if tables[0] != tables[1]:
        raise SystemExit('the kept results print other tables:\n%s\n---\n%s' % tuple(tables))
    print(first.stdout)


if __name__ == '__main__':
    arguments = sys.argv[1:]
    sys.argv = sys.argv[:1]
    result = unittest.main(exit=False).result
    if not result.wasSuccessful():
        sys.exit(1)
    if arguments:
        tiny_case(*arguments)
