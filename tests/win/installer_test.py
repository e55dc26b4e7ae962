#!/usr/bin/env python3
"""The setup end to end under Wine, in a fresh prefix of its own: the 32-bit setup in a 32-bit
prefix under the 32-bit loader, the 64-bit one under wine64.

Installs the build into a scratch folder (the install step makes zembra-setup-<target>.exe), runs
the setup silently, checks the installed files, the registry against installer/registry.txt,
Add/Remove Programs, the shortcuts and the installed zembra-cli, has installer_shell_host play
Explorer with the installed varlo.dll, then uninstalls: once keeping the user's settings, once
with presets the user changed and a split set saved in the program folder (kept), once removing
the settings. Registry exports taken before and after must differ by nothing of ours, and the
user's split sets stay as they were. Last, a setup into a folder that already holds files of the
user and of another program: none of them is replaced, and the uninstaller leaves them as they were.
"""
import argparse
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(HERE, "..", "..", "installer"))
import registry  # noqa: E402

WINESERVER = "/usr/lib/wine/wineserver"
LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
INSTDIR = r"C:\Program Files\Zembra"
UNINSTALLER = "zembra-uninstall.exe"
SETTINGS_KEY = r"HKEY_CURRENT_USER\Software\Local AppWizard-Generated Applications\Zembra"
failures = []


def check(ok, what):
    print(("ok: " if ok else "FAILED: ") + what)
    if not ok:
        failures.append(what)
    return ok


class Prefix:
    def __init__(self, root, target):
        self.root = root
        self.wine = LOADERS[target]
        self.path = os.path.join(root, "prefix")
        os.makedirs(os.path.join(root, "home"))
        # HOME too: Wine links the user's folders into it and writes menu entries under it.
        self.env = dict(os.environ, WINEPREFIX=self.path, WINEDEBUG="-all", HOME=os.path.join(root, "home"),
                        WINEARCH=target,
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        self.env.pop("ZEMBRA_BINARY_DIR", None)

    def run(self, *args, timeout=300):
        # Output through a file: Wine's services keep an inherited pipe open.
        with tempfile.TemporaryFile() as out:
            rc = subprocess.run([self.wine, *args], stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                env=self.env, timeout=timeout).returncode
            out.seek(0)
            return rc, out.read().decode("utf-8", "replace")

    def wait(self):
        """Until every program of the prefix has ended (the uninstaller runs on from a copy)."""
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=300)

    def unix(self, windows_path):
        return os.path.join(self.path, "drive_c", *windows_path[3:].split("\\"))

    def export(self, name):
        """Keys and values of HKLM and HKCU, as {key: {value name: data}} with lowercase keys."""
        entries = {}
        for root in ("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"):
            path = os.path.join(self.root, f"{name}-{root}.reg")
            self.run("regedit", "/E", "Z:" + path.replace("/", "\\"), root)
            raw = open(path, "rb").read()
            text = raw.decode("utf-16") if raw[:2] == b"\xff\xfe" else raw.decode("latin-1")
            key = None
            for line in text.splitlines():
                if line.startswith("[") and line.endswith("]"):
                    key = line[1:-1].lower()
                    entries.setdefault(key, {})
                    continue
                m = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
                if key and m:
                    value = "" if m[1] == "@" else re.sub(r"\\(.)", r"\1", m[1][1:-1])
                    data = m[2]
                    if data.startswith('"') and data.endswith('"'):
                        data = re.sub(r"\\(.)", r"\1", data[1:-1])
                    entries[key][value.lower()] = data
        return entries


def residue(before, after, clsid, allowed=()):
    """Keys and values in `after` but not in `before` that are ours."""
    marks = ("zembra", "orlaq", "varlo", clsid.lower())
    left = []
    for key, values in after.items():
        if any(key.startswith(a.lower()) for a in allowed):
            continue
        if key not in before:
            new = [(key, key + str(values).lower())]
        else:
            new = [(f"{key} [{v}]", f"{key} {v} {d}".lower()) for v, d in values.items() if v not in before[key]]
        left += [name for name, text in new if any(m in text for m in marks)]
    return left


