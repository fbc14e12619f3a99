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
"$OUT/kvpack" --stub "$OUT/stub.exe" --out "$WORK/SampleSetup.exe" \
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
echo "== setup exit code: $CODE"
