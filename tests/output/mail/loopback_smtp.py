#!/usr/bin/env python3
"""A tiny SMTP server for the mail tests: listens on 127.0.0.1 only.

Usage: loopback_smtp.py OUT_DIR [OPTION ...]
Prints the port it listens on as the first line of standard output and runs until killed.

Each accepted mail is written to OUT_DIR as <n>.eml with its envelope in <n>.env (sender, then one
recipient a line) and a summary in <n>.json (headers, body, whether it came over TLS, attachments saved
beside it); AUTH PLAIN credentials are appended to OUT_DIR/auth as user<TAB>password lines.

Options:
  reject        every MAIL FROM is answered 550, so no mail is accepted
  overquota     every RCPT TO is answered 552 (mailbox over quota)
  badlogin      every AUTH is answered 535
  silent        connections are accepted and never answered
  ssl           implicit TLS from the first byte (needs cert= and key=)
  starttls      STARTTLS is offered and required before AUTH (needs cert= and key=)
  cert=FILE     the server's certificate chain (PEM)
  key=FILE      its private key (PEM)
"""

import asyncio
import base64
import email
import email.policy
import json
import os
import ssl
import sys

count = 0


def write_summary(base, raw, tls):
    """<n>.json: the headers, the body and the attachments (each also saved as <n>-<i>-<filename>)."""
    msg = email.message_from_bytes(raw.replace(b"\r\n", b"\n"), policy=email.policy.default)
    body = msg.get_body(preferencelist=("plain",))
    summary = {
        "from": msg["From"],
        "to": msg["To"],
        "subject": msg["Subject"],
        "body": body.get_content() if body else "",
        "tls": tls,
        "attachments": [],
    }
    for i, part in enumerate(msg.iter_attachments()):
        name = part.get_filename() or "unnamed"
        path = "%s-%d-%s" % (base, i, os.path.basename(name))
        with open(path, "wb") as f:
            f.write(part.get_payload(decode=True))
        summary["attachments"].append({"filename": name, "type": part.get_content_type(), "path": path})
    with open(base + ".json", "w", encoding="utf-8") as f:
        json.dump(summary, f)


async def handle(reader, writer, out_dir, opts, context):
    global count
    if "silent" in opts:
        await reader.read()  # until the client gives up
        writer.close()
        return

    def send(line):
        writer.write(line.encode("ascii") + b"\r\n")

    tls = "ssl" in opts
    send("220 loopback ESMTP test server")
    sender, recipients = "", []
    try:
        while True:
            raw = await reader.readline()
            if not raw:
                break
            line = raw.decode("utf-8", "replace").rstrip("\r\n")
            verb = line[:4].upper()
            if verb == "EHLO":
                send("250-loopback")
                send("250-8BITMIME")
                if "starttls" in opts and not tls:
                    send("250-STARTTLS")
                send("250-AUTH PLAIN")
                send("250 SMTPUTF8")
            elif verb == "HELO":
                send("250 loopback")
            elif line.upper() == "STARTTLS" and "starttls" in opts and not tls:
                send("220 ready to start TLS")
                await writer.drain()
                try:
                    await writer.start_tls(context)
                except (ssl.SSLError, ConnectionError, OSError):
                    break  # the client refused our certificate
                tls = True
                sender, recipients = "", []
                continue
            elif verb == "MAIL":
                if "reject" in opts:
                    send("550 mail refused by test server")
                else:
                    sender = line.split(":", 1)[1].split()[0].strip("<>")
                    recipients = []
                    send("250 OK")
            elif verb == "RCPT":
                if "overquota" in opts:
                    send("552 5.2.2 mailbox over quota")
                else:
                    recipients.append(line.split(":", 1)[1].split()[0].strip("<>"))
                    send("250 OK")
            elif verb == "DATA":
                send("354 end with <CRLF>.<CRLF>")
                await writer.drain()
                lines = []
                while True:
                    data = await reader.readline()
                    if not data or data == b".\r\n":
                        break
                    if data.startswith(b".."):
                        data = data[1:]
                    lines.append(data)
                count += 1
                base = os.path.join(out_dir, "%d" % count)
                with open(base + ".eml", "wb") as f:
                    f.write(b"".join(lines))
                with open(base + ".env", "w", encoding="utf-8") as f:
                    f.write("\n".join([sender] + recipients) + "\n")
                write_summary(base, b"".join(lines), tls)
                send("250 queued as %d" % count)
            elif verb == "AUTH":
                if "starttls" in opts and not tls:
                    send("530 must issue STARTTLS first")
                    await writer.drain()
                    continue
                # AUTH PLAIN <base64 of \0user\0password>: the credentials are kept for the test to check.
                parts = line.split()
                token = parts[2] if len(parts) > 2 else ""
                if not token:
                    send("334 ")
                    await writer.drain()
                    token = (await reader.readline()).decode("ascii", "replace").strip()
                fields = base64.b64decode(token).split(b"\0")
                with open(os.path.join(out_dir, "auth"), "ab") as f:
                    f.write(fields[1] + b"\t" + fields[2] + b"\n")
                if "badlogin" in opts:
                    send("535 5.7.8 authentication credentials invalid")
                else:
                    send("235 accepted")
            elif verb in ("RSET", "NOOP"):
                send("250 OK")
            elif verb == "QUIT":
                send("221 bye")
                await writer.drain()
                break
            else:
                send("502 not implemented")
            await writer.drain()
    except (ConnectionError, asyncio.IncompleteReadError, ssl.SSLError, OSError):
        pass  # a client that gave up (e.g. one that expected TLS or refused our certificate)
    finally:
        writer.close()


async def main():
    out_dir = sys.argv[1]
    opts = set()
    files = {}
    for arg in sys.argv[2:]:
        key, sep, value = arg.partition("=")
        if sep:
            files[key] = value
        else:
            opts.add(arg)
    context = None
    if "ssl" in opts or "starttls" in opts:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(files["cert"], files["key"])
    server = await asyncio.start_server(
        lambda r, w: handle(r, w, out_dir, opts, context),
        "127.0.0.1",
        0,
        ssl=context if "ssl" in opts else None,
    )
    port = server.sockets[0].getsockname()[1]
    sys.stdout.write("%d\n" % port)
    sys.stdout.flush()
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
