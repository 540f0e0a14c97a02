#!/usr/bin/env python3
"""Sends one e-mail for NAVU Photo Frame.

Usage: pyth_mail.py SENDER SERVER PORT FROM RECIPIENT SUBJECT BODY SSL [ATTACHMENT ...]

SSL "Y" connects with implicit TLS (SMTP over SSL, usually port 465). Any other value connects in plain
text and upgrades with STARTTLS whenever the server offers it (usually port 587 or 25). Certificates are
always verified. The password is never sent over a connection that is not encrypted unless the server's
address is a loopback address of this machine.

Standard input holds the account password on its first line; whatever follows is ignored. An empty
password sends without logging in. Exit status 0 means the server accepted the mail; failures print one
line to standard error, "pyth_mail: " and the reason in words a user can act on, and exit 1 (mail not
sent) or 2 (bad arguments).

Test runs only: NAVU_MAIL_TEST_CA names an extra certificate authority to trust (in addition to the
system's), NAVU_MAIL_TEST_TIMEOUT shortens the network timeout, and NAVU_MAIL_TEST_REMOTE=1 treats every
server as remote. None of them can weaken a check.
"""

import ipaddress
import mimetypes
import os
import smtplib
import socket
import ssl
import sys
from email.message import EmailMessage
from email.utils import formatdate, make_msgid

TIMEOUT_SECONDS = 60


def test_setting(name):
    return os.environ.get("NAVU_MAIL_TEST_" + name, "")


def timeout_seconds():
    try:
        value = float(test_setting("TIMEOUT"))
        if 0 < value < TIMEOUT_SECONDS:
            return value
    except ValueError:
        pass
    return TIMEOUT_SECONDS


def fail(status, text):
    sys.stderr.write("pyth_mail: " + text + "\n")
    sys.exit(status)


def is_loopback(address):
    """True for 127.0.0.0/8, ::1 and IPv4 addresses mapped into IPv6 that are loopback."""
    try:
        ip = ipaddress.ip_address(address.split("%", 1)[0])
    except ValueError:
        return False
    mapped = getattr(ip, "ipv4_mapped", None)
    return (mapped or ip).is_loopback


def peer_is_loopback(smtp):
    if test_setting("REMOTE") == "1":
        return False
    try:
        return is_loopback(smtp.sock.getpeername()[0])
    except (OSError, AttributeError, IndexError):
        return False


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
            fail(1, "cannot read the attachment %s: %s" % (path, e.strerror))
        kind, encoding = mimetypes.guess_type(path)
        if kind is None or encoding is not None:
            kind = "application/octet-stream"
        maintype, subtype = kind.split("/", 1)
        msg.add_attachment(data, maintype=maintype, subtype=subtype, filename=os.path.basename(path))
    return msg


def make_context():
    context = ssl.create_default_context()
    extra = test_setting("CA")
    if extra:
        try:
            context.load_verify_locations(cafile=extra)
        except (OSError, ssl.SSLError) as e:
            fail(1, "cannot read the test certificate authority %s: %s" % (extra, e))
    return context


def server_text(e):
    text = e.smtp_error
    if isinstance(text, bytes):
        text = text.decode("utf-8", "replace")
    return " ".join(str(text).split())


def send(args, password, msg):
    sender, server, port, from_addr, recipient, use_ssl = args
    where = "%s:%d" % (server, port)
    timeout = timeout_seconds()
    context = make_context()
    try:
        if use_ssl == "Y":
            smtp = smtplib.SMTP_SSL(server, port, timeout=timeout, context=context)
        else:
            smtp = smtplib.SMTP(server, port, timeout=timeout)
        with smtp:
            smtp.ehlo()
            encrypted = use_ssl == "Y"
            if not encrypted and smtp.has_extn("starttls"):
                smtp.starttls(context=context)
                smtp.ehlo()
                encrypted = True
            if password:
                if not encrypted and not peer_is_loopback(smtp):
                    fail(1, "the server %s offers no encryption (STARTTLS), so the password was not sent; "
                            "choose SSL or another port" % where)
                if not smtp.has_extn("auth"):
                    fail(1, "the server %s does not offer a login" % where)
                smtp.login(sender, password)
            refused = smtp.send_message(msg, from_addr=sender, to_addrs=[recipient])
            if refused:
                fail(1, "the server refused the recipient %s" % ", ".join(refused))
    except smtplib.SMTPAuthenticationError as e:
        fail(1, "the server refused the login (%d %s)" % (e.smtp_code, server_text(e)))
    except smtplib.SMTPRecipientsRefused as e:
        fail(1, "the server refused the recipient %s" % ", ".join(e.recipients))
    except smtplib.SMTPResponseException as e:
        fail(1, "the server answered %d %s" % (e.smtp_code, server_text(e)))
    except ssl.SSLCertVerificationError as e:
        fail(1, "the certificate of %s is not trusted (%s)" % (where, e.verify_message or e.reason or e))
    except ssl.SSLError as e:
        fail(1, "no secure connection to %s (%s); check the SSL or TLS choice and the port"
             % (where, e.reason or e))
    except smtplib.SMTPServerDisconnected as e:
        if "timed out" in str(e):
            fail(1, "the server %s did not answer within %g seconds" % (where, timeout))
        fail(1, "the server %s closed the connection (%s)" % (where, e))
    except smtplib.SMTPException as e:
        fail(1, "SMTP failure with %s: %s" % (where, e))
    except socket.timeout:
        fail(1, "the server %s did not answer within %g seconds" % (where, timeout))
    except ConnectionRefusedError:
        fail(1, "the connection to %s was refused" % where)
    except socket.gaierror:
        fail(1, "the server name %s is not known" % server)
    except OSError as e:
        fail(1, "cannot reach %s: %s" % (where, e.strerror or e))


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
    send((sender, server, port, from_addr, recipient, use_ssl), password, msg)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