def new_files(w, before, allowed):
    """Files on drive C: that were not there before and look like ours (Wine may add its own)."""
    marks = ("zembra", "orlaq", "varlo", "korvo", "rezove", ".lnk", "~nsu", "uninstall")
    new = set(files_under(os.path.join(w.path, "drive_c"))) - before - set(allowed)
    return sorted(f for f in new if any(m in f.lower() for m in marks))


def files_under(folder):
    out = {}
    for base, _, names in os.walk(folder):
        for n in names:
            p = os.path.join(base, n)
            out[os.path.relpath(p, folder)] = hashlib.sha256(open(p, "rb").read()).hexdigest()
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--host", required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("--target", choices=sorted(LOADERS), default="win64")
    a = ap.parse_args()
    root = tempfile.mkdtemp(prefix="setup_test_", dir=a.build)
    w = Prefix(root, a.target)
    try:
        run_test(w, a)
    finally:
        subprocess.run([WINESERVER, "-k"], env=w.env)
        if not failures:
            shutil.rmtree(root, ignore_errors=True)
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


def run_test(w, a):
    dist = os.path.join(w.root, "dist", a.target)
    rc = subprocess.run(["cmake", "--install", a.build, "--prefix", dist], stdout=subprocess.DEVNULL).returncode
    setup = os.path.join(w.root, "dist", f"zembra-setup-{a.target}.exe")
    if not check(rc == 0 and os.path.exists(setup), f"the install step makes zembra-setup-{a.target}.exe"):
        return
    w.run("wineboot", "-i")
    w.run("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")
    w.run("reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f")
    w.wait()
    if a.target == "win32":
        # A 32-bit Windows (the registry is on disk once the server ended): its system.reg says
        # so, and it has no second program folder.
        with open(os.path.join(w.path, "system.reg"), "rb") as f:
            arch = re.search(rb"^#arch=(\w+)", f.read(), re.M)
        check(arch and arch[1] == b"win32", f"the prefix is a 32-bit one ({arch and arch[1]})")
        check(not os.path.exists(w.unix(r"C:\Program Files (x86)")), "it has no Program Files (x86)")
    clsid, keys = registry.load()
    user = next(u for u in os.listdir(os.path.join(w.path, "drive_c", "users")) if u != "Public")
    docs = rf"C:\users\{user}\Documents"
    os.makedirs(w.unix(docs), exist_ok=True)
    before = w.export("before")
    before_files = set(files_under(os.path.join(w.path, "drive_c")))

    # Install.
    rc, out = w.run("Z:" + setup.replace("/", "\\"), "/S")
    w.wait()
    check(rc == 0, f"the setup ends with 0 ({rc} {out.strip()})")
    shipped = {"zembra.exe", "korvo.exe", "varlo.dll", "zembra-cli.exe", UNINSTALLER}
    shipped |= {n for n in ("custom.dat", "Zembra.html", "Zembra.hlp") if os.path.exists(os.path.join(dist, n))}
    if os.path.isdir(os.path.join(dist, "help")):
        shipped |= {os.path.join("help", f) for f in files_under(os.path.join(dist, "help"))}
    installed = files_under(w.unix(INSTDIR))
    check(set(installed) == shipped, f"the program folder holds exactly {sorted(shipped)} ({sorted(installed)})")
    menu = w.unix(r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Zembra")
    help_index = any(os.path.exists(os.path.join(dist, *n)) for n in (["Zembra.html"], ["help", "index.html"], ["Zembra.hlp"]))
    links = {"Zembra.lnk", "Uninstall.lnk"} | ({"Zembra Help.lnk"} if help_index else set())
    check(os.path.isdir(menu) and set(os.listdir(menu)) == links, f"Start menu: {sorted(links)}")

    reg = w.export("installed")
    for key in keys:
        path = (r"hkey_local_machine\software\classes" + "\\" + key.path if key.root == "HKEY_CLASSES_ROOT"
                else key.root + "\\" + key.path).lower()
        for name, data in key.values:
            want = data.replace(registry.INSTALLDIR, INSTDIR)
            got = reg.get(path, {}).get(name.lower())
            check(got == want, f"[{path}] {name or '@'} = {want} ({got})")
    arp = reg.get(r"hkey_local_machine\software\microsoft\windows\currentversion\uninstall\zembra", {})
    for name, want in (("displayname", "Zembra"), ("displayversion", a.version), ("publisher", "Orlaq"),
                       ("displayicon", INSTDIR + r"\zembra.exe,0"), ("uninstallstring", f'"{INSTDIR}\\{UNINSTALLER}"')):
        check(arp.get(name) == want, f"Add/Remove Programs {name} = {want} ({arp.get(name)})")
    size = int(arp.get("estimatedsize", "dword:0").split(":")[1], 16)
    check(size * 1024 >= sum(os.path.getsize(os.path.join(dist, f)) for f in shipped - {UNINSTALLER}),
          f"Add/Remove Programs size covers the files ({size} KB)")

    # The user's split set, made by the installed zembra-cli, and the settings the programs keep.
    cli = INSTDIR + r"\zembra-cli.exe"
    rc, out = w.run(cli, "--version")
    check(out.strip() == f"zembra-cli {a.version}", f"installed zembra-cli --version ({out.strip()})")
    with open(w.unix(docs + r"\report.txt"), "wb") as f:
        f.write(os.urandom(1000000))
    sets = docs + r"\Zembra sets"
    os.makedirs(w.unix(sets))
    rc, out = w.run(cli, "split", "--size", "600K", "--name", "Report", "--yes", "--dest", sets + "\\",
                    docs + r"\report.txt")
    user_sets = files_under(w.unix(sets))
    if not check(rc == 0 and "Report_1.EXE" in user_sets, f"the installed zembra-cli splits ({sorted(user_sets)})"):
        print(out)
        return
    w.run("reg", "add", SETTINGS_KEY + r"\Settings", "/v", "Wizard", "/d", "1", "/f")
    appdata = w.unix(rf"C:\users\{user}\AppData\Roaming\Zembra")
    os.makedirs(appdata)
    settings_files = ["windows/ReZove.ini"] + [f"users/{user}/AppData/Roaming/Zembra/{n}" for n in ("ReZove.ini", "custom.dat")]
    for name in settings_files:
        with open(os.path.join(w.path, "drive_c", name), "w") as f:
            f.write("kept by the programs\r\n")

    # Explorer's part: the registry leads to the installed library, which starts the installed program.
    programs = [INSTDIR + "\\" + n for n in ("zembra.exe", "korvo.exe", "varlo.dll", "zembra-cli.exe")]
    rc, out = w.run("Z:" + a.host.replace("/", "\\"), clsid, docs + r"\report.txt", *programs)
    print(out)
    seen = dict(line.split(": ", 1) for line in out.splitlines() if ": " in line)
    check(rc == 0, "the shell-extension host reports no failure")
    check(seen.get("loaded", "").lower() == (INSTDIR + r"\varlo.dll").lower(), "COM loads the installed varlo.dll")
    check(seen.get("menu") == "&Zembra", "the menu holds &Zembra")
    check(seen.get("started program") == seen.get("process image") == INSTDIR + r"\zembra.exe",
          "varlo starts the installed zembra.exe")
    check(seen.get("command line") == "arg " + docs + r"\report.txt", "with the selected file")
    check(seen.get("start", "").startswith("started"), f"zembra.exe starts ({seen.get('start')})")
    for p in programs:
        check(seen.get("version " + p) == f"{a.version}.0 {a.version}", f"version resource of {p}")

    # Uninstall, keeping the settings.
    rc, out = w.run(INSTDIR + "\\" + UNINSTALLER, "/S")
    w.wait()
    check(rc == 0, f"{UNINSTALLER} /S ends with 0")
    check(not os.path.exists(w.unix(INSTDIR)), "the program folder is gone")
    check(not os.path.exists(menu), "the Start-menu folder is gone")
    check(files_under(w.unix(sets)) == user_sets, "the user's split set is untouched")
    after = w.export("uninstalled")
    left = new_files(w, before_files, allowed=settings_files)
    check(not left, f"no file of ours is left ({left})")
    left = residue(before, after, clsid, allowed=[SETTINGS_KEY])
    check(not left, f"no key or value of ours is left ({left})")
    check(SETTINGS_KEY.lower() + r"\settings" in after and os.path.exists(w.unix(r"C:\windows\ReZove.ini")),
          "the user's settings stay unless asked for")

    # Again, with presets the user changed and a set saved in the program folder (the default work
    # folder): both stay, and the folder with them; with /REMOVESETTINGS the presets go too.
    presets = w.unix(INSTDIR + r"\custom.dat")
    for remove_settings in (False, True):
        rc, _ = w.run("Z:" + setup.replace("/", "\\"), "/S")
        w.wait()
        if not remove_settings and os.path.exists(presets):
            with open(presets, "ab") as f:
                f.write(b"My size=123456\r\n")
        changed = open(presets, "rb").read() if os.path.exists(presets) else None
        shutil.copy(w.unix(sets + r"\Report_1.EXE"), w.unix(INSTDIR + r"\Report_1.EXE"))
        rc, out = w.run(INSTDIR + "\\" + UNINSTALLER, "/S", *(["/REMOVESETTINGS"] if remove_settings else []))
        w.wait()
        left = sorted(os.listdir(w.unix(INSTDIR)))
        if remove_settings:
            check(rc == 0 and left == ["Report_1.EXE"], f"a split set in the program folder stays, with the folder, and nothing else ({left})")
        elif changed is not None:
            check(rc == 0 and left == ["Report_1.EXE", "custom.dat"] and open(presets, "rb").read() == changed,
                  f"presets the user changed stay without /REMOVESETTINGS ({left})")
    after = w.export("removed")
    left = new_files(w, before_files, allowed=["Program Files/Zembra/Report_1.EXE"])
    check(not left, f"with /REMOVESETTINGS no file of ours is left ({left})")
    left = residue(before, after, clsid)
    check(not left, f"with /REMOVESETTINGS no key or value of ours is left ({left})")
    check(not os.path.exists(w.unix(r"C:\windows\ReZove.ini")) and not os.path.exists(appdata),
          "the mail settings files are removed when asked")

    # A folder shared with the user and another program: their files are neither replaced by the
    # setup nor removed by the uninstaller, and the folder the setup did not make stays.
    shared = r"C:\Tools"
    theirs = {"custom.dat": b"[Presets]\r\nMine=1\r\n", "Zembra.html": b"<p>my notes</p>",
              "uninstall.exe": b"MZ another program's uninstaller"}
    os.makedirs(w.unix(shared))
    for name, data in theirs.items():
        with open(w.unix(shared + "\\" + name), "wb") as f:
            f.write(data)
    mine = files_under(w.unix(shared))
    rc, out = w.run("Z:" + setup.replace("/", "\\"), "/S", "/D=" + shared)
    w.wait()
    now = files_under(w.unix(shared))
    check(rc == 0 and all(now.get(n) == mine[n] for n in theirs), "the setup replaces no file it did not write")
    check({"zembra.exe", UNINSTALLER} <= set(now), f"and installs the rest ({sorted(now)})")
    rc, out = w.run(shared + "\\" + UNINSTALLER, "/S")
    w.wait()
    now = files_under(w.unix(shared))
    check(rc == 0 and now == mine, f"the uninstaller removes only what the setup wrote ({sorted(now)})")


if __name__ == "__main__":
    sys.exit(main())
