#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when the modules of a source tree include one another in a circle.

A module is a .h/.cpp pair named by its path under the tree's root; A.h or
A.cpp including "B.h" is an edge A -> B. Windows that include each other are
windows reaching into each other: they should meet through shared services
and signals instead. Prints every circle found and exits 1; exits 0 when there
is none.

    tools/include-circles.py src
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def modules(root):
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            if name.endswith((".h", ".hpp", ".cpp", ".cc")):
                path = os.path.join(folder, name)
                files[os.path.relpath(path, root)] = path
    edges = {}
    for relative, path in files.items():
        module = os.path.splitext(relative)[0]
        edges.setdefault(module, set())
        with open(path, encoding="utf-8", errors="replace") as source:
            text = source.read()
        for target in INCLUDE.findall(text):
            for candidate in (os.path.normpath(os.path.join(os.path.dirname(relative), target)),
                              os.path.normpath(target)):
                if candidate in files:
                    other = os.path.splitext(candidate)[0]
                    if other != module:
                        edges[module].add(other)
                    break
    return edges


def circles(edges):
    """Strongly connected components of more than one module (Tarjan)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for other in edges.get(node, ()):
            if other not in index:
                visit(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(100000)
    for node in list(edges):
        if node not in index:
            visit(node)
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "src"
    if not os.path.isdir(root):
        print(f"include-circles: no folder {root}", file=sys.stderr)
        return 2
    found = circles(modules(root))
    for component in found:
        print(f"circle of {len(component)}: " + ", ".join(component))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
