#!/usr/bin/env bash
# scripts/plot on a small convergence log: two runs, a stage with no
# feasible point yet (NaN) and one with no violation at all, gives a PNG,
# with the default tolerance and another; a file that is no log, a log
# without rows and a tolerance that is no positive number are refused.
set -euo pipefail
plot=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
tab=$'\t'
{
  printf 'run\tlevel\tstage\ttemperature\tlagrangian\tobjective\tviolation\tproblem_violation\tbest_objective\tacceptance\tevaluations\tcounted_evaluations\tcpu_seconds\n'
  printf '1\t1\t1\t13.3\t90.1\t95.2\t0.5\t0.501\tNaN\t0.4100\t4377600\t4400000\t2.100\n'
  printf '1\t1\t2\t0.00133\t85.9\t86.0\t2e-06\t0.001002\t86.0\t0.0100\t8755200\t8800000\t4.200\n'
  printf '2\t1\t1\t13.3\t91.1\t97.2\t0.7\t0.701\tNaN\t0.4000\t4377600\t4400000\t2.000\n'
  printf '2\t1\t2\t0.00133\t85.5\t85.5\t0\t0.0009\t85.5\t0.0200\t8755200\t8800000\t4.100\n'
} > "$dir/log.tsv"

"$plot" "$dir/log.tsv" "$dir/out.png" > /dev/null
[ "$(head -c 8 "$dir/out.png" | od -An -c | tr -d ' ')" = '211PNG\r\n032\n' ] ||
  { echo "not a PNG"; exit 1; }
# Without a name the picture goes beside the log.
"$plot" "$dir/log.tsv" > /dev/null
[ -s "$dir/log.png" ] || { echo "no log.png"; exit 1; }
# Another tolerance (the relaxed rule's); one that is no positive number is
# refused.
"$plot" --tolerance 1e-3 "$dir/log.tsv" "$dir/relaxed.png" > /dev/null
[ -s "$dir/relaxed.png" ] || { echo "no relaxed.png"; exit 1; }
for bad in x 0 -1e-3; do
  if "$plot" --tolerance "$bad" "$dir/log.tsv" 2> "$dir/err"; then echo "accepted tolerance $bad"; exit 1; fi
  grep -q 'the tolerance must be a positive number' "$dir/err"
done

echo "x${tab}y" > "$dir/other.tsv"
if "$plot" "$dir/other.tsv" 2> "$dir/err"; then echo "accepted a file that is no log"; exit 1; fi
grep -q 'is not a convergence log' "$dir/err"
head -n 1 "$dir/log.tsv" > "$dir/empty.tsv"
if "$plot" "$dir/empty.tsv" 2> "$dir/err"; then echo "accepted a log without rows"; exit 1; fi
grep -q 'has no rows' "$dir/err"
echo "scripts/plot: ok"
