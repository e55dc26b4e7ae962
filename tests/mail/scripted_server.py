#!/usr/bin/python3
"""A scripted SMTP peer on 127.0.0.1 that misbehaves in one chosen way.

Usage: scripted_server.py SCENARIO LOGFILE PORTFILE [LIFETIME_SECONDS]
Everything a client sends is appended to LOGFILE, byte for byte. Scenarios:
  normal      a well-behaved server
  rcpt550     RCPT TO is refused with 550
  mail251     MAIL FROM is answered 251 (accepted)
  greeting2   the greeting arrives in two packets (a two-line reply)
  multiline   every reply is multi-line and cut across packets in odd places
  dropdata    the connection is dropped while the message is being sent
  silent      the server accepts the connection and never says anything
  datarefused DATA is refused with 554
  dotrefused  the final "." is refused with 552
  drip        the greeting comes one byte every tenth of a second (about eight seconds)
"""
import os
import socket
import sys
import threading
import time

REPLIES = {
    "HELO": "250 hello",
    "MAIL": "250 sender ok",
    "RCPT": "250 recipient ok",
    "DATA": "354 send the message",
    "QUIT": "221 bye",
}


def send_reply(conn, scenario, text):
    if scenario == "multiline":
        code, rest = text[:3], text[4:]
        data = ("%s-first line\r\n%s-second line\r\n%s %s\r\n" % (code, code, code, rest)).encode()
        # Cut the reply inside its lines, so only an assembling reader gets it right.
        for cut in (data[:5], data[5:17], data[17:]):
            conn.sendall(cut)
            time.sleep(0.05)
    else:
        conn.sendall((text + "\r\n").encode())


def serve(conn, scenario, log):
    def logged(data):
        with open(log, "ab") as f:
            f.write(data)

    if scenario == "silent":
        try:
            while conn.recv(4096):
                pass
        except OSError:
            pass
        return
    if scenario == "drip":
        for b in b"220 " + b"x" * 76 + b"\r\n":
            try:
                conn.sendall(bytes([b]))
            except OSError:
                return
            time.sleep(0.1)
    elif scenario == "greeting2":
        conn.sendall(b"220-scripted server\r\n")
        time.sleep(0.3)
        conn.sendall(b"220 ready\r\n")
    else:
        send_reply(conn, scenario, "220 scripted server ready")
    buffer = b""
    in_data = False
    data_bytes = 0
    while True:
        chunk = conn.recv(65536)
        if not chunk:
            return
        logged(chunk)
        buffer += chunk
        while True:
            if in_data:
                if scenario == "dropdata":
                    data_bytes += len(buffer)
                    buffer = b""
                    if data_bytes > 200:
                        conn.shutdown(socket.SHUT_RDWR)
                        conn.close()
                        return
                    break
                end = buffer.find(b"\r\n.\r\n")
                if end < 0:
                    break
                buffer = buffer[end + 5:]
                in_data = False
                if scenario == "dotrefused":
                    send_reply(conn, scenario, "552 message too big")
                else:
                    send_reply(conn, scenario, "250 queued")
                continue
            eol = buffer.find(b"\r\n")
            if eol < 0:
                break
            line, buffer = buffer[:eol].decode("latin-1"), buffer[eol + 2:]
            verb = line.split(" ", 1)[0].upper()
            if verb == "RCPT" and scenario == "rcpt550":
                send_reply(conn, scenario, "550 no such user")
            elif verb == "MAIL" and scenario == "mail251":
                send_reply(conn, scenario, "251 sender ok, will forward")
            elif verb == "DATA" and scenario == "datarefused":
                send_reply(conn, scenario, "554 no data today")
            elif verb in REPLIES:
                send_reply(conn, scenario, REPLIES[verb])
                if verb == "DATA":
                    in_data = True
                if verb == "QUIT":
                    conn.close()
                    return
            else:
                send_reply(conn, scenario, "500 unknown command")


def main():
    scenario, log, port_file = sys.argv[1], sys.argv[2], sys.argv[3]
    lifetime = float(sys.argv[4]) if len(sys.argv) > 4 else 300
    open(log, "wb").close()
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    with open(port_file + ".part", "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.replace(port_file + ".part", port_file)
    threading.Timer(lifetime, lambda: os._exit(0)).start()  # bounded life
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve, args=(conn, scenario, log), daemon=True).start()


if __name__ == "__main__":
    main()
