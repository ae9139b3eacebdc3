#!/usr/bin/env python3
"""Runs stenvikplus-cli against its simulated head and checks every JSON document it prints
against the schema in the repository that the document names."""
import json
import os
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import jsonschema


def load_schemas(folder):
    schemas = {}
    for path in sorted(Path(folder).glob("*.schema.json")):
        schema = json.loads(path.read_text(encoding="utf-8"))
        jsonschema.Draft202012Validator.check_schema(schema)
        schemas[schema["properties"]["schema"]["const"]] = schema
    return schemas


def run(tool, env, *args):
    result = subprocess.run([tool, "--simulate", "--json", *args], env=env, capture_output=True, timeout=120)
    return result.returncode, result.stdout.decode("utf-8")


def watch_lines(tool, env):
    process = subprocess.Popen([tool, "--simulate", "--json", "watch"], env=env, stdout=subprocess.PIPE)
    time.sleep(2.0)
    process.send_signal(signal.SIGINT)
    out, _ = process.communicate(timeout=60)
    return process.returncode, [line for line in out.decode("utf-8").splitlines() if line]


def main():
    tool, schema_dir = sys.argv[1], sys.argv[2]
    schemas = load_schemas(schema_dir)
    failures = []

    def check(kind, code, expected_code, document):
        if code != expected_code:
            failures.append(f"{kind}: exit code {code}, expected {expected_code}")
        schema_id = document.get("schema")
        if schema_id != kind:
            failures.append(f"{kind}: document names schema {schema_id!r}")
            return
        validator = jsonschema.Draft202012Validator(schemas[kind])
        for error in validator.iter_errors(document):
            failures.append(f"{kind}: {error.json_path}: {error.message}")

    with tempfile.TemporaryDirectory() as runtime:
        os.chmod(runtime, 0o700)
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime)
        for kind, args, expected in (("stenvikplus.list/1", ["list"], 0),
                                     ("stenvikplus.info/1", ["info"], 0),
                                     ("stenvikplus.measure/1", ["measure", "--cycles", "3"], 1)):
            code, out = run(tool, env, *args)
            check(kind, code, expected, json.loads(out))
        # A run recorded into a results file of its own, then summed up from it.
        results = os.path.join(runtime, "results.sqlite")
        code, out = run(tool, env, "--results", results, "measure", "--cycles", "3", "--record")
        if code != 1:
            failures.append(f"measure --record: exit code {code}, expected 1")
        code, out = run(tool, env, "--results", results, "results", "summary")
        check("stenvikplus.results-summary/1", code, 0, json.loads(out))
        code, lines = watch_lines(tool, env)
        if not lines:
            failures.append("watch printed no line")
        for line in lines:
            check("stenvikplus.watch/1", code, 0, json.loads(line))

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
