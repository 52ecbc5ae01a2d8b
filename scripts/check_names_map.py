#!/usr/bin/env python3
"""Keeps docs/NAMES.md honest: every file path it names must exist, so a moved or renamed
file fails the suite until the map follows it.  Usage: check_names_map.py [repo-root]"""
import re
import sys
from pathlib import Path

root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent)
text = (root / "docs" / "NAMES.md").read_text()
paths = sorted(set(re.findall(r"`((?:src|tests|resources|packaging|scripts|bench|fuzz)/[\w./-]+)`", text)))
missing = [p for p in paths if not (root / p).exists()]
for p in missing:
    print("FAIL: docs/NAMES.md names a missing path:", p)
print(f"{len(paths)} paths checked, {len(missing)} missing")
sys.exit(1 if missing else 0)
