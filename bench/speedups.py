#!/usr/bin/env python3
"""Speed-ups from blit_bench's JSON: for each Ours/<op>/<bits>/<size>, the median CPU time of every
peer of the same name (SDL/..., Pixman/..., and for Copy Memcpy/<bits>/<size>, one block, and
MemcpyRows/<bits>/<size>, a memcpy per row where the copy lands) divided by ours.

    blit_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \\
               --benchmark_out=blit.json --benchmark_out_format=json
    python3 bench/speedups.py blit.json
"""
import json
import sys


def medians(path):
    with open(path) as f:
        data = json.load(f)
    times, rates = {}, {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            times[b["run_name"]] = b["cpu_time"]
            rates[b["run_name"]] = b.get("items_per_second", 0)
        elif b.get("run_type") == "iteration" and b["name"] not in times:
            times[b["name"]] = b["cpu_time"]
            rates[b["name"]] = b.get("items_per_second", 0)
    return times, rates


def main():
    times, rates = medians(sys.argv[1])
    print(f"{'operation':<28} {'ours (us)':>10}  speed-ups")
    for name, ours in sorted(times.items()):
        if not name.startswith("Ours/"):
            continue
        _, op, rest = name.split("/", 2)
        peers = [f"SDL/{op}/{rest}", f"Pixman/{op}/{rest}"]
        if op == "Key":
            peers.append(f"SDL/KeyRLE/{rest}")
        if op == "Copy":
            peers += [f"Memcpy/{rest}", f"MemcpyRows/{rest}"]
        ratios = [f"{p.split('/')[0] + ('RLE' if 'KeyRLE' in p else '')} {times[p] / ours:.2f}" for p in peers if p in times]
        if op == "Rotate":
            ratios.append(f"{rates[name] / 1e6:.0f} million pixels a second")
        print(f"{op + '/' + rest:<28} {ours / 1000:>10.1f}  {', '.join(ratios)}")


if __name__ == "__main__":
    main()
