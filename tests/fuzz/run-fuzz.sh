#!/usr/bin/env bash
# Runs every fuzz binary of a build tree for a share of the given total
# time, over a small seed corpus made with that tree's kvpack. Builds
# nothing. Exits non-zero when a target crashes or none is found.
#   tests/fuzz/run-fuzz.sh BUILD_DIR SECONDS
set -uo pipefail
if [ $# -ne 2 ] || ! [[ "$2" =~ ^[0-9]+$ ]] || [ "$2" -lt 1 ]; then
  echo "usage: $0 BUILD_DIR SECONDS" >&2
  exit 2
fi
BUILD="$(cd "$1" 2>/dev/null && pwd)" || { echo "no build folder: $1" >&2; exit 2; }
TOTAL="$2"

mapfile -t TARGETS < <(find "$BUILD/tests/fuzz" -maxdepth 1 -type f -name '*_fuzz' -perm -u+x 2>/dev/null | sort)
if [ ${#TARGETS[@]} -eq 0 ]; then
  echo "no fuzz binaries in $BUILD/tests/fuzz (build the native tree with clang first)" >&2
  exit 1
fi

WORK="$(mktemp -d "${TMPDIR:-/tmp}/kv-fuzz-XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
SEEDS="$WORK/seeds"
mkdir -p "$SEEDS" "$WORK/in"

# Seeds: small packages of every shape the builder writes.
KVPACK="$BUILD/tools/kvpack/kvpack"
if [ -x "$KVPACK" ]; then
  cd "$WORK/in"
  { printf 'MZ'; head -c 254 /dev/zero; printf 'PE'; head -c 342 /dev/zero; } > stub.exe
  printf 'engine\n' > Engine.exe
  printf 'hello hello hello hello\n' > a.txt
  head -c 700 /dev/urandom > b.bin
  common=(--stub stub.exe --token-seed 1 --engine Engine.exe a.txt b.bin)
  "$KVPACK" "${common[@]}" --out "$SEEDS/plain.exe" >/dev/null
  "$KVPACK" "${common[@]}" --out "$SEEDS/full.exe" --update-url http://u/ --info-file App.info \
      --agent-exe Agent.exe --update-token t --download-url http://d/ --download-token d \
      --download-size 9 --lang-table '*|English|s0=x|*' --ask-before-extract --install-agent \
      --sign-prep >/dev/null
  "$KVPACK" "${common[@]}" --out "$SEEDS/seg.exe" --store-all --segment-size 1200 >/dev/null
  "$KVPACK" "${common[@]}" --out "$SEEDS/span.exe" --spanned --segment-size 1200 >/dev/null
  cd - >/dev/null
else
  echo "warning: $KVPACK not built; fuzzing without seeds" >&2
fi

PER=$(( TOTAL / ${#TARGETS[@]} ))
[ "$PER" -lt 1 ] && PER=1
STATUS=0
for target in "${TARGETS[@]}"; do
  name="$(basename "$target")"
  corpus="$WORK/corpus-$name"
  mkdir -p "$corpus" "$WORK/artifacts-$name"
  cp "$SEEDS"/* "$corpus"/ 2>/dev/null
  echo "== $name for ${PER}s"
  if ! "$target" -max_total_time="$PER" -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="$WORK/artifacts-$name/" "$corpus" >"$WORK/$name.log" 2>&1; then
    STATUS=1
    tail -n 60 "$WORK/$name.log"
    keep="$BUILD/fuzz-artifacts-$name"
    mkdir -p "$keep" && cp "$WORK/artifacts-$name"/* "$keep"/ 2>/dev/null
    echo "== $name FAILED; reproducers kept in $keep" >&2
  else
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$WORK/$name.log" | tail -n 2
  fi
done
exit $STATUS
