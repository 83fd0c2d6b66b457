#!/usr/bin/env python3
"""The release's bill of materials and third-party notices, from what the
linker really took in.

Each program's linker map (ld -Map) names every archive member and object
file linked into it. Each file is traced to the Debian package that installed
it (dpkg), which gives the version and the licence text
(/usr/share/doc/<package>/copyright). The table below says which part of the
toolchain an archive belongs to and under which licences that part is
distributed; an archive the table does not know stops the release, so that a
new dependency is never shipped without its notice.

Writes a CycloneDX 1.5 JSON document and a plain-text notices file. Both
depend only on the commit, its date and the installed packages: the serial
number is derived from the commit, the time stamp is the commit's.
"""
import argparse
import datetime
import json
import os
import re
import subprocess
import sys
import uuid
from urllib.parse import quote

# What the program links, by file name: the part it belongs to, the Debian
# packages that part may come from, and the licences of that part's sources
# as the package's copyright file states them.
GCC_LICENCE = {"expression": "GPL-3.0-or-later WITH GCC-exception-3.1"}
PARTS = {
    "libstdc++": {
        "files": [r"libstdc\+\+\.a", r"libsupc\+\+\.a"],
        "packages": r"g\+\+-mingw-w64-x86-64-(posix|win32)",
        "description": "GNU C++ standard library (static)",
        "licenses": [GCC_LICENCE],
    },
    "libgcc": {
        "files": [r"libgcc\.a", r"libgcc_eh\.a", r"crtbegin\.o", r"crtend\.o"],
        "packages": r"gcc-mingw-w64-x86-64-(posix|win32)",
        "description": "GCC low-level runtime library (static)",
        "licenses": [GCC_LICENCE],
    },
    "winpthreads": {
        "files": [r"libwinpthread\.a", r"libpthread\.a"],
        "packages": r"mingw-w64-x86-64-dev",
        "description": "mingw-w64 POSIX threads for Windows (static)",
        "licenses": [{"license": {"id": "MIT"}}, {"license": {"id": "BSD-3-Clause"}}],
    },
    "googletest": {
        "files": [r"libgtest\.a", r"libgtest_main\.a", r"libgmock\.a"],
        "description": "Google Test, built from the googletest package's sources "
                       "(verification kit only)",
        "licenses": [{"license": {"id": "BSD-3-Clause"}}],
        # Compiled here from /usr/src/googletest.
        "packages": r"googletest",
        "built-here": True,
    },
    # Last: its import libraries are any other lib*.a.
    "mingw-w64-crt": {
        # The start-up code (crt2u.o for a wide-character entry point), its
        # helpers and the import libraries of the system's DLLs.
        "files": [r"crt2u?\.o", r"lib\w+\.a"],
        "packages": r"mingw-w64-x86-64-dev",
        "description": "mingw-w64 C runtime start-up code, helpers and import libraries (static)",
        "licenses": [{"license": {"id": "ZPL-2.1"}},
                     {"license": {"name": "Public domain (mingw-w64-crt/crt)"}},
                     {"license": {"name": "Lucent (mingw-w64-crt/gdtoa)"}}],
    },
}
# Libraries of the program itself, built from the commit.
OWN = re.compile(r"libtarn_\w+\.a$")

# "archive(member)" at the start of a line of the map's first section; the
# file that needed it follows on the same line or the next.
MEMBER = re.compile(r"^(\S+\.a)\(([^)]+)\)(\s|$)")
# An object file given to the linker by path; the program's own are relative.
LOADED = re.compile(r"^LOAD (/\S+\.o)$")


def linked_files(map_path, build):
    """The archives (with their members) and the toolchain's object files a
    map names. Relative paths are the build folder's, where the link ran."""
    files = {}
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            line = line.rstrip("\n")
            member = MEMBER.match(line)
            if member:
                path = os.path.normpath(os.path.join(build, member.group(1)))
                files.setdefault(path, set()).add(member.group(2))
                continue
            loaded = LOADED.match(line)
            if loaded:
                files.setdefault(os.path.normpath(loaded.group(1)), set())
    return files


def part_of(path):
    name = os.path.basename(path)
    for part, facts in PARTS.items():
        if any(re.fullmatch(pattern, name) for pattern in facts["files"]):
            return part
    return None


def package_of(path, part, build):
    facts = PARTS[part]
    if path.startswith(build):
        if not facts.get("built-here"):
            sys.exit(f"release-bom: {path} was built here but is not the program's own")
        return facts["packages"]
    for candidate in (path, os.path.realpath(path)):
        found = subprocess.run(["dpkg-query", "-S", candidate], capture_output=True, text=True)
        if found.returncode == 0:
            package = found.stdout.split(":")[0].split(",")[0].strip()
            if not re.fullmatch(facts["packages"], package):
                sys.exit(f"release-bom: {path} comes from {package}, not from a package of "
                         f"{part}; add it to PARTS in scripts/release-bom.py")
            return package
    sys.exit(f"release-bom: no installed package holds {path}")


def package_facts(package):
    out = subprocess.run(["dpkg-query", "-W", "-f", "${Version}\t${Architecture}", package],
                         capture_output=True, text=True, check=True).stdout
    version, arch = out.split("\t")
    return version, arch


