#!/usr/bin/env python3
"""Proves that every object and archive of the build linked into an exe was
compiled with stack canaries and checked buffer copies, library by library.

    scripts/linked_parts.py <build folder> <target name> [nm]

The exe's link line (CMakeFiles/<target>.dir/link.txt) names the objects and
archives it links; those that lie in the build folder are ours (the rest are
the toolchain's). Every source compiled into each of them must have been
compiled with -fstack-protector-strong (or -all, the last such option
winning) and _FORTIFY_SOURCE=2 or more (compile_commands.json), and each
archive must reference the canary's failure routine, which only
canary-protected code does. A target defined where the options do not reach
it fails either way. Prints each fault and exits 1 on any."""
import glob
import json
import os
import shlex
import subprocess
import sys

build, target = os.path.abspath(sys.argv[1]), sys.argv[2]
nm = sys.argv[3] if len(sys.argv) > 3 else "x86_64-w64-mingw32-nm"


def fail(message):
    print("binary: " + message)
    return 1


links = glob.glob(os.path.join(build, "**", "CMakeFiles", target + ".dir", "link.txt"),
                  recursive=True)
commands_path = os.path.join(build, "compile_commands.json")
if not links or not os.path.exists(commands_path):
    sys.exit(fail("no link line or compile_commands.json for %s in %s" % (target, build)))
# The link runs in the folder that holds CMakeFiles/<target>.dir; its words
# may come from response files (@file).
link_dir = os.path.dirname(os.path.dirname(os.path.dirname(links[0])))


def words_of(text):
    for word in shlex.split(text):
        if word.startswith("@") and os.path.isfile(os.path.join(link_dir, word[1:])):
            yield from words_of(open(os.path.join(link_dir, word[1:])).read())
        else:
            yield word


parts = []  # (path, the folder of its target's objects, whether its code is checked with nm)
# link.txt gathers the exe's own objects into an archive first; the line
# that makes the exe is the one with -o.
link_line = [line for line in open(links[0]).read().splitlines() if " -o " in line][-1:]
for word in words_of(" ".join(link_line)):
    if word.startswith("-") or not word.endswith((".a", ".obj", ".o")):
        continue
    path = os.path.normpath(os.path.join(link_dir, word))
    if not path.startswith(build + os.sep):
        continue  # the toolchain's own libraries
    if ".dir" + os.sep in path:
        # The exe's own objects, alone or gathered in CMakeFiles/<target>.dir/objects.a.
        parts.append((path, path[:path.index(".dir" + os.sep) + len(".dir")], False))
    elif os.path.basename(path).startswith("lib"):
        name = os.path.basename(path)[len("lib"):-len(".a")]
        parts.append((path, os.path.join(os.path.dirname(path), "CMakeFiles", name + ".dir"), True))

commands = json.load(open(commands_path))
faults = 0 if parts else fail("no object or library of the build on the link line of " + target)
for path, part_dir, with_nm in parts:
    shown = os.path.relpath(path, build)
    if not os.path.exists(path):
        faults += fail("%s is on the link line of %s but not built" % (shown, target))
        continue
    sources = 0
    unprotected = {}  # what is missing -> the sources it misses in
    for entry in commands:
        args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
        out = entry.get("output") or (args[args.index("-o") + 1] if "-o" in args else "")
        out = os.path.normpath(os.path.join(entry.get("directory", build), out))
        if not out.startswith(part_dir + os.sep) or (path.endswith((".obj", ".o")) and out != path):
            continue
        sources += 1
        protector = [a for a in args if a.startswith(("-fstack-protector", "-fno-stack-protector"))]
        fortify = [a for a in args if a.startswith(("-D_FORTIFY_SOURCE", "-U_FORTIFY_SOURCE"))]
        missing = []
        if not protector or protector[-1] not in ("-fstack-protector-strong", "-fstack-protector-all"):
            missing.append("-fstack-protector-strong")
        if not fortify or fortify[-1].partition("=")[2] not in ("2", "3"):
            missing.append("_FORTIFY_SOURCE=2")
        if missing:
            unprotected.setdefault(" and ".join(missing), []).append(os.path.basename(entry["file"]))
    for missing, files in unprotected.items():
        faults += fail("%s: %d of %d sources compiled without %s (%s)"
                       % (shown, len(files), sources, missing, " ".join(sorted(files))))
    if sources == 0:
        faults += fail("%s: no compile command for it in compile_commands.json" % shown)
    if with_nm:
        symbols = subprocess.run([nm, path], capture_output=True, text=True).stdout
        if not any(line.split()[-2:] == ["U", "__stack_chk_fail"] for line in symbols.splitlines()):
            faults += fail("%s holds no canary-protected code (no reference to __stack_chk_fail)" % shown)
if faults == 0:
    print("binary: %s links %d parts of the build (%s), each compiled with canaries and checked copies"
          % (target, len(parts), " ".join(os.path.relpath(p, build) for p, _, _ in parts)))
sys.exit(1 if faults else 0)
