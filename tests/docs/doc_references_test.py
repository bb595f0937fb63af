#!/usr/bin/env python3
"""Keeps the README and docs/ honest about what they name.

Every file a page names in backticks must exist, every program it names must be built, and
every test it names must be known to ctest. Pages go stale when a file moves or a program is
renamed; this fails on the first build after that, naming the page, the line and the word.

Usage: doc_references_test.py SOURCE_DIR BUILD_DIR
"""
import os
import re
import subprocess
import sys

FILE_SUFFIXES = (".h", ".cpp", ".md", ".sh", ".py", ".keys", ".supp", ".txt", ".in", ".cmake")
# Words that look like a program name (lower case, hyphenated) but name something else.
NOT_PROGRAMS = {"pkg-config", "xvfb-run", "zamelmedia-headless", "theme-color",
                # Debian's tools, the project's packages and the lintian notes the packaging page keeps
                "apt-get", "desktop-file-validate", "dpkg-buildflags", "dpkg-shlibdeps", "zamelmedia-tools",
                "binary-has-unneeded-section", "static-library-has-unneeded-sections"}
PAGES = ["README.md", "CHANGELOG.md"]


def pages(source):
    found = [p for p in PAGES if os.path.exists(os.path.join(source, p))]
    for root, _, files in os.walk(os.path.join(source, "docs")):
        found += [os.path.relpath(os.path.join(root, f), source) for f in files if f.endswith(".md")]
    return sorted(found)


def source_files(source):
    """Every file of the tree by base name, for pages that name a file without its folder."""
    names = {}
    for root, dirs, files in os.walk(source):
        dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
        for f in files:
            names.setdefault(f, []).append(os.path.join(root, f))
    return names


def built_programs(build):
    programs = set()
    for root, dirs, files in os.walk(build):
        dirs[:] = [d for d in dirs if not d.endswith(".dir") and d != "CMakeFiles"]
        for f in files:
            path = os.path.join(root, f)
            if os.access(path, os.X_OK) and "." not in f:
                programs.add(f)
    return programs


def ctest_names(build):
    out = subprocess.run(["ctest", "--test-dir", build, "-N"], capture_output=True, text=True).stdout
    return set(re.findall(r"Test\s+#\d+: (\S+)", out))


def expand(word):
    """`clipping.h/.cpp` names two files; `a/b.h` one."""
    if "/." in word:
        stem, _, rest = word.partition("/.")
        base = stem.rsplit(".", 1)[0]
        return [stem, base + "." + rest]
    return [word]


def check_file(word, page, source, by_name):
    if any(c in word for c in "*<>$ ") or word.startswith(("build", "/", "~", "$")):
        return True
    here = os.path.dirname(os.path.join(source, page))
    if os.path.exists(os.path.join(source, word)) or os.path.exists(os.path.join(here, word)):
        return True
    # A bare name, or a path relative to the folder the page is about: the file must be somewhere.
    return os.path.basename(word) in by_name and "/" not in word.rstrip("/") or any(
        p.endswith("/" + word) for p in by_name.get(os.path.basename(word), []))


def main():
    source, build = sys.argv[1], sys.argv[2]
    by_name = source_files(source)
    programs = built_programs(build)
    tests = ctest_names(build)
    faults = []
    for page in pages(source):
        with open(os.path.join(source, page), encoding="utf-8") as f:
            text = f.read()
        lines = text.split("\n")
        # A worked example's files are written out on the page itself (<!-- file: NAME -->).
        on_page = set(re.findall(r"<!-- file: (\S+) -->", text))
        for number, line in enumerate(lines, 1):
            for word in re.findall(r"`([^`\n]+)`", line):
                first = word.split()[0]
                where = f"{page}:{number}: `{word}`"
                if first.startswith("build/") and not first.endswith("/") and "*" not in first and "NAME" not in first:
                    name = os.path.basename(first)
                    if "." not in name and name not in programs:
                        faults.append(f"{where}: no program {name} in the build")
                elif re.fullmatch(r"[a-z]+(-[a-z0-9]+)+", first) and first not in NOT_PROGRAMS and not first.endswith("-dev"):
                    if first not in programs:
                        faults.append(f"{where}: no program {first} in the build")
                elif re.fullmatch(r"[a-z_]+_tests", first):
                    if first not in programs:
                        faults.append(f"{where}: no test program {first} in the build")
                elif re.fullmatch(r"(e2e|fuzz_replay)_[a-z0-9_]+|api_reference", first):
                    if first not in tests and not any(t.startswith(first) for t in tests):
                        faults.append(f"{where}: no test {first} in ctest")
                elif len(word.split()) == 1:
                    for name in expand(word.rstrip(":,")):
                        if name.endswith(FILE_SUFFIXES) and name not in on_page and \
                                not check_file(name, page, source, by_name):
                            faults.append(f"{where}: no file {name}")
    for fault in faults:
        print(fault)
    print(f"{len(pages(source))} pages checked, {len(faults)} stale references")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
