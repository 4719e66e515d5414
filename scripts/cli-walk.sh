#!/usr/bin/env bash
# Runs every lumivar-cli command against each simulator profile, in English and in German, and prints
# for each run the command line, its exit status, its output (stdout and stderr) and whether the
# simulated camera was left in another mode or with other property values than it had before.
# Usage: scripts/cli-walk.sh [BIN_DIR] [PROFILE...]   (default build/debug/bin, every profile)
# Runs on 127.0.0.1 with a port the system chooses, in a temporary folder with its own settings.
set -u
cd "$(dirname "$0")/.."
bin=${1:-build/debug/bin}
shift || true
profiles=("$@")
[ ${#profiles[@]} -eq 0 ] && profiles=(e-m10 omd-v260 newbody)
cli=$(realpath "$bin/lumivar-cli")
sim=$(realpath "$bin/lumivar-camsim")

work=$(mktemp -d)
sim_pid=
cleanup()
{
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# The CLI reads and writes the program's settings; keep them away from the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"

sim_get() { curl -s --max-time 5 "http://127.0.0.1:$port$1"; }
# What a command must leave as it found it: the power, the camera's mode and the shooting properties.
sim_state()
{
    sim_get /__sim/state \
        | jq -S -c '{power, mode, properties, lvqty, connectmode, take, liveview: .liveview.running}' 2>/dev/null
}

start_sim()
{
    "$sim" --port 0 --bind 127.0.0.1 --profile "$1" --generate-card 12 >"$work/sim.out" 2>&1 &
    sim_pid=$!
    port=
    for _ in $(seq 50); do
        port=$(sed -n 's|.*http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$work/sim.out" | head -n 1)
        [ -n "$port" ] && break
        sleep 0.1
    done
    [ -n "$port" ] || { echo "simulator did not start: $(cat "$work/sim.out")"; exit 1; }
}

stop_sim()
{
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
    sim_pid=
}

# A sequence of commands that changes the camera and puts it back: the state after must be the one before.
mark() { marked=$(sim_state); }
back_as_marked()
{
    local now
    now=$(sim_state)
    if [ "$now" != "$marked" ]; then
        echo "STATE NOT PUT BACK after $1"
        diff <(echo "$marked" | jq -S .) <(echo "$now" | jq -S .) | sed 's/^/    /'
        printf '%-13s      %s | camera not put back%s\n' "$profile/$lang" "$1" " STATE-CHANGED" >>"$work/summary"
    fi
}

# run [--changes] ARGS...: one command; --changes marks a command whose purpose is to change the camera.
run()
{
    local expect_same=1
    [ "$1" = --changes ] && { expect_same=0; shift; }
    local before after rc
    before=$(sim_state)
    echo "### [$profile/$lang] lumivar-cli $*"
    timeout 60 "$cli" --host "127.0.0.1:$port" --lang "$lang" "$@" >"$work/out" 2>&1 </dev/null
    rc=$?
    local faults=""
    sed 's/^/    /' "$work/out" | head -n 40
    [ "$(wc -l <"$work/out")" -gt 40 ] && echo "    ... ($(wc -l <"$work/out") lines)"
    echo "exit $rc"
    after=$(sim_state)
    if [ "$expect_same" = 1 ] && [ "$before" != "$after" ]; then
        echo "STATE CHANGED"
        faults+=" STATE-CHANGED"
        diff <(echo "$before" | jq -S .) <(echo "$after" | jq -S .) | sed 's/^/    /'
    fi
    if [ "$lang" = en ]; then
        grep -n -E '(^|[^A-Za-z0-9])_rs[A-Z]|[äöüßÄÖÜ]|\b(Einzel|Schatten|Kamera|Datei|nicht|Fehler|Aufnahme)\b' "$work/out" \
            | sed 's/^/GERMAN OR KEY IN ENGLISH: /' | tee "$work/bad"
    else
        grep -n -E '(^|[^A-Za-z0-9])_rs[A-Z]' "$work/out" | sed 's/^/RAW KEY: /' | tee "$work/bad"
    fi
    [ -s "$work/bad" ] && faults+=" WRONG-LANGUAGE"
    # One line per run for the summary at the end: profile, language, exit status, command, first line.
    local lines first last
    lines=$(grep -c -v '^\s*$' "$work/out")
    first=$(grep -v '^\s*$' "$work/out" | head -n 1 | cut -c1-70)
    last=$(grep -v '^\s*$' "$work/out" | tail -n 1 | cut -c1-70)
    [ "$lines" -gt 1 ] && first="($lines lines) $first ... $last"
    printf '%-13s %3s  %s | %s%s\n' "$profile/$lang" "$rc" "$(echo "$*" | sed "s|$work/||g")" "$first" "$faults" \
        >>"$work/summary"
}

for profile in "${profiles[@]}"; do
    for lang in en de; do
        start_sim "$profile"
        dest=$work/$profile-$lang
        mkdir -p "$dest/import" "$dest/shot" "$dest/series"
        run commandlist
        run request /get_connectmode.cgi
        run info
        run props
        run doctor
        run dump --out "$dest/dump.zip"
        run list
        folder=$(sim_get /__sim/state | jq -r '.card.folders[0].name // empty' 2>/dev/null)
        [ -n "$folder" ] || folder=$("$cli" --host "127.0.0.1:$port" list 2>/dev/null | awk 'NR==1 {print $1}')
        run list "$folder"
        run list /DCIM/NOSUCHFOLDER
        run import --dest "$dest/import" --type JPG
        run import --dest "$dest/import" --type JPG --new
        run import --dest "$dest/import" --type XYZ
        run import --dest "$dest/import" --since 2030-01-01 --until 2020-01-01
        movie=$("$cli" --host "127.0.0.1:$port" list "$folder" 2>/dev/null | awk 'toupper($1) ~ /\.MOV$/ {print $1; exit}')
        run playtime "${folder%/}/${movie:-NOMOVIE.MOV}"
        run exif "$(find "$dest/import" -type f -iname '*.jpg' | head -n 1)"
        wb=$(sim_get /__sim/state | jq -r '.properties.wbvalue // empty')
        mark
        run --changes set wbvalue Sunny
        run --changes set wbvalue Sonnig
        run --changes set wbvalue "${wb:-0}"
        back_as_marked "set wbvalue ... ${wb:-0}"
        run watch --seconds 2
        run clock
        mark
        run --changes mode rec
        run focus 320 240
        run --changes mode play
        run --changes mode shutter
        run --changes mode play
        back_as_marked "mode rec/play/shutter/play"
        run shoot
        run shoot --download "$dest/shot"
        # A series needs single-shot drive; the e-m10 starts in sequential drive.
        run timelapse --interval 1 --count 2 --dest "$dest/series"
        drive=$(sim_get /__sim/state | jq -r '.properties.drivemode // empty')
        mark
        if [ "$lang" = de ]; then single=Einzel; else single=Single; fi
        run --changes set drivemode "$single"
        run timelapse --interval 1 --count 2 --dest "$dest/series"
        run --changes set drivemode "${drive:-normal}"
        back_as_marked "set drivemode ... ${drive:-normal}"
        mark
        run --changes movie start
        run --changes movie stop
        back_as_marked "movie start/stop"
        run release
        mark
        run --changes zoom wide
        run --changes zoom off
        back_as_marked "zoom wide/off"
        run liveview --seconds 2 --save-last "$dest/last.jpg"
        mark
        run --changes mode rec
        run recview "$dest/recview.jpg"
        run --changes mode play
        back_as_marked "mode rec/recview/mode play"
        mkdir -p "$dest/tether"
        ( sleep 1.5; sim_get '/__sim/shoot?count=2' >/dev/null ) &
        shooter=$!
        run tether --dest "$dest/tether" --seconds 4
        wait "$shooter"
        run --changes poweroff
        stop_sim
    done
done
echo
echo "=== summary: profile/language, exit status, command | last line of output, faults"
cat "$work/summary"
