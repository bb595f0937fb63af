#!/usr/bin/env python3
"""The speed tables of README.md and docs/blits.md, from one run of the benchmarks.

    python3 bench/speedups.py --build build            # runs every benchmark once, prints the tables
    python3 bench/speedups.py --build build --write    # ... and writes them into README.md and docs/blits.md
    python3 bench/speedups.py blit.json                # speed-ups of one blit_bench JSON file

Every figure is CPU time, the median of five repetitions run interleaved in one process per
benchmark program. A speed-up is the peer's time divided by ours (above 1: we are faster). The
tables carry the date and the load average of the run. The presentation on the real SDL backend
(present_bench) needs xvfb-run; without it those rows are left out.

In the files, a generated table stands between `<!-- speed-table NAME -->` and
`<!-- end speed-table NAME -->`; everything else is left as it is.
"""
import argparse
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

DEPTHS = [8, 15, 16, 24, 32]
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def medians(path):
    """{name: median CPU time in ns} and {name: items per second} of a Google Benchmark JSON file."""
    with open(path) as f:
        data = json.load(f)
    times, rates = {}, {}
    for b in data["benchmarks"]:
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        if b.get("aggregate_name") == "median":
            name = b["run_name"]
        elif b.get("run_type") == "iteration" and b["name"] not in times:
            name = b["name"]
        else:
            continue
        times[name] = b["cpu_time"] * scale
        rates[name] = b.get("items_per_second", 0)
    return times, rates


def run(program, extra=(), env=None, wrapper=()):
    """Runs one benchmark program and returns its medians."""
    with tempfile.NamedTemporaryFile(suffix=".json", delete=False) as out:
        path = out.name
    try:
        args = [*wrapper, program, "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true",
                "--benchmark_enable_random_interleaving=true", f"--benchmark_out={path}",
                "--benchmark_out_format=json", *extra]
        subprocess.run(args, check=True, stdout=subprocess.DEVNULL, env=env, cwd=ROOT)
        return medians(path)
    finally:
        os.unlink(path)


def blit_peers(op, rest):
    peers = [f"SDL/{op}/{rest}", f"Pixman/{op}/{rest}"]
    if op == "Key":
        peers.append(f"SDL/KeyRLE/{rest}")
    if op == "Copy":
        peers += [f"Memcpy/{rest}", f"MemcpyRows/{rest}"]
    return peers


def peer_label(name):
    return name.split("/")[0] + ("RLE" if "/KeyRLE/" in name else "")


def blit_rows(times, rates):
    """(operation, ours in us, 'peer ratio, ...') for every Ours/ row of blit_bench."""
    rows = []
    for name, ours in sorted(times.items()):
        if not name.startswith("Ours/"):
            continue
        _, op, rest = name.split("/", 2)
        ratios = [f"{peer_label(p)} {times[p] / ours:.2f}" for p in blit_peers(op, rest) if p in times]
        if op == "Rotate":
            ratios.append(f"{rates[name] / 1e6:.0f} million pixels a second")
        rows.append((f"{op}/{rest}", ours / 1e3, ", ".join(ratios)))
    return rows


def ratio(times, peer, ours):
    return f"{times[peer] / times[ours]:.2f}" if peer in times and ours in times else "–"


# The README's summary: each target's operation at 640x480 (and the sprite size where the target
# names it), the peer it is measured against, per depth.
TARGETS = [
    ("opaque copy vs memcpy", "Copy", "640x480", "Memcpy"),
    ("opaque 64x64 copy vs memcpy of its rows", "Copy", "64x64", "MemcpyRows"),
    ("keyed copy vs SDL's run-length key", "Key", "640x480", "SDL/KeyRLE"),
    ("keyed 64x64 copy vs SDL's run-length key", "Key", "64x64", "SDL/KeyRLE"),
    ("half blend vs pixman", "HalfBlend", "640x480", "Pixman"),
    ("weighted blend vs SDL alpha 100", "Blend", "640x480", "SDL"),
    ("shadow vs pixman", "Shade", "640x480", "Pixman"),
    ("left-right mirror vs pixman", "MirrorX", "640x480", "Pixman"),
    ("up-down mirror vs pixman", "MirrorY", "640x480", "Pixman"),
    ("2x stretch vs pixman", "Stretch2x", "640x480", "Pixman"),
]


def peer_name(peer, op, depth, size):
    if peer == "SDL/KeyRLE":
        return f"SDL/KeyRLE/{depth}/{size}"
    return f"{peer}/{depth}/{size}" if peer.startswith("Memcpy") else f"{peer}/{op}/{depth}/{size}"


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(c) for c in row) + " |" for row in rows]
    return "\n".join(lines)


