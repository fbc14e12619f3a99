#!/usr/bin/env bash
# The demo: pack the bundled sample product into a setup with our builder,
# run the setup under Wine with the trace viewer listening, show the result.
# Called by ./run demo, which has built out/ and prepared Wine and a display.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="$ROOT/out"
WORK="$ROOT/build/demo"
rm -rf "$WORK"
mkdir -p "$WORK"

echo "== packing sample/product into build/demo/SampleSetup.exe"
# The setup engine here is our test engine: it records what it was given
# and what it found beside itself, then hands over like a real engine.
RECORD="$(winepath -w "$WORK/engine-record.txt")"
"$OUT/kvpack" --stub "$OUT/stub.exe" --out "$WORK/SampleSetup.exe" \
  --engine "$OUT/tools/testengine.exe" --engine-name Engine.exe --engine-args "/TE_RECORD=$RECORD /TE_EXIT=0" \
  --lang-ini "$ROOT/sample/languages.ini" "$ROOT/sample/product"
"$OUT/kvpack" --info "$WORK/SampleSetup.exe"

echo "== starting the trace viewer"
wine "$OUT/tools/kvtrace.exe" --out "$WORK/trace.txt" --ready "$WORK/viewer.ready" --seconds 120 &
VIEWER=$!
for _ in $(seq 300); do [ -e "$WORK/viewer.ready" ] && break; sleep 0.1; done
[ -e "$WORK/viewer.ready" ] || { echo "trace viewer did not start" >&2; exit 1; }

echo "== running the setup under Wine"
set +e
(cd "$WORK" && wine SampleSetup.exe /demo)
CODE=$?
set -e
sleep 0.5
kill "$VIEWER" 2>/dev/null || true
wait "$VIEWER" 2>/dev/null || true

echo "== trace lines the setup sent to the viewer"
tr -d '\r' < "$WORK/trace.txt"
echo "== what the engine was started with and found beside it"
[ -f "$WORK/engine-record.txt" ] && tr -d '\r' < "$WORK/engine-record.txt" || echo "(the engine did not run)"
echo "== setup exit code: $CODE"
