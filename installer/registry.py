#!/usr/bin/env python3
"""Generates the shell extension's registration from installer/registry.txt.

  registry.py reg                 the registration file (what resources/varlo.reg holds)
  registry.py nsh OUT             the setup's install and uninstall macros, written to OUT
  registry.py check FILE          fails when FILE is not what `reg` prints (a hand edit, or a
                                  list changed without regenerating the file)

The tests import this module to know which keys and values an installation must hold.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "registry.txt")
INSTALLDIR = "%INSTALLDIR%"
ROOTS = {"HKEY_CLASSES_ROOT": "HKCR", "HKEY_LOCAL_MACHINE": "HKLM", "HKEY_CURRENT_USER": "HKCU"}

REG_HEADER = """\
REGEDIT4

; Registration of the shell extension varlo.dll, written by the setup (the library does not
; register itself). Generated from installer/registry.txt by installer/registry.py: change the
; list there and regenerate this file, never edit it by hand.
; %INSTALLDIR% stands for the install folder, backslashes doubled and no trailing backslash.
; Build tools read the class id from the CLSID key below.
; On 64-bit Windows each Explorer reads its own registry view: the 64-bit setup registers the
; 64-bit varlo.dll for the 64-bit Explorer, the 32-bit setup the 32-bit one.
"""


class Key:
    def __init__(self, root, path, owned):
        self.root, self.path, self.owned = root, path, owned
        self.values = []  # (name, data); name "" is the default value


def load(path=DATA):
    """The keys of the list, in its order. Raises ValueError on a line it cannot read."""
    clsid, keys = None, []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            word, _, rest = line.partition(" ")
            if word == "clsid":
                clsid = rest.strip()
                if len(clsid) != 38 or not (clsid.startswith("{") and clsid.endswith("}")):
                    raise ValueError(f"{path}:{number}: not a class id: {clsid}")
            elif word in ("key", "shared"):
                full = rest.strip().replace("%CLSID%", clsid or "%CLSID%")
                root, _, sub = full.partition("\\")
                if root not in ROOTS or not sub:
                    raise ValueError(f"{path}:{number}: not a key under a known root: {full}")
                keys.append(Key(root, sub, word == "key"))
            elif " = " in line and keys:
                name, _, data = line.partition(" = ")
                name = name.strip()
                name = "" if name == "@" else name
                keys[-1].values.append((name.replace("%CLSID%", clsid or ""), data.replace("%CLSID%", clsid or "")))
            else:
                raise ValueError(f"{path}:{number}: cannot read: {line}")
    if not clsid or "%CLSID%" in "".join(k.path for k in keys):
        raise ValueError(f"{path}: the class id must come before the keys that use it")
    return clsid, keys


def reg_text(keys):
    def quoted(text):
        return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'

    out = [REG_HEADER]
    for key in keys:
        out.append(f"\n[{key.root}\\{key.path}]\n")
        for name, data in key.values:
            out.append(("@" if not name else quoted(name)) + "=" + quoted(data) + "\n")
    return "".join(out)


def nsis_string(text):
    return '"' + text.replace("$", "$$").replace('"', '$\\"').replace(INSTALLDIR.replace("$", "$$"), "$INSTDIR") + '"'


def parents(path):
    """The key's parents, deepest first, down to the second level: a first-level key ("Software",
    "CLSID", "*") belongs to the system."""
    parts = path.split("\\")
    return ["\\".join(parts[:n]) for n in range(len(parts) - 1, 1, -1)]


def inside(key, keys):
    """Whether the key lies under another key of ours, which takes it along when removed."""
    return any(o.owned and o.root == key.root and key.path.startswith(o.path + "\\") for o in keys)


def nsh_text(keys):
    out = ["; Generated from installer/registry.txt by installer/registry.py; do not edit.\n",
           "!macro ZembraWriteRegistry\n"]
    for key in keys:
        for name, data in key.values:
            out.append(f"  WriteRegStr {ROOTS[key.root]} {nsis_string(key.path)} {nsis_string(name)} {nsis_string(data)}\n")
    out.append("!macroend\n\n!macro ZembraRemoveRegistry\n")
    for key in keys:
        if inside(key, keys):
            continue
        if key.owned:
            out.append(f"  DeleteRegKey {ROOTS[key.root]} {nsis_string(key.path)}\n")
        else:
            for name, _ in key.values:
                out.append(f"  DeleteRegValue {ROOTS[key.root]} {nsis_string(key.path)} {nsis_string(name)}\n")
    # Keys that only held ours go too; /ifempty spares any key with a value or subkey left in it.
    pruned = []
    for key in keys:
        for path in ([] if key.owned else [key.path]) + parents(key.path):
            ours = any(o.owned and o.root == key.root and (path + "\\").startswith(o.path + "\\") for o in keys)
            if not ours and (key.root, path) not in pruned:
                pruned.append((key.root, path))
    pruned.sort(key=lambda rp: -rp[1].count("\\"))
    for root, path in pruned:
        out.append(f"  DeleteRegKey /ifempty {ROOTS[root]} {nsis_string(path)}\n")
    out.append("!macroend\n")
    return "".join(out)


def main(argv):
    try:
        _, keys = load()
    except (OSError, ValueError) as e:
        print(f"registry.py: {e}", file=sys.stderr)
        return 1
    if len(argv) == 2 and argv[1] == "reg":
        sys.stdout.write(reg_text(keys))
        return 0
    if len(argv) == 3 and argv[1] == "nsh":
        text = nsh_text(keys)
        # Rewritten only on a change, so the setup is not rebuilt for nothing.
        if not os.path.exists(argv[2]) or open(argv[2], encoding="utf-8").read() != text:
            with open(argv[2], "w", encoding="utf-8") as f:
                f.write(text)
        return 0
    if len(argv) == 3 and argv[1] == "check":
        with open(argv[2], encoding="utf-8", newline="") as f:
            if f.read().replace("\r\n", "\n") == reg_text(keys):
                return 0
        print(f"{argv[2]} does not match installer/registry.txt; regenerate it with\n"
              f"  python3 installer/registry.py reg > resources/varlo.reg", file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