def blit_summary(times):
    rows = []
    for label, op, size, peer in TARGETS:
        rows.append([label] + [ratio(times, peer_name(peer, op, d, size), f"Ours/{op}/{d}/{size}") for d in DEPTHS])
    # Keyed forms against the unkeyed blend (time ratio: at most 1.5 wanted).
    for keyed in ("KeyBlend", "KeyHalfBlend", "AlphaMap"):
        plain = "HalfBlend" if keyed == "KeyHalfBlend" else "Blend"
        rows.append([f"{keyed} time / {plain} time (lower is better)"] +
                    [ratio(times, f"Ours/{keyed}/{d}/640x480", f"Ours/{plain}/{d}/640x480") for d in DEPTHS])
    return table(["operation (speed-up = their time / ours)"] + [f"{d}-bit" for d in DEPTHS], rows)


def display_table(times):
    rows = []
    for d in DEPTHS:
        ours, sdl = f"BM_PresentCopy/{d}", f"BM_SdlBlitFrame/{d}"
        fill, sdlFill = f"BM_Fill/{d}", f"BM_SdlFillRect/{d}"
        rows.append([d, f"{times[ours] / 1e3:.1f} µs" if ours in times else "–", ratio(times, sdl, ours),
                     f"{times[fill] / 1e3:.1f} µs" if fill in times else "–", ratio(times, sdlFill, fill),
                     f"{times[f'BM_PresentedFrame/{d}'] / 1e3:.1f} µs" if f"BM_PresentedFrame/{d}" in times else "–"])
    return table(["depth", "presentation copy", "vs SDL_BlitScaled", "Fill", "vs SDL_FillRect", "whole presented frame"], rows)


def present_table(present):
    rows = []
    for d in (15, 16, 24, 32):
        t = present.get(d, {})
        ours, sdl = t.get(f"Ours/RealPresent/{d}/process_time"), t.get(f"SDL/TextureUpload/{d}/process_time")
        if ours is None or sdl is None:
            continue
        rows.append([d, f"{ours / 1e3:.0f} µs", f"{sdl / 1e3:.0f} µs", f"{sdl / ours:.2f}"])
    return table(["depth", "ours", "SDL's texture upload", "speed-up"], rows)


PICTURES = [("TGA, 24-bit run-length", "Ours/TGA/RLE/640x480", "Ref/stb_image/TGA/RLE/640x480", "stb_image"),
            ("PSD, 3 channels PackBits", "Ours/PSD/PackBits/640x480", "Ref/stb_image/PSD/PackBits/640x480", "stb_image"),
            ("JPEG, baseline 4:2:0", "Ours/JPEG/baseline/640x480", "Ref/libjpeg-turbo/JPEG/baseline/640x480", "libjpeg-turbo"),
            ("JPEG, progressive", "Ours/JPEG/progressive/640x480", "Ref/libjpeg-turbo/JPEG/progressive/640x480", "libjpeg-turbo"),
            ("PNG, 8-bit RGB", "Ours/PNG/RGB/640x480", "Ref/stb_image/PNG/RGB/640x480", "stb_image"),
            ("PNG, 8-bit RGB", "Ours/PNG/RGB/640x480", "Ref/libspng/PNG/RGB/640x480", "libspng"),
            ("BMP, 24-bit", "Ours/Bmp/24bit/640x480", "Ref/stb_image/Bmp/24bit/640x480", "stb_image"),
            ("BMP, 24-bit", "Ours/Bmp/24bit/640x480", "Ref/SDL2/Bmp/24bit/640x480", "SDL_LoadBMP_RW (rows kept in 24 bits)"),
            ("BMP, RLE8", "Ours/Bmp/Rle8/640x480", "Ref/SDL2/Bmp/Rle8/640x480", "SDL_LoadBMP_RW + conversion to 32 bits")]


def picture_table(times):
    rows = [[label, f"{times[ours] / 1e3:.0f} µs", f"{who} {times[ref] / 1e3:.0f} µs", ratio(times, ref, ours)]
            for label, ours, ref, who in PICTURES if ours in times and ref in times]
    return table(["file", "ours", "reference", "speed-up"], rows)


def game_table(times):
    frame, start = times.get("BM_PlayFrame/real_time"), times.get("BM_StartUp/real_time")
    rows = []
    if frame:
        rows.append(["play frame (no audio output)", f"{frame / 1e3:.0f} µs", f"budget / ours {16.7e6 / frame:.0f}", "under 1 ms"])
    if start:
        rows.append(["start-up, every picture, tune and the catch sound (the music's 100 ms wait passes on the virtual clock)",
                     f"{start / 1e6:.0f} ms", "", "under 300 ms"])
    return table(["measure", "CPU time", "", "target"], rows)


