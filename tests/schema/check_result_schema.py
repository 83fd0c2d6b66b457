#!/usr/bin/env python3
"""Validates result files against docs/result.schema.json.

  check_result_schema.py <schema> <result.json>...
  check_result_schema.py --samples <schema> <samples program> <folder>
      runs the program, which writes sample result files into the folder,
      validates them, and makes sure the schema refuses wrong copies.
"""
import json
import os
import subprocess
import sys

try:
    import jsonschema
except ImportError:
    sys.exit("check_result_schema: the Python module jsonschema is missing "
             "(scripts/install-deps.sh installs python3-jsonschema)")


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def problems(schema, result):
    check = jsonschema.validators.validator_for(schema)(schema)
    found = [f"{'/'.join(map(str, e.absolute_path))}: {e.message}"
             for e in check.iter_errors(result)]
    if result.get("$schema") != schema["$id"]:
        found.append(f"$schema is {result.get('$schema')!r}, not {schema['$id']!r}")
    return found


# Wrong copies of a sample the schema must refuse.
BROKEN = {
    "an unknown outcome": lambda r: r["steps"][-1].update(outcome="done"),
    "an unknown exit class": lambda r: r["steps"][-1].update(exitClass="fine"),
    "a step without detection": lambda r: r["steps"][-1].pop("detectedAfter"),
    "a present entry that ran": lambda r: r["steps"][-1].update(
        kind="entry", outcome="present", detectedBefore=True, tries=1),
}


def main(argv):
    if len(argv) == 4 and argv[0] == "--samples":
        schema_path, program, folder = argv[1:]
        os.makedirs(folder, exist_ok=True)
        for name in os.listdir(folder):
            os.remove(os.path.join(folder, name))
        env = dict(os.environ, TARN_RESULT_SAMPLES=folder)
        subprocess.run([program, "--gtest_brief=1"], env=env, check=True)
        paths = [os.path.join(folder, n) for n in sorted(os.listdir(folder))]
    elif len(argv) >= 2 and not argv[0].startswith("--"):
        schema_path, paths = argv[0], argv[1:]
    else:
        sys.exit(__doc__)
    schema = load(schema_path)
    jsonschema.validators.validator_for(schema).check_schema(schema)
    failed = not paths
    for path in paths:
        for problem in problems(schema, load(path)):
            print(f"{path}: {problem}")
            failed = True
    if argv[0] == "--samples" and paths:
        for what, breaks in BROKEN.items():
            wrong = load(paths[0])
            breaks(wrong)
            if not problems(schema, wrong):
                print(f"the schema takes a file with {what}")
                failed = True
    return failed


if __name__ == "__main__":
    sys.exit(1 if main(sys.argv[1:]) else 0)
