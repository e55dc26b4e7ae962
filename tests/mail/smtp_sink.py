#!/usr/bin/python3
"""A real SMTP server (aiosmtpd) on 127.0.0.1 that stores every message it accepts.

Usage: smtp_sink.py DIR PORTFILE [LIFETIME_SECONDS]
Each accepted message becomes DIR/msg-<n>.eml (the content as received, after the server
removed the dot-stuffing) and DIR/msg-<n>.env (MAIL FROM, then each RCPT TO, one a line).
The chosen port is written to PORTFILE once the server listens.
"""
import asyncio
import os
import sys

from aiosmtpd.smtp import SMTP


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "msg-%d" % self.count)
        with open(base + ".eml.part", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + ".env", "w") as f:
            f.write(envelope.mail_from + "\n")
            for r in envelope.rcpt_tos:
                f.write(r + "\n")
        os.replace(base + ".eml.part", base + ".eml")
        return "250 Message accepted for delivery"


async def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    lifetime = float(sys.argv[3]) if len(sys.argv) > 3 else 600
    os.makedirs(folder, exist_ok=True)
    store = Store(folder)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(store, decode_data=False, data_size_limit=64 * 1024 * 1024),
        "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    with open(port_file + ".part", "w") as f:
        f.write(str(port))
    os.replace(port_file + ".part", port_file)
    await asyncio.sleep(lifetime)  # bounded life: a forgotten server ends by itself
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
