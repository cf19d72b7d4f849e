#!/usr/bin/env bash
# run_fuzzer.sh FUZZER SEED_CORPUS WORK_DIR SECONDS [MAX_LEN]: fuzzes from a copy of the seed
# corpus, inputs up to MAX_LEN bytes (512 unless given).
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4 max_len=${5:-512}
rm -rf "$work" && mkdir -p "$work/corpus" "$work/artifacts"
cp "$seeds"/* "$work/corpus/"
exec "$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus"
