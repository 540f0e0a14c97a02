#!/usr/bin/env python3
"""Sends one e-mail for NAVU Photo Frame.

Usage: pyth_mail.py SENDER SERVER PORT FROM RECIPIENT SUBJECT BODY SSL [ATTACHMENT ...]

SSL "Y" connects with implicit TLS (SMTP over SSL, usually port 465). Any other value connects in plain
text and upgrades with STARTTLS whenever the server offers it (usually port 587 or 25); the password is
never sent over a connection that is not encrypted unless the server is on this machine.

Standard input holds the account password on its first line; whatever follows is ignored. An empty
password sends without logging in. Exit status 0 means the server accepted the mail; failures print one
line to standard error and exit 1 (mail not sent) or 2 (bad arguments).
"""

import mimetypes
import os
import smtplib
import socket
import ssl
import sys
from email.message import EmailMessage
from email.utils import formatdate, make_msgid

TIMEOUT_SECONDS = 60
LOOPBACK = {"localhost", "127.0.0.1", "::1"}


def fail(status, text):
    sys.stderr.write("pyth_mail: " + text + "\n")
    sys.exit(status)


def read_password():
    data = sys.stdin.buffer.read()
    first = data.split(b"\n", 1)[0].rstrip(b"\r")
    try:
        return first.decode("ascii")
    except UnicodeDecodeError:
        fail(2, "the password holds characters that cannot be sent")


def build_message(sender, recipient, subject, body, attachments):
    msg = EmailMessage()
    msg["From"] = sender
    msg["To"] = recipient
    msg["Subject"] = subject
    msg["Date"] = formatdate(localtime=True)
    msg["Message-ID"] = make_msgid(domain="navu.card")
    msg.set_content(body)
    for path in attachments:
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError as e:
            fail(1, "cannot read attachment %s: %s" % (os.path.basename(path), e.strerror))
        kind, encoding = mimetypes.guess_type(path)
        if kind is None or encoding is not None:
            kind = "application/octet-stream"
        maintype, subtype = kind.split("/", 1)
        msg.add_attachment(data, maintype=maintype, subtype=subtype, filename=os.path.basename(path))
    return msg


def main(argv):
    if len(argv) < 9:
        fail(2, "expected sender, server, port, from, recipient, subject, body and SSL flag")
    sender, server, port_text, from_addr, recipient, subject, body, use_ssl = argv[1:9]
    attachments = argv[9:]
    try:
        port = int(port_text.strip())
        if not 0 < port < 65536:
            raise ValueError
    except ValueError:
        fail(2, "port %r is not a port number" % port_text)
    server = server.strip()
    if not server:
        fail(2, "no SMTP server given")
    if not recipient.strip():
        fail(2, "no recipient given")
    password = read_password()
    msg = build_message(from_addr or sender, recipient, subject, body, attachments)

    context = ssl.create_default_context()
    try:
        if use_ssl == "Y":
            smtp = smtplib.SMTP_SSL(server, port, timeout=TIMEOUT_SECONDS, context=context)
        else:
            smtp = smtplib.SMTP(server, port, timeout=TIMEOUT_SECONDS)
        with smtp:
            smtp.ehlo()
            encrypted = use_ssl == "Y"
            if not encrypted and smtp.has_extn("starttls"):
                smtp.starttls(context=context)
                smtp.ehlo()
                encrypted = True
            if password:
                if not smtp.has_extn("auth"):
                    fail(1, "the server does not offer login")
                if not encrypted and server.lower() not in LOOPBACK:
                    fail(1, "the server offers no encryption; the password is not sent in plain text")
                smtp.login(sender, password)
            refused = smtp.send_message(msg, from_addr=sender, to_addrs=[recipient])
            if refused:
                fail(1, "recipient refused: %s" % ", ".join(refused))
    except smtplib.SMTPAuthenticationError as e:
        fail(1, "login refused (%d)" % e.smtp_code)
    except smtplib.SMTPResponseException as e:
        text = e.smtp_error.decode("utf-8", "replace") if isinstance(e.smtp_error, bytes) else str(e.smtp_error)
        fail(1, "server answered %d %s" % (e.smtp_code, text))
    except smtplib.SMTPRecipientsRefused as e:
        fail(1, "recipient refused: %s" % ", ".join(e.recipients))
    except (smtplib.SMTPException, ssl.SSLError) as e:
        fail(1, "SMTP failure: %s" % e)
    except socket.timeout:
        fail(1, "no answer from %s:%d within %d seconds" % (server, port, TIMEOUT_SECONDS))
    except OSError as e:
        fail(1, "cannot reach %s:%d: %s" % (server, port, e.strerror or e))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
