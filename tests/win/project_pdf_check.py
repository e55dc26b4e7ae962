#!/usr/bin/env python3
"""Reads back the PDF that CUPS-PDF made of a printed listing and checks it against the listing
that was printed: a numbered header on every page, every line exactly once, the long line
wrapped. The PDF is this run's own: the tests' printer writes to a folder of the run's
(project_cups.sh). Waits for the print queue to finish the job, with a generous bound for a
loaded machine; when no PDF came, shows the printer server's log. Removes the PDF."""
import collections, os, pathlib, subprocess, sys, time

cups, listing, min_pages = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), int(sys.argv[3])
BOUND = 300  # seconds
env = dict(os.environ, CUPS_SERVER=str(cups / "cups.sock"))


def jobs(which):
    r = subprocess.run(["lpstat", "-W", which, "-o"], capture_output=True, text=True, env=env)
    return [l for l in r.stdout.splitlines() if l.strip()] if r.returncode == 0 else None


def log_tail(lines=30):
    out = []
    for name in ("error_log", "cups-pdf*", "cupsd.out"):
        for p in sorted((cups / "log").glob(name)):
            # Without the lines this script's own polling left.
            text = [l for l in p.read_text(errors="replace").splitlines() if "Get-Jobs" not in l][-lines:]
            out.append(f"--- last lines of {p}:\n" + "\n".join(text))
    return "\n".join(out) or f"(no log in {cups / 'log'})"


def fail(why):
    sys.exit(f"{why}\n{log_tail()}")


# Done when the queue has finished at least one job and holds none still to print. A job that
# never reached the queue (the printing test failed first) is not waited for as long.
start = time.monotonic()
while True:
    pending, done = jobs("not-completed"), jobs("completed")
    if pending == [] and done:
        break
    waited = time.monotonic() - start
    if waited > BOUND or (waited > BOUND / 5 and not pending and not done):
        fail(f"the print job did not finish within {int(waited)} s (printing: {pending}, finished: {done})")
    time.sleep(2)
found = sorted((cups / "pdf").glob("Zembra*.pdf"), key=lambda p: p.stat().st_mtime)
if not found or found[-1].stat().st_size == 0:
    fail(f"the queue finished {done} but no PDF is in {cups / 'pdf'}")
pdf = found[-1]
pages = subprocess.run(["pdftotext", "-layout", str(pdf), "-"], capture_output=True, text=True,
                       check=True).stdout.split("\f")
pdf.unlink()
pages = [p for p in pages if p.strip()]
errors = []
if len(pages) < min_pages:
    errors.append(f"{len(pages)} page(s), expected at least {min_pages}")
body = []
for number, page in enumerate(pages, 1):
    rows = [r.strip() for r in page.splitlines() if r.strip()]
    header = f"Page {number:3d}"
    if not rows or not rows[0].startswith("Zembra File Set Contents") or not rows[0].endswith(header):
        errors.append(f"page {number} header: {rows[0] if rows else '(empty page)'!r}")
    body += rows[1:]
printed = collections.Counter(body)
wanted = collections.Counter(l.strip() for l in listing.read_text().splitlines() if l.strip())
# Rows joined, spaces aside: a row that ends at a space loses it to the text extraction.
joined = "".join(body).replace(" ", "")
wrapped = 0
for line, count in wanted.items():
    if printed[line] == count:
        continue
    # A line too long for the text width comes back in pieces, one after another.
    if printed[line] == 0 and len(line) > 100 and joined.count(line.replace(" ", "")) == count:
        wrapped += 1
        continue
    errors.append(f"printed {printed[line]} times, listed {count}: {line[:80]}")
if not wrapped:
    errors.append("no long line came back wrapped")
if errors:
    sys.exit("\n".join(errors))
print(f"PDF: {len(pages)} pages, {sum(wanted.values())} lines each once, {wrapped} wrapped")
