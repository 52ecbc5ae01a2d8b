#!/usr/bin/env python3
"""Checks the folder layering of src/ from its #include lines.

- platform/ and formats/ are the ground floor: they include nothing from the folders above.
- Only editor/ (and main.cpp) include the main window's header editor/frm_geral.h; side windows
  reach it through its narrow link.
- No cycle between folders once the edges listed in KNOWN_DEBTS are set aside; those are to be
  paid off, and an entry that no longer occurs must be removed, so the lists only shrink.

Usage: check_layers.py [src-dir]   (prints the folder graph and exits 1 on a violation)
"""
import re
import sys
from pathlib import Path

GROUND = {"platform", "formats"}
MAIN_WINDOW = "editor/frm_geral.h"
# Folder edges that close today's cycles ("from -> to"); the rest of the graph must be acyclic.
KNOWN_DEBTS: set[tuple[str, str]] = set()
# Files above the ground that may still include the main window's header, for now.
KNOWN_MAIN_WINDOW_USERS: set[str] = set()

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/([^"]+)"', re.M)


def scan(src: Path):
    edges: dict[tuple[str, str], list[str]] = {}
    main_window_users = set()
    for f in sorted(src.rglob("*")):
        if f.suffix not in (".h", ".cpp") or f.parent == src:
            continue
        rel = f.relative_to(src).as_posix()
        folder = rel.split("/")[0]
        for target, header in INCLUDE.findall(f.read_text(errors="replace")):
            if f"{target}/{header}" == MAIN_WINDOW and folder != "editor":
                main_window_users.add(rel)
            if target != folder and (src / target).is_dir():
                edges.setdefault((folder, target), []).append(rel)
    return edges, main_window_users


def find_cycle(edges):
    """Returns one cycle of folders as a list, or None."""
    graph: dict[str, list[str]] = {}
    for a, b in edges:
        graph.setdefault(a, []).append(b)
    state: dict[str, int] = {}
    path: list[str] = []

    def visit(node):
        state[node] = 1
        path.append(node)
        for nxt in sorted(graph.get(node, [])):
            if state.get(nxt) == 1:
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        path.pop()
        state[node] = 2
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def main() -> int:
    src = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "src")
    edges, main_window_users = scan(src)
    problems = []
    for (a, b), files in sorted(edges.items()):
        if a in GROUND and not (a == "platform" and b == "formats"):
            problems.append(f"upward include {a} -> {b}: {', '.join(sorted(set(files)))}")
    cycle = find_cycle({e for e in edges if e not in KNOWN_DEBTS})
    if cycle:
        problems.append("folder cycle " + " -> ".join(cycle))
    for a, b in sorted(KNOWN_DEBTS - edges.keys()):
        problems.append(f"known debt {a} -> {b} is paid off: remove it from KNOWN_DEBTS")
    for rel in sorted(main_window_users - KNOWN_MAIN_WINDOW_USERS):
        problems.append(f"{rel} includes {MAIN_WINDOW}")
    for rel in sorted(KNOWN_MAIN_WINDOW_USERS - main_window_users):
        problems.append(f"{rel} no longer includes {MAIN_WINDOW}: remove it from KNOWN_MAIN_WINDOW_USERS")
    for (a, b), files in sorted(edges.items()):
        print(f"{a:12} -> {b:12} {len(files)} file(s)")
    for p in problems:
        print("FAIL:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
