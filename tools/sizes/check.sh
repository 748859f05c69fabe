#!/usr/bin/env bash
# Keeps the code in pieces a reader takes in: no source file over 400 lines, no function over
# 80 lines, and the main window (header and source) at most 300 lines. Prints what is over and
# fails then.
set -euo pipefail
cd "$(dirname "$0")/../.."
python3 - <<'PY'
import pathlib, re, sys
failures = []
files = sorted(p for p in pathlib.Path("src").rglob("*") if p.suffix in (".cpp", ".h"))
for path in files:
    lines = path.read_text(encoding="utf-8").splitlines()
    if len(lines) > 400:
        failures.append(f"{path}: {len(lines)} lines (at most 400)")
    # a function: a signature at the left margin, its body up to the "}" at the left margin
    signature = start = None
    for number, line in enumerate(lines, 1):
        if start is None:
            at_margin = line[:1] not in ("", " ", "}", "#", "/")
            if at_margin and "(" in line and not re.match(r"(class|struct|namespace|enum)\b", line):
                signature = number
            if signature is not None and line.rstrip().endswith("{"):
                start, signature = signature, None
            elif signature is not None and line.rstrip().endswith(";"):
                signature = None
        elif line.startswith("}"):
            if number - start + 1 > 80:
                failures.append(f"{path}:{start}: a function of {number - start + 1} lines (at most 80)")
            start = None
window = sum(len(pathlib.Path(f"src/app/mainwindow.{e}").read_text().splitlines()) for e in ("h", "cpp"))
if window > 300:
    failures.append(f"src/app/mainwindow.h and .cpp: {window} lines (at most 300)")
print("\n".join(failures) if failures else "sizes within their bounds")
sys.exit(1 if failures else 0)
PY
