#!/usr/bin/env bash
# Loads the plug-in bundle in Ardour 7 from Debian's packages, headless, and
# checks that it plays: Ardour's VST scanner indexes it, ardour7-lua builds a
# session with a MIDI track through it, plays a few notes, exports a WAV, and
# sox measures it. Too heavy for CI; run it by hand:
#   tools/check-in-ardour.sh [path/to/Volantor2.vst]
# Set KEEP=1 to keep the temporary folder (session, export, logs).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
bundle="${1:-$repo/build/Volantor2.vst}"
plugin_name="Volantor 2"
plugin_id=$(( (0x56 << 24) | (0x4C << 16) | (0x54 << 8) | 0x32 )) # 'VLT2'
seconds=3
scanner=/usr/lib/ardour7/ardour-vst-scanner

die() { echo "FAIL: $*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

need_packages=()
{ command -v ardour7-lua >/dev/null && [ -x "$scanner" ]; } || need_packages+=(ardour)
command -v sox >/dev/null || need_packages+=(sox)
if [ ${#need_packages[@]} -gt 0 ]; then
    echo "Installing ${need_packages[*]} (Ardour is large)..."
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "${need_packages[@]}"
fi
ardour_version="$(dpkg-query -W -f='${Version}' ardour 2>/dev/null || echo unknown)"

[ -d "$bundle" ] || die "no bundle at $bundle (build it first, or pass its path)"
bundle="$(cd "$bundle" && pwd)"
so_name="$(cd "$bundle/Contents/x86_64-linux" 2>/dev/null && ls -- *.so 2>/dev/null | head -n 1)" \
    || die "no Contents/x86_64-linux/*.so in $bundle"

work="$(mktemp -d "${TMPDIR:-/tmp}/vlt2-ardour.XXXXXX")"
cleanup() {
    local rc=$?
    if [ "$rc" -ne 0 ] || [ "${KEEP:-0}" = 1 ]; then
        echo "Work folder kept: $work" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

# A copy, so a rebuild under way cannot change the plug-in mid-run, and a
# fresh home, so the user's Ardour configuration and plug-in cache stay as
# they are.
mkdir -p "$work/plugins" "$work/home" "$work/export"
cp -a "$bundle" "$work/plugins/"
so="$work/plugins/$(basename "$bundle")/Contents/x86_64-linux/$so_name"
export HOME="$work/home"
export XDG_CONFIG_HOME="$work/home/.config"
export XDG_CACHE_HOME="$work/home/.cache"
export XDG_DATA_HOME="$work/home/.local/share"
export LXVST_PATH="$work/plugins"
export VST_PATH="$work/plugins"
unset ARDOUR_CONFIG_PATH ARDOUR_DATA_PATH

echo "== Ardour $ardour_version: VST scanner on $so"
scan_log="$work/scan.log"
if ! LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -v -f "$so" >"$scan_log" 2>&1; then
    cat "$scan_log"
    die "ardour-vst-scanner could not load $so_name"
fi
sed 's/^/  /' "$scan_log"
cache="$(grep -l "binary=\"$so\"" "$XDG_CACHE_HOME"/ardour7/vst/*.v2i 2>/dev/null | head -n 1)" \
    || die "the scanner wrote no cache file for $so_name"
grep -q "id=\"$plugin_id\"" "$cache" || die "the scanner's cache has no plug-in with id $plugin_id: $(cat "$cache")"
scan_info="$(grep -o '<VST2Info [^>]*' "$cache" | sed 's/^<VST2Info //')"

# Lua DSP scripts are found in the configuration's scripts folder; this one
# plays four notes at fixed transport times, so the export is repeatable.
notes_proc="VLT2 Check Notes"
mkdir -p "$XDG_CONFIG_HOME/ardour7/scripts"
cat >"$XDG_CONFIG_HOME/ardour7/scripts/vlt2_check_notes.lua" <<EOF
ardour { ["type"] = "dsp", name = "$notes_proc", category = "Utility",
	license = "MIT", author = "Volantor 2 tools", description = [[Plays C E G C at fixed times]] }

function dsp_ioconfig () return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 } } end

-- start time (s), key, length (s)
local notes = { { 0.25, 60, 0.4 }, { 0.75, 64, 0.4 }, { 1.25, 67, 0.4 }, { 1.75, 72, 0.8 } }

function dsp_run (_, _, n_samples)
	if not Session:transport_rolling () then return end
	local sr = Session:nominal_sample_rate ()
	local pos = Session:transport_sample ()
	local n = 1
	for _, note in ipairs (notes) do
		local on = math.floor (note[1] * sr)
		local off = math.floor ((note[1] + note[3]) * sr)
		if on >= pos and on < pos + n_samples then
			midiout[n] = { time = on - pos + 1, data = { 0x90, note[2], 100 } }
			n = n + 1
		end
		if off >= pos and off < pos + n_samples then
			midiout[n] = { time = off - pos + 1, data = { 0x80, note[2], 64 } }
			n = n + 1
		end
	end
end
EOF

echo "== ardour7-lua: session, MIDI track with $plugin_name, notes, export"
# Ardour 7.3's luasession dies now and then from a signal (heap corruption,
# "Port already exists" on track creation, a crash in teardown), with its own
# synth as much as with ours and with nothing of ours in valgrind's report;
# such a run is tried again in a fresh session.
attempts=4
teardown_note=""
for attempt in $(seq 1 "$attempts"); do
    lua_log="$work/lua-$attempt.log"
    rm -rf "$work/session" "$work/export"
    mkdir -p "$work/export"
    set +e
    # The braces keep bash's own "Aborted" notice out; the status tells it.
    { VLT2_SESSION_DIR="$work/session" VLT2_EXPORT_DIR="$work/export" \
        VLT2_PLUGIN_NAME="$plugin_name" VLT2_PLUGIN_ID="$plugin_id" \
        VLT2_NOTES_PROC="$notes_proc" VLT2_SECONDS="$seconds" \
        timeout 300 ardour7-lua "$here/check-in-ardour.lua" >"$lua_log" 2>&1; } 2>/dev/null
    lua_rc=$?
    set -e
    sed 's/^/  /' "$lua_log"
    [ "$lua_rc" -eq 0 ] && break
    # A Lua error is ours to fix; trying again would not help.
    grep -q '^VLT2 error=\|^Error: ' "$lua_log" && die "ardour7-lua stopped with status $lua_rc (log above)"
    if [ "$lua_rc" -gt 128 ] && grep -q '^VLT2 exported=yes' "$lua_log"; then
        # The WAV was complete when run_export returned.
        teardown_note=" (ardour7-lua then died from signal $((lua_rc - 128)) while closing)"
        break
    fi
    [ "$lua_rc" -eq 124 ] && die "ardour7-lua timed out (log above)"
    echo "  -- attempt $attempt/$attempts: ardour7-lua died with status $lua_rc at the step after" \
        "'$(grep '^VLT2 ' "$lua_log" | tail -n 1)'"
    [ "$attempt" -lt "$attempts" ] || die "ardour7-lua died in each of $attempts attempts (logs above)"
done
grep -q '^VLT2 exported=yes' "$lua_log" || die "ardour7-lua did not finish the export (log above)"
value() { sed -n "s/^VLT2 $1=//p" "$lua_log" | head -n 1; }

wav="$(find "$work/export" -name '*.wav' | head -n 1)"
[ -n "$wav" ] || die "no WAV in the export folder"
stat_out="$(sox "$wav" -n stat 2>&1)" || die "sox could not read $wav: $stat_out"
length="$(awk -F: '/^Length \(seconds\)/ { printf "%.2f", $2 }' <<<"$stat_out")"
max="$(awk -F: '/^Maximum amplitude/ { gsub(/ /, "", $2); print $2 }' <<<"$stat_out")"
min="$(awk -F: '/^Minimum amplitude/ { gsub(/ /, "", $2); print $2 }' <<<"$stat_out")"
read -r peak peak_db < <(awk -v a="$max" -v b="$min" 'BEGIN {
    p = a < 0 ? -a : a; q = b < 0 ? -b : b; if (q > p) p = q
    db = (p > 0) ? sprintf("%.1f", 20 * log(p) / log(10)) : "-inf"
    printf "%.6f %s\n", p, db }')
summary="$(value plugin_name) (LXVST id $(value plugin_id), $(value track_outputs) outputs, by $(value plugin_maker)) in Ardour $ardour_version (ardour7-lua, $(value backend) backend, chain: $(value chain))"

echo "== scanner: $scan_info"
# Dither alone reaches about 0.00006; a played note is far above -60 dBFS.
if awk -v p="$peak" 'BEGIN { exit !(p > 0.001) }'; then
    echo "PASS: loaded $summary; exported ${length} s WAV, peak $peak ($peak_db dBFS)$teardown_note"
else
    echo "FAIL: loaded $summary, but the ${length} s export is silent: peak $peak ($peak_db dBFS)" >&2
    exit 1
fi
