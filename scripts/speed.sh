#!/usr/bin/env bash
# Times marvolt-run: M/M/1 against the hand-written loop of bench/hand_loop in
# one run (the ratio should stay at or below 1.7), the 45-node network, and
# lines of 10, 60 and 250 nodes (the cost of an event should not grow with
# the number of nodes). Each figure is the best of several runs, since the
# machine is shared; the load average is printed with them.
#
#   scripts/speed.sh [BUILD_DIR]       # default build/
#   CALLGRIND=1 scripts/speed.sh       # instruction counts per arrival too
#   ARRIVALS=10000000 REPEAT=5 scripts/speed.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
for program in tools/marvolt-run tools/marvolt-examples bench/marvolt-mm1-loop; do
    if [[ ! -x $build/$program ]]; then
        echo "$build/$program is missing: build first (cmake --build $build -j2)" >&2
        exit 1
    fi
done
models=$(mktemp -d)
trap 'rm -rf "$models"' EXIT
"$build/tools/marvolt-examples" --bench "$models" >/dev/null

python3 - "$build" "$models" <<'PY'
import json, os, subprocess, sys, time

build, models = sys.argv[1], sys.argv[2]
run = os.path.join(build, "tools", "marvolt-run")
loop = os.path.join(build, "bench", "marvolt-mm1-loop")
arrivals = int(os.environ.get("ARRIVALS", "10000000"))
repeat = int(os.environ.get("REPEAT", "3"))

def timed(cmd):
    best, out = None, None
    for _ in range(repeat):
        start = time.perf_counter()
        out = subprocess.run(cmd, check=True, capture_output=True, text=True).stdout
        took = time.perf_counter() - start
        best = took if best is None or took < best else best
    return best, out

def document(model, limit):
    took, out = timed([run, "--json", "--arrivals", str(limit), os.path.join(models, model)])
    return took, json.loads(out)

def events(doc):
    # A generator's event creates one request; a channel's completes one.
    return doc["arrived"] + sum(i["value"] for i in doc["indicators"]
                                if i["id"] == 0 and i["type"] == "Все типы заявок"
                                and i["object"].startswith("c"))

print(f"load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores; best of {repeat}")

kernel, doc = document("mm1.qsf", arrivals)
hand, out = timed([loop, str(arrivals)])
hand_doc = dict(line.split() for line in out.splitlines())
same = float(hand_doc["modelTime"]) == doc["modelTime"] and int(hand_doc["arrived"]) == doc["arrived"]
print(f"M/M/1, {arrivals} arrivals: marvolt-run {kernel:.3f} s ({doc['arrived'] / kernel / 1e6:.1f} M/s), "
      f"hand-written loop {hand:.3f} s ({int(hand_doc['arrived']) / hand / 1e6:.1f} M/s), "
      f"ratio {kernel / hand:.2f}" + ("" if same else "  (THE TWO RUNS DIFFER)"))

limit = max(arrivals // 5, 1)
took, doc = document("network45.qsf", limit)
print(f"45-node network, {limit} arrivals: {took:.3f} s, {doc['arrived'] / took / 1e6:.2f} M arrivals/s")

for nodes in (10, 60, 250):
    limit = max(arrivals // (nodes // 2), 1)
    took, doc = document(f"line{nodes}.qsf", limit)
    n = events(doc)
    print(f"line of {nodes} nodes, {limit} arrivals: {took:.3f} s, {n} events, "
          f"{n / took / 1e6:.2f} M events/s, {took / n * 1e9:.1f} ns/event")

if os.environ.get("CALLGRIND"):
    # The difference between two lengths of run leaves out start-up and output.
    def instructions(cmd):
        err = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + cmd,
                             check=True, capture_output=True, text=True).stderr
        return int([l for l in err.splitlines() if "Collected" in l][-1].split()[-1])
    def per_arrival(make, n):
        return (instructions(make(2 * n)) - instructions(make(n))) / n
    n = 200000
    mm1 = lambda k: [run, "--json", "--arrivals", str(k), os.path.join(models, "mm1.qsf")]
    print(f"instructions per arrival: M/M/1 marvolt-run {per_arrival(mm1, n):.0f}, "
          f"hand-written loop {per_arrival(lambda k: [loop, str(k)], n):.0f}")
    net = lambda k: [run, "--json", "--arrivals", str(k), os.path.join(models, "network45.qsf")]
    print(f"instructions per arrival: 45-node network {per_arrival(net, n // 4):.0f}")
    for nodes in (10, 60, 250):
        line = lambda k: [run, "--json", "--arrivals", str(k), os.path.join(models, f"line{nodes}.qsf")]
        each = per_arrival(line, max(n // nodes, 100))
        print(f"instructions per arrival: line of {nodes} nodes {each:.0f} "
              f"({each / (1 + (nodes - 4) // 2):.0f} per event)")
PY
