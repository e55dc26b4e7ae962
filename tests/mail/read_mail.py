#!/usr/bin/python3
"""Reads one stored message with Python's email package and prints what a mail program sees.

Usage: read_mail.py MESSAGE.eml OUTDIR
Prints key=value lines (CR and LF in values written as \\r and \\n), text as UTF-8; every
attachment is decoded into OUTDIR/<filename>. Subject and file names are shown decoded
(RFC 2047, RFC 2231); maxline and eightbit tell whether the raw message keeps to 7-bit lines.
"""
import email
import email.header
import email.policy
import os
import sys


def esc(text):
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


def main():
    path, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    with open(path, "rb") as f:
        raw = f.read()
    sys.stdout.reconfigure(encoding="utf-8")
    msg = email.message_from_bytes(raw, policy=email.policy.compat32)
    lines = raw.split(b"\r\n")
    print("maxline=%d" % max(len(line) for line in lines))
    print("eightbit=%d" % any(b >= 0x80 for b in raw))
    print("barelf=%d" % any(b"\n" in line for line in lines))
    subject = msg.get("Subject", "")
    print("subject.decoded=" + esc(str(email.header.make_header(email.header.decode_header(subject)))))
    print("from=" + esc(msg.get("From", "")))
    print("to=" + esc(msg.get("To", "")))
    print("subject=" + esc(msg.get("Subject", "")))
    print("mime-version=" + esc(msg.get("MIME-Version", "")))
    print("content-type=" + msg.get_content_type())
    print("boundary=" + esc(msg.get_boundary() or ""))
    print("multipart=%d" % msg.is_multipart())
    print("defects=%d" % len(msg.defects))
    parts = msg.get_payload() if msg.is_multipart() else []
    print("parts=%d" % len(parts))
    for i, part in enumerate(parts, 1):
        print("part%d.type=%s" % (i, part.get_content_type()))
        print("part%d.encoding=%s" % (i, esc(part.get("Content-Transfer-Encoding", ""))))
        print("part%d.defects=%d" % (i, len(part.defects)))
        name = part.get_filename() or part.get_param("name")
        if name is not None:
            print("part%d.name=%s" % (i, esc(name)))
            data = part.get_payload(decode=True) or b""
            with open(os.path.join(out, name), "wb") as f:
                f.write(data)
            print("part%d.size=%d" % (i, len(data)))
        else:
            charset = part.get_content_charset() or "us-ascii"
            print("part%d.charset=%s" % (i, charset))
            print("part%d.text=%s" % (i, esc(part.get_payload(decode=True).decode(charset))))


if __name__ == "__main__":
    main()
