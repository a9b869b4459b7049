#!/usr/bin/env python3
"""Prints the mangled names the shared library must export, read from the public headers.

Every class marked GIBO_API contributes each member function it declares but does not define
inline; friend functions and variables marked GIBO_API contribute themselves. Clang's AST gives
the mangled names, so overloads and qualifiers are exact.
Usage: public_api.py CLANG INCLUDE_DIR
"""
import json
import re
import subprocess
import sys
from pathlib import Path

clang, include = sys.argv[1], Path(sys.argv[2])
text = "".join(p.read_text() for p in sorted(include.glob("*.h")))
classes = sorted(set(re.findall(r"\bclass\s+GIBO_API\s+(\w+)", text)))
variables = sorted(set(re.findall(r"\bGIBO_API\b[^;(]*?\b(\w+)\s*\[", text)))

def dump(name):
    out = subprocess.run(
        [clang, "-std=c++17", "-x", "c++", "-fsyntax-only", "-I", str(include),
         "-Xclang", "-ast-dump=json", "-Xclang", "-ast-dump-filter=" + name, "-"],
        input="".join(f'#include "{p.name}"\n' for p in sorted(include.glob("*.h"))),
        capture_output=True, text=True, check=True).stdout
    decoder, pos, nodes = json.JSONDecoder(), 0, []
    while True:
        while pos < len(out) and out[pos].isspace():
            pos += 1
        if pos >= len(out):
            return nodes
        node, pos = decoder.raw_decode(out, pos)
        nodes.append(node)

def declared_only(fn):
    inner = fn.get("inner", [])
    return (not fn.get("isImplicit") and not fn.get("explicitlyDefaulted")
            and not fn.get("explicitlyDeleted") and not fn.get("pure")
            and not any(c.get("kind") == "CompoundStmt" for c in inner))

def exported(node):
    return any(c.get("kind") in ("VisibilityAttr", "DLLExportAttr") for c in node.get("inner", []))

FUNCTIONS = {"CXXMethodDecl", "CXXConstructorDecl", "CXXDestructorDecl", "CXXConversionDecl"}
names = set()
for cls in classes:
    for rec in dump(cls):
        if rec.get("kind") != "CXXRecordDecl" or rec.get("name") != cls or not exported(rec):
            continue
        for member in rec.get("inner", []):
            if member.get("kind") in FUNCTIONS and declared_only(member):
                names.add(member["mangledName"])
            elif member.get("kind") == "FriendDecl":
                for fn in member.get("inner", []):
                    if fn.get("kind") == "FunctionDecl" and exported(fn) and declared_only(fn):
                        names.add(fn["mangledName"])
names.update(variables)  # extern "C": the name is the symbol
print("\n".join(sorted(names)))
