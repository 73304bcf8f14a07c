#!/usr/bin/env bash
# Runs every benchmark in the build's bin/ (bench_*) and prints one table: each figure, its target and
# whether it was met. Exits non-zero when any benchmark reports a miss. Build first (scripts/setup.sh).
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BIN_DIR="${FW_BUILD_DIR:-$ROOT/build}/bin"
shopt -s nullglob
benches=("$BIN_DIR"/bench_*)
if ((${#benches[@]} == 0)); then
    echo "no benchmarks in $BIN_DIR: build first (scripts/setup.sh)" >&2
    exit 2
fi

OUT_DIR="$(mktemp -d)"
trap 'rm -rf "$OUT_DIR"' EXIT
for bench in "${benches[@]}"; do
    name="$(basename "$bench")"
    echo "running $name ..." >&2
    QT_QPA_PLATFORM=offscreen timeout 900 "$bench" >"$OUT_DIR/$name.out" 2>/dev/null
    echo $? >"$OUT_DIR/$name.rc"
done

# Each benchmark prints its figures its own way; the table reads each one's lines as printed.
/usr/bin/python3 - "$OUT_DIR" <<'PY'
import glob, os, re, sys

out_dir = sys.argv[1]
rows, failed = [], False


def number(text):
    return float(re.search(r"-?[\d.]+", text).group())


def meets(value, comparison, limit):
    return {"<=": value <= limit, "<": value < limit, ">=": value >= limit, ">": value > limit}[comparison]


for path in sorted(glob.glob(os.path.join(out_dir, "*.out"))):
    name = os.path.basename(path)[:-4]
    text = open(path, errors="replace").read()
    status = int(open(path[:-4] + ".rc").read())
    found = []
    # "figure   value  target <= limit  PASS"
    for match in re.finditer(r"^(\S.*?)\s{2,}(\S+(?: [a-z%]+)?)\s+target (.+?)\s+(PASS|FAIL)\s*$", text, re.M):
        found.append((match.group(1), match.group(2), match.group(3), match.group(4)))
    # "targets (p99 <= 1000 us, drift <= 1000 us, cpu <= 10%): met|MISSED" with the figures on earlier lines
    targets = re.search(r"^targets \((.*)\): (\w+)", text, re.M)
    if targets:
        values = {}
        for key, pattern in (("p99", r"p99 (-?\d+) us"), ("drift", r"end drift: (-?\d+) us"),
                             ("cpu", r"cpu: ([\d.]+)%")):
            match = re.search(pattern, text)
            if match:
                values[key] = match.group(1)
        for target in targets.group(1).split(", "):
            key, comparison, limit = target.split(" ", 2)
            if key in values:
                value = abs(float(values[key])) if key == "drift" else float(values[key])
                unit = "%" if key == "cpu" else " us"
                verdict = "PASS" if meets(value, comparison, number(limit)) else "FAIL"
                found.append((key, values[key] + unit, "%s %s" % (comparison, limit), verdict))
    if not found:
        found.append(("(no figures recognised)", "-", "exit 0", "PASS" if status == 0 else "FAIL"))
    if status != 0:
        failed = True
        if all(row[3] == "PASS" for row in found):
            found.append(("exit status", str(status), "0", "FAIL"))
    rows += [(name,) + row for row in found]

header = ("benchmark", "figure", "value", "target", "result")
widths = [max(len(str(row[i])) for row in rows + [header]) for i in range(5)]
for row in [header, tuple("-" * w for w in widths)] + rows:
    print("  ".join(str(cell).ljust(width) for cell, width in zip(row, widths)).rstrip())
passed = sum(row[4] == "PASS" for row in rows)
print("%d passed, %d failed" % (passed, len(rows) - passed))
sys.exit(1 if failed or passed != len(rows) else 0)
PY
