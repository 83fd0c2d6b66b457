#!/usr/bin/env python3
"""Validates result files against docs/result.schema.json.

  check_result_schema.py <schema> <result.json>...
      every file must be valid.
  check_result_schema.py --samples <schema> <samples program> <folder>
      runs the program, which writes sample result files into the folder,
      validates each, and makes sure the schema refuses files that are wrong.
"""
import copy
import json
import os
import subprocess
import sys

try:
    import jsonschema
except ImportError:
    sys.exit("check_result_schema: the Python module jsonschema is missing "
             "(scripts/install-deps.sh installs python3-jsonschema)")


def validator(schema_path):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    cls = jsonschema.validators.validator_for(schema)
    cls.check_schema(schema)
    return schema, cls(schema)


def problems(check, result):
    return [f"{'/'.join(map(str, e.absolute_path))}: {e.message}"
            for e in check.iter_errors(result)]


def validate_files(schema_path, paths):
    schema, check = validator(schema_path)
    failed = False
    for path in paths:
        with open(path, encoding="utf-8") as f:
            result = json.load(f)
        found = problems(check, result)
        if result.get("$schema") != schema["$id"]:
            found.append(f"$schema is {result.get('$schema')!r}, not the schema's $id")
        for problem in found:
            print(f"{path}: {problem}")
        failed = failed or bool(found)
    return failed


# Wrong files the schema must refuse: what each breaks, and how.
def broken_copies(result):
    def step(change):
        def apply(r):
            change(r["steps"][0])
        return apply
    yield "an unknown outcome", step(lambda s: s.update(outcome="done"))
    yield "an unknown exit class", step(lambda s: s.update(exitClass="fine"))
    yield "a missing detection", step(lambda s: s.pop("detectedAfter"))
    yield "a present entry that ran", step(
        lambda s: s.update(outcome="present", exitCode=0, tries=1, detectedBefore=True))
    yield "no $schema", lambda r: r.pop("$schema")
    yield "a time without milliseconds", lambda r: r.update(started="2026-12-01T07:13:42Z")


def validate_samples(schema_path, program, folder):
    os.makedirs(folder, exist_ok=True)
    for name in os.listdir(folder):
        os.remove(os.path.join(folder, name))
    env = dict(os.environ, TARN_RESULT_SAMPLES=folder)
    subprocess.run([program, "--gtest_brief=1"], env=env, check=True)
    paths = sorted(os.path.join(folder, n) for n in os.listdir(folder))
    if not paths:
        print("no samples were written")
        return True
    failed = validate_files(schema_path, paths)
    _, check = validator(schema_path)
    with open(paths[0], encoding="utf-8") as f:
        sample = json.load(f)
    for what, breaks in broken_copies(sample):
        wrong = copy.deepcopy(sample)
        breaks(wrong)
        if not problems(check, wrong):
            print(f"the schema takes a file with {what}")
            failed = True
    print(f"check_result_schema: {len(paths)} samples")
    return failed


def main(argv):
    if argv[:1] == ["--samples"] and len(argv) == 4:
        return validate_samples(*argv[1:])
    if len(argv) >= 2:
        return validate_files(argv[0], argv[1:])
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(1 if main(sys.argv[1:]) else 0)
