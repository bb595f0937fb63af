#!/usr/bin/env python3
"""The include arrows of the tree point the way the architecture says.

    game -> media -> platform subsystems <- platform/backends/<one backend>
    testing -> media, platform/backends/headless (the controls front-door programs' tests use)

Fails, naming the file and line, on an arrow that must not be:
  - media/ or game/ including a backend (they reach the platform only through its interfaces);
  - testing/ including a backend other than the headless one;
  - platform/ including media/ or game/;
  - one backend including another;
  - SDL outside platform/backends/sdl/, FluidSynth outside platform/music/;
  - a cycle between folders (media/display <-> media/blit, ...): the folder tree must say what
    depends on what.

Usage: layering_test.py SOURCE_DIR
"""
import os
import re
import sys

LAYERS = ("game", "media", "platform", "testing")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path):
    """The folder an include arrow is counted between: media/display, platform/video,
    platform/backends/sdl, game."""
    parts = path.split("/")
    if parts[0] in ("game", "testing"):
        return parts[0]
    if parts[:2] == ["platform", "backends"] and len(parts) > 3:
        return "/".join(parts[:3])
    return "/".join(parts[:2])


def sources(root):
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in sorted(files):
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(folder, name), root)


def from_root(root, path, kind, target):
    """An include as a path from the top of the tree: the installed headers name their neighbours
    relative to themselves ("../core/geometry.h"), which the compiler finds beside the file first."""
    if kind != '"':
        return target
    beside = os.path.normpath(os.path.join(os.path.dirname(path), target))
    return beside if os.path.isfile(os.path.join(root, beside)) else target


def arrows(root):
    """(file, line number, kind, included path) for every include of the three layers."""
    for path in sources(root):
        with open(os.path.join(root, path), encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if m:
                    yield path, number, m.group(1), from_root(root, path, m.group(1), m.group(2))


def forbidden(path, kind, target):
    source_layer = path.split("/")[0]
    if kind == "<":
        if (target.startswith("SDL") or target.startswith("X11/")) and not path.startswith("platform/backends/sdl/"):
            return "SDL outside the SDL backend"
        if target.startswith("fluidsynth") and not path.startswith("platform/music/"):
            return "FluidSynth outside platform/music/"
        return None
    if target.startswith("platform/backends/") and source_layer in ("game", "media"):
        return f"{source_layer}/ includes a backend"
    if source_layer == "testing" and target.startswith("platform/backends/") and \
            not target.startswith("platform/backends/headless/"):
        return "testing/ includes a backend other than the headless one"
    if source_layer == "platform" and target.split("/")[0] in ("media", "game", "testing"):
        return "platform/ includes the layer above it"
    mine, theirs = folder_of(path), folder_of(target)
    if mine.startswith("platform/backends/") and theirs.startswith("platform/backends/") and mine != theirs:
        return f"{mine} includes {theirs}: a backend stands alone"
    if source_layer == "media" and target.split("/")[0] in ("game", "testing"):
        return "media/ includes the game"
    return None


def tangles(graph):
    """The groups of folders that reach each other (strongly connected, more than one folder)."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(graph.get(node, ())):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return groups


def main():
    root = sys.argv[1]
    faults = []
    graph, witness = {}, {}
    count = 0
    for path, number, kind, target in arrows(root):
        why = forbidden(path, kind, target)
        if why:
            faults.append(f"{path}:{number}: #include {target}: {why}")
        if kind == '"' and target.split("/")[0] in LAYERS:
            count += path.startswith("platform/") and target.startswith("platform/")
            a, b = folder_of(path), folder_of(target)
            if a != b:
                graph.setdefault(a, set()).add(b)
                witness.setdefault((a, b), f"{path}:{number}: #include {target}")
    for group in tangles(graph):
        faults.append("folders that include each other: " + ", ".join(group))
        faults += ["  " + witness[(a, b)] for a in group for b in group if (a, b) in witness]
    for fault in faults:
        print(fault)
    edges = sum(len(v) for v in graph.values())
    print(f"{count} include arrows inside platform/, {edges} arrows between folders, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
