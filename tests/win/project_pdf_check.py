#!/usr/bin/env python3
"""Reads back the PDF that CUPS-PDF made of a printed listing (the newest "Zembra*.pdf" in ~/PDF
since the tests' server started) and checks it against the listing that was printed: a numbered
header on every page, every line exactly once, the long line wrapped. Removes the PDF."""
import collections, os, pathlib, subprocess, sys, time

cups, listing, min_pages = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), int(sys.argv[3])
started = (cups / "started").stat().st_mtime
pdf = None
for _ in range(60):
    found = sorted((p for p in (pathlib.Path.home() / "PDF").glob("Zembra*.pdf") if p.stat().st_mtime >= started),
                   key=lambda p: p.stat().st_mtime)
    if found and found[-1].stat().st_size > 0:
        time.sleep(1)  # CUPS-PDF may still be writing it
        pdf = found[-1]
        break
    time.sleep(0.5)
if not pdf:
    sys.exit("no PDF in ~/PDF since the printer server started")
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
