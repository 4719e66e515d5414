#!/usr/bin/env bash
# Time-lapse soak: lumivar-cli runs a series every 2 s against the camera simulator, which answers 5 %
# of its requests with an error and is switched off for 8-15 s three times. Then the series log is
# checked: every slot is in it (ok, failed or missed with a reason), the files on disk are those of
# the "ok" rows, no two shots were taken closer than half an interval, and after each return of the
# camera at least 95 % of the slots are ok.
# Usage: scripts/soak-timelapse.sh [MINUTES]   (default 20); exits non-zero when a check fails.
set -eu
cd "$(dirname "$0")/.."
minutes=${1:-20}
case "$minutes" in '' | *[!0-9]*) echo "usage: $0 [MINUTES]" >&2; exit 2 ;; esac
[ "$minutes" -ge 2 ] || { echo "at least 2 minutes" >&2; exit 2; }
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --preset debug "${launcher[@]}" >/dev/null
cmake --build --preset debug -j2 --target lumivar-cli lumivar-camsim
cli=$(find build/debug -type f -name lumivar-cli -perm -u+x | head -n 1)
sim=$(find build/debug -type f -name lumivar-camsim -perm -u+x | head -n 1)

work=$(mktemp -d)
sim_pid=""
cli_pid=""
cleanup() {
    [ -n "$cli_pid" ] && kill "$cli_pid" 2>/dev/null || true
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

port=$((20000 + RANDOM % 20000))
"$sim" --port "$port" --bind 127.0.0.1 --error-rate 0.05 --seed "$RANDOM" >"$work/sim.log" 2>&1 &
sim_pid=$!
control() {
    for _ in 1 2 3; do
        curl -fsS --max-time 5 "http://127.0.0.1:$port/__sim/$1" >/dev/null && return 0
        sleep 0.2
    done
    return 1
}
for _ in $(seq 50); do control state 2>/dev/null && break; sleep 0.2; done
control state

# A series needs single shots; the simulated body starts in continuous drive.
for _ in 1 2 3 4 5; do
    "$cli" --host "127.0.0.1:$port" set drivemode normal >/dev/null 2>&1 && break
done
mkdir "$work/out"
now_ms() { date +%s%3N; }
# The set-up itself meets the error answers: a start that ends at once is tried again.
for attempt in 1 2 3 4 5; do
    "$cli" --host "127.0.0.1:$port" timelapse --interval 2 --dest "$work/out" >"$work/cli.out" 2>"$work/cli.err" &
    cli_pid=$!
    sleep 5
    kill -0 "$cli_pid" 2>/dev/null && break
    echo "start $attempt failed: $(tail -n 1 "$work/cli.err")"
    rm -f "$work"/out/*
    cli_pid=""
done
[ -n "$cli_pid" ] || { echo "FAIL: the series did not start" >&2; exit 1; }

# Three power cycles, evenly spread; their return times go to the check.
total=$((minutes * 60))
step=$((total / 4))
start=$(date +%s)
: >"$work/returns"
for cycle in 1 2 3; do
    sleep $((start + cycle * step - $(date +%s)))
    off=$((8 + RANDOM % 8))
    echo "power cycle $cycle: off for $off s"
    went=$(now_ms)
    control "power?on=0"
    sleep "$off"
    control "power?on=1"
    echo "$went $(now_ms)" >>"$work/returns"
done
sleep $((start + total - $(date +%s) > 0 ? start + total - $(date +%s) : 0))
kill -INT "$cli_pid"
wait "$cli_pid" || true
cli_pid=""
tail -n 3 "$work/cli.out" "$work/cli.err"

log=$(find "$work/out" -name 'timelapse-*.csv' | head -n 1)
[ -n "$log" ] || { echo "FAIL: no series log" >&2; exit 1; }
python3 - "$log" "$work/out" "$work/returns" <<'PY'
import csv, datetime, os, sys

log, folder, returns_file = sys.argv[1:4]
interval_ms = 2000
rows = list(csv.DictReader(open(log, newline='', encoding='utf-8')))
cycles = [tuple(map(int, line.split())) for line in open(returns_file) if line.strip()]
errors = []

def ms(text):
    return int(datetime.datetime.strptime(text, '%Y-%m-%dT%H:%M:%S.%f').timestamp() * 1000)

numbers = [int(r['shot']) for r in rows]
if numbers != list(range(1, len(rows) + 1)):
    errors.append('slots missing from the log')
ok = [r for r in rows if r['result'] == 'ok']
missed = [r for r in rows if r['result'].startswith('missed: ')]
failed = [r for r in rows if r not in ok and r not in missed]
for r in failed:
    if not r['result'].strip():
        errors.append('shot %s failed without a reason' % r['shot'])
for r in failed + missed:
    if r['files']:
        errors.append('shot %s is not ok but lists files' % r['shot'])
logged = [name for r in ok for name in r['files'].split()]
if len(logged) != len(set(logged)):
    errors.append('a file is logged for two shots')
for r in ok:
    if r['download'] != 'ok':
        errors.append('shot %s: download %s' % (r['shot'], r['download']))
on_disk = sorted(n for n in os.listdir(folder) if not n.endswith('.csv'))
if on_disk != sorted(logged):
    errors.append('files on disk (%d) differ from the ok rows\' files (%d)' % (len(on_disk), len(logged)))
fired = [ms(r['actual']) for r in rows if r not in missed]
for a, b in zip(fired, fired[1:]):
    if b - a < interval_ms // 2:
        errors.append('two shots %d ms apart' % (b - a))
# After each return of the camera, the slots until the next switch-off (15 s of recovery granted).
for i, (_, back) in enumerate(cycles):
    end = cycles[i + 1][0] if i + 1 < len(cycles) else None
    slots = [r for r in rows if ms(r['planned']) >= back + 15000 and (end is None or ms(r['planned']) < end)]
    good = sum(1 for r in slots if r['result'] == 'ok')
    share = 100.0 * good / len(slots) if slots else 100.0
    print('after return %d: %d of %d slots ok (%.1f %%)' % (i + 1, good, len(slots), share))
    if share < 95:
        errors.append('after return %d only %.1f %% of the slots ok' % (i + 1, share))
print('%d slots: %d ok, %d failed, %d missed; %d files on disk' % (len(rows), len(ok), len(failed), len(missed), len(on_disk)))
for e in errors[:20]:
    print('FAIL:', e)
sys.exit(1 if errors else 0)
PY