# The front door's drawing (draw_bench): each operation, its peer and the speed-up wanted.
DRAWING = [("alpha draw 640x480, 32-bit", "AlphaDraw/32", "SDL", "SDL_BLENDMODE_BLEND blit", 1.5),
           ("alpha draw 640x480, 32-bit", "AlphaDraw/32", "Pixman", "pixman OVER, a8r8g8b8 onto x8r8g8b8", 1.0),
           ("alpha draw 640x480, 16-bit", "AlphaDraw/16", "SDL", "SDL_BLENDMODE_BLEND blit", 1.5),
           ("alpha draw 640x480, 16-bit", "AlphaDraw/16", "Pixman", "pixman OVER, a8r8g8b8 onto r5g6b5", 1.0),
           ("256x256 turned 30°, x1.5, 32-bit", "Transform/32", "Pixman", "pixman, same transform, nearest", 1.0),
           ("256x256 turned 30°, x1.5, 16-bit", "Transform/16", "Pixman", "pixman, same transform, nearest", 1.0),
           ("filled circle, radius 100", "FillCircle/32", "SDL2_gfx", "filledCircleRGBA", 1.0),
           ("filled 1,000-point polygon", "FillPolygon/32", "SDL2_gfx", "filledPolygonRGBA", 1.0),
           ("40-character line, em 16 px", "Text/32", "SDL2_ttf", "TTF_RenderUTF8_Blended + blit", 3.0)]


def drawing_table(times):
    rows = [[label, f"{times[f'Ours/{op}'] / 1e3:.1f} µs", f"{who} {times[f'{peer}/{op}'] / 1e3:.1f} µs",
             ratio(times, f"{peer}/{op}", f"Ours/{op}"), f">= {wanted:g}"]
            for label, op, peer, who, wanted in DRAWING if f"Ours/{op}" in times and f"{peer}/{op}" in times]
    return table(["operation", "ours", "peer", "speed-up", "wanted"], rows)


def stamp(started, load):
    now = started.strftime("%Y-%m-%d %H:%M UTC")
    return f"Run of {now}, load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} at its start ({os.cpu_count()} cores); CPU time, medians of five interleaved repetitions."


def replace_block(text, name, body):
    pattern = re.compile(rf"(<!-- speed-table {re.escape(name)} -->\n)(?:.*?\n)?(<!-- end speed-table {re.escape(name)} -->)", re.S)
    if not pattern.search(text):
        raise SystemExit(f"no speed-table {name} markers")
    return pattern.sub(lambda m: m.group(1) + body + "\n" + m.group(2), text)


def run_all(build):
    started, load = datetime.datetime.now(datetime.timezone.utc), os.getloadavg()
    results = {"blit": run(f"{build}/bench/blit_bench", ["--benchmark_min_time=0.05"])}
    results["display"] = run(f"{build}/bench/display_bench", ["--benchmark_filter=PresentCopy|SdlBlitFrame|Fill|PresentedFrame"])
    pictures = run(f"{build}/bench/picture_bench")[0]
    pictures.update(run(f"{build}/bench/image_bench")[0])
    results["picture"] = (pictures, {})
    results["game"] = run(f"{build}/bench/game_bench", ["--benchmark_filter=PlayFrame|StartUp"])
    results["draw"] = run(f"{build}/bench/draw_bench", ["--benchmark_min_time=0.1"])
    results["present"] = {}
    if shutil.which("xvfb-run"):
        for d in (15, 16, 24, 32):
            env = dict(os.environ, MEDIA_DESKTOP_DEPTH=str(d))
            results["present"][d] = run(f"{build}/bench/present_bench", env=env,
                                        wrapper=["xvfb-run", "-a", "-s", "-screen 0 1024x768x24"])[0]
    return started, load, results


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("json", nargs="?", help="one blit_bench JSON file: print its speed-ups")
    parser.add_argument("--build", default="build", help="the build folder holding bench/")
    parser.add_argument("--write", action="store_true", help="write the tables into README.md and docs/blits.md")
    args = parser.parse_args()
    if args.json:
        times, rates = medians(args.json)
        for op, ours, ratios in blit_rows(times, rates):
            print(f"{op:<28} {ours:>10.1f}  {ratios}")
        return
    started, load, results = run_all(args.build)
    blit_times, blit_rates = results["blit"]
    head = stamp(started, load)
    blocks = {
        "blit-summary": head + "\n\n" + blit_summary(blit_times),
        "blit-full": head + "\n\n" + table(["operation", "ours (µs)", "speed-ups (their time / ours)"],
                                           [(op, f"{ours:.1f}", r) for op, ours, r in blit_rows(blit_times, blit_rates)]),
        "display": head + "\n\n" + display_table(results["display"][0]),
        "present": head + "\n\n" + present_table(results["present"]),
        "pictures": head + "\n\n" + picture_table(results["picture"][0]),
        "game": head + "\n\n" + game_table(results["game"][0]),
        "drawing": head + "\n\n" + drawing_table(results["draw"][0]),
    }
    for name, body in blocks.items():
        print(f"## {name}\n\n{body}\n")
    if args.write:
        for path, names in (("README.md", ["blit-summary", "display", "present", "pictures", "game", "drawing"]), ("docs/blits.md", ["blit-full"])):
            full = os.path.join(ROOT, path)
            with open(full) as f:
                text = f.read()
            for name in names:
                text = replace_block(text, name, blocks[name])
            with open(full, "w") as f:
                f.write(text)


if __name__ == "__main__":
    sys.exit(main())
