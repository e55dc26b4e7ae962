#!/usr/bin/python3
"""The other side of the benchmark's mail row: Python's smtplib sends each segment of a set as
its own message (a text part and the segment as a base64 attachment), one connection per
message, as the mailer does.

Usage: mail_smtplib.py PORT SEGMENT...
"""
import os
import smtplib
import sys
from email.mime.application import MIMEApplication
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email.policy import SMTP


def main():
    port, segments = int(sys.argv[1]), sys.argv[2:]
    for n, path in enumerate(segments, 1):
        message = MIMEMultipart()
        message["From"] = "me@example.com"
        message["To"] = "you@example.com"
        message["Subject"] = "Segments"
        message.attach(MIMEText("Zembra File Segment %d of %d\r\n" % (n, len(segments))))
        with open(path, "rb") as f:
            part = MIMEApplication(f.read())
        part.add_header("Content-Disposition", "attachment", filename=os.path.basename(path))
        message.attach(part)
        with smtplib.SMTP("127.0.0.1", port) as server:
            server.sendmail("me@example.com", ["you@example.com"], message.as_bytes(policy=SMTP))


if __name__ == "__main__":
    main()
