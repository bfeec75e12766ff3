#!/usr/bin/env bash
# Runs every command of the tool in a scratch folder and checks what it wrote and answered.
set -u
K="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
passed=0 failed=0
check() {  # description, then a command that must succeed
    local what="$1"; shift
    if "$@" > /dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
answers() {  # expected exit code, description, command...
    local code="$1" what="$2"; shift 2
    "$@" > out.txt 2> err.txt; local got=$?
    if [ "$got" = "$code" ] && { [ "$code" = 0 ] || [ "$(wc -l < err.txt)" -ge 1 ]; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1)); echo "FAILED: $what (exit $got, wanted $code)"; cat err.txt
    fi
}
wav_bytes_at_least() { [ -f "$1" ] && [ "$(stat -c %s "$1")" -ge "$2" ]; }

answers 0 "demo" "$K" demo d
check "demo wrote the dry phrase" wav_bytes_at_least d/dry.wav $((44100 * 4 * 2 * 4))
check "demo wrote a longer wet render" wav_bytes_at_least d/wet.wav $((44100 * 5 * 2 * 4))
check "demo wrote the impulse response" wav_bytes_at_least d/impulse.wav 44100
answers 0 "programs" "$K" programs
check "programs lists 90" test "$(grep -cE '^ +[0-9]+  ' out.txt)" = 90
answers 0 "render to five outputs" "$K" render d/dry.wav five.flac --program "Production: Bathroom" --set "Wet gain=0.3" --outputs 5
check "render reports five channels" grep -q "5 channels, 44100 Hz" out.txt
answers 0 "export four mono 16-bit files" "$K" export-ir ir.wav --program 58 --format wav16 --rate 48000 --mono-files --outputs 4
check "four numbered files" test -f ir1.wav -a -f ir4.wav -a ! -f ir5.wav
answers 0 "raw export" "$K" export-ir r.raw --format raw
check "raw file" test -s r.raw
answers 2 "no command" "$K"
answers 2 "unknown command" "$K" frob
answers 2 "unknown program" "$K" render d/dry.wav x.wav --program Nope
answers 2 "unknown parameter" "$K" render d/dry.wav x.wav --set Bogus=1
answers 2 "bad value" "$K" render d/dry.wav x.wav --set "Wet gain=loud"
answers 2 "bad rate" "$K" export-ir x.wav --rate 22050
answers 2 "missing argument" "$K" render d/dry.wav
answers 1 "unreadable input" "$K" render missing.wav x.wav
answers 1 "unwritable output" "$K" render d/dry.wav /nonexistent/x.wav
answers 1 "uncreatable export" "$K" export-ir /nonexistent/ir.wav
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