def gather(programs, build):
    """{part: {"packages": {package: set(archives)}, "programs": set}}."""
    parts = {}
    for program, map_path in programs:
        for path, members in sorted(linked_files(map_path, build).items()):
            if OWN.search(path):
                continue
            part = part_of(path)
            if part is None:
                sys.exit(f"release-bom: {program} links {path}, which no notice covers; "
                         "add it to PARTS in scripts/release-bom.py")
            entry = parts.setdefault(part, {"packages": {}, "programs": set()})
            package = package_of(path, part, build)
            entry["packages"].setdefault(package, set()).add(os.path.basename(path))
            entry["programs"].add(program)
    return parts


def components(parts):
    listed = []
    for part in sorted(parts):
        for package in sorted(parts[part]["packages"]):
            version, arch = package_facts(package)
            archives = sorted(parts[part]["packages"][package])
            listed.append({
                "type": "library",
                "bom-ref": f"{part}@{package}",
                "name": part,
                "version": version,
                "description": PARTS[part]["description"],
                "licenses": PARTS[part]["licenses"],
                "purl": f"pkg:deb/debian/{quote(package)}@{quote(version, safe='.-_~:')}?arch={arch}",
                "properties": [{"name": "tarn:debian-package", "value": package}]
                + [{"name": "tarn:linked-archive", "value": a} for a in archives]
                + [{"name": "tarn:linked-into", "value": p}
                   for p in sorted(parts[part]["programs"])],
            })
    return listed


def bom(args, listed, programs):
    date = datetime.datetime.fromtimestamp(int(args.date), datetime.timezone.utc)
    programs_refs = []
    dependencies = []
    for program, _ in programs:
        ref = f"program:{program}"
        programs_refs.append({
            "type": "application", "bom-ref": ref, "name": program, "version": args.version,
            "licenses": [{"license": {"id": "MIT"}}],
        })
        dependencies.append({
            "ref": ref,
            "dependsOn": [c["bom-ref"] for c in listed
                          if {"name": "tarn:linked-into", "value": program} in c["properties"]],
        })
    dependencies.insert(0, {"ref": "tarn", "dependsOn": [p["bom-ref"] for p in programs_refs]})
    return {
        "bomFormat": "CycloneDX",
        "specVersion": "1.5",
        "serialNumber": "urn:uuid:" + str(uuid.uuid5(uuid.NAMESPACE_URL,
                                                     f"https://tarn.example.org/release/{args.commit}")),
        "version": 1,
        "metadata": {
            "timestamp": date.strftime("%Y-%m-%dT%H:%M:%SZ"),
            "tools": {"components": [{"type": "application", "name": "scripts/release-bom.py",
                                      "version": args.version}]},
            "component": {
                "type": "application", "bom-ref": "tarn", "name": "TARN", "version": args.version,
                "description": "Finishes a freshly installed Windows computer",
                "licenses": [{"license": {"id": "MIT"}}],
                "copyright": "Copyright (c) The TARN authors",
                "externalReferences": [{"type": "vcs", "url": "https://tarn.example.org/",
                                        "comment": f"commit {args.commit}"}],
            },
        },
        "components": programs_refs + listed,
        "dependencies": dependencies,
    }


def copyright_text(package):
    path = os.path.realpath(f"/usr/share/doc/{package}/copyright")
    with open(path, encoding="utf-8", errors="replace") as text:
        return path, text.read()


def notices(args, listed):
    out = [f"TARN {args.version}: third-party notices", "",
           "tarn.exe and the verification kit's programs are linked statically with the",
           "following parts of their compiler's runtime (and the kit's test program with",
           "Google Test). Each part is listed with the Debian package it was built from,",
           "its version, the archives the linker took from it, and the package's",
           "copyright file with the full licence texts. The machine-readable list is",
           f"tarn-{args.version}.cdx.json.", ""]
    shown = set()
    for component in listed:
        properties = component["properties"]
        package = next(p["value"] for p in properties if p["name"] == "tarn:debian-package")
        archives = [p["value"] for p in properties if p["name"] == "tarn:linked-archive"]
        into = [p["value"] for p in properties if p["name"] == "tarn:linked-into"]
        out += [f"* {component['name']} {component['version']} (Debian package {package})",
                f"  {component['description']}",
                f"  linked into: {', '.join(into)}",
                f"  archives: {', '.join(archives)}", ""]
    for component in listed:
        package = next(p["value"] for p in component["properties"]
                       if p["name"] == "tarn:debian-package")
        path, text = copyright_text(package)
        if path in shown:
            continue
        shown.add(path)
        out += ["=" * 78, f"{package}: /usr/share/doc/{package}/copyright", "=" * 78, "",
                text.rstrip("\n"), ""]
    return "\r\n".join(out) + "\r\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--commit", required=True)
    parser.add_argument("--date", required=True)
    parser.add_argument("--build", required=True, help="the build folder of the programs")
    parser.add_argument("--program", action="append", required=True, help="name=linker map")
    parser.add_argument("--bom", required=True)
    parser.add_argument("--notices", required=True)
    args = parser.parse_args()
    build = os.path.normpath(args.build) + os.sep
    programs = [tuple(p.split("=", 1)) for p in args.program]
    listed = components(gather(programs, build))
    with open(args.bom, "w", encoding="utf-8", newline="\n") as out:
        json.dump(bom(args, listed, programs), out, indent=2, sort_keys=False)
        out.write("\n")
    with open(args.notices, "w", encoding="utf-8", newline="") as out:
        out.write(notices(args, listed))


if __name__ == "__main__":
    main()
