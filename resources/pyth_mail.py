#!/usr/bin/env python3
"""Sends one e-mail for NAVU Photo Frame.

Usage: python3 -I pyth_mail.py < REQUEST

Nothing of the mail is on the command line, where every user of the machine could read it. Standard input
holds the account password on its first line (ASCII; empty to send without logging in), then one JSON
object (UTF-8) with the strings "sender", "server", "port", "from", "recipient", "subject", "body" and "ssl"
and the list "attachments" (paths, in order). Header fields hold no line break and no NUL character; the
body holds no NUL character. Attachments keep their file names, whatever characters they hold (RFC 2231
where a name is not plain ASCII).

"ssl" "Y" connects with implicit TLS (SMTP over SSL, usually port 465). Any other value connects in plain
text and must be upgraded with STARTTLS (usually port 587 or 25): a server that does not offer it gets
nothing, password or not. Certificates are always verified.

Exit status 0 means the server accepted the mail; failures print one line to standard error, "pyth_mail: "
and the reason in words a user can act on, and exit 3 (the server refused the mail, with the server's own
reason), 1 (the mail could not be sent for another reason) or 2 (bad request).

Test runs only: NAVU_MAIL_TEST_CA names an extra certificate authority to trust (in addition to the
system's) and NAVU_MAIL_TEST_TIMEOUT shortens the network timeout. Neither can weaken a check.
"""

import json
import mimetypes
import os
import smtplib
import socket
import ssl
import sys
from email.message import EmailMessage
from email.utils import formatdate, make_msgid
from urllib.parse import quote

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


# What str.splitlines takes for a line end: none of it may stand in a header.
LINE_BREAKS = "\n\r\v\f\x1c\x1d\x1e\x85\u2028\u2029"
HEADER_FIELDS = ("sender", "server", "port", "from", "recipient", "subject", "ssl")


def read_request():
    """The password and the mail's fields from standard input."""
    data = sys.stdin.buffer.read()
    first, _, rest = data.partition(b"\n")
    try:
        password = first.rstrip(b"\r").decode("ascii")
    except UnicodeDecodeError:
        fail(2, "the password holds characters that cannot be sent")
    try:
        request = json.loads(rest.decode("utf-8"))
    except (UnicodeDecodeError, ValueError):
        fail(2, "the mail's fields could not be read")
    if not isinstance(request, dict):
        fail(2, "the mail's fields could not be read")
    for name in HEADER_FIELDS + ("body",):
        value = request.get(name, "")
        if not isinstance(value, str):
            fail(2, "the %s is not a text" % name)
        if "\0" in value:
            fail(2, "the %s holds a NUL character" % name)
        if name != "body" and any(c in LINE_BREAKS for c in value):
            fail(2, "the %s holds a line break" % name)
        request[name] = value
    attachments = request.get("attachments", [])
    if not isinstance(attachments, list) or not all(isinstance(a, str) and a for a in attachments):
        fail(2, "the attachments are not a list of paths")
    if "\0" in password:
        fail(2, "the password holds a NUL character")
    return password, request


# What RFC 2231 lets stand unencoded in a parameter value besides letters and digits.
ATTRIBUTE_CHARS = "!#$&+-.^_`|~"
NAME_PIECE = 56  # encoded characters a line, so that no header line passes 78


def attachment_disposition(name):
    """Content-Disposition naming the file in RFC 2231's encoding (UTF-8, in numbered pieces), so that any
    name arrives as it is: Python's own header code refuses or breaks names holding line breaks or other
    control characters."""
    encoded = quote(name.encode("utf-8", "surrogateescape"), safe=ATTRIBUTE_CHARS)
    pieces, piece, i = [], "", 0
    while i < len(encoded):
        token = encoded[i:i + 3] if encoded[i] == "%" else encoded[i]
        if len(piece) + len(token) > NAME_PIECE:
            pieces.append(piece)
            piece = ""
        piece += token
        i += len(token)
    pieces.append(piece)
    if len(pieces) == 1:
        return "attachment;\n filename*=utf-8''" + pieces[0]
    return "attachment;" + ";".join("\n filename*%d*=%s%s" % (n, "utf-8''" if n == 0 else "", p)
                                    for n, p in enumerate(pieces))


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
        name = os.path.basename(path)
        if all(" " <= c <= "~" for c in name):
            msg.add_attachment(data, maintype=maintype, subtype=subtype, filename=name)
        else:
            msg.add_attachment(data, maintype=maintype, subtype=subtype)
            part = msg.get_payload()[-1]
            del part["Content-Disposition"]
            # Stored as written: its lines are short, so the generator sends them unchanged.
            part.set_raw("Content-Disposition", attachment_disposition(name))
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


def refused_text(refused):
    """Each refused recipient with the server's reply: "a@b.org (552 mailbox over quota)"."""
    parts = []
    for address, reply in refused.items():
        try:
            code, text = reply
            if isinstance(text, bytes):
                text = text.decode("utf-8", "replace")
            parts.append("%s (%d %s)" % (address, code, " ".join(str(text).split())))
        except (TypeError, ValueError):
            parts.append(str(address))
    return ", ".join(parts)


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
            if use_ssl != "Y":
                # TLS was chosen: without STARTTLS nothing goes out, so the choice is never undone in silence.
                if not smtp.has_extn("starttls"):
                    fail(1, "the server %s offers no encryption (STARTTLS), so nothing was sent; "
                            "choose SSL or another port" % where)
                smtp.starttls(context=context)
                smtp.ehlo()
            if password:
                if not smtp.has_extn("auth"):
                    fail(1, "the server %s does not offer a login" % where)
                smtp.login(sender, password)
            refused = smtp.send_message(msg, from_addr=sender, to_addrs=[recipient])
            if refused:
                fail(3, "the server refused the recipient %s" % refused_text(refused))
    except smtplib.SMTPAuthenticationError as e:
        fail(3, "the server refused the login (%d %s)" % (e.smtp_code, server_text(e)))
    except smtplib.SMTPRecipientsRefused as e:
        fail(3, "the server refused the recipient %s" % refused_text(e.recipients))
    except smtplib.SMTPResponseException as e:
        fail(3, "the server answered %d %s" % (e.smtp_code, server_text(e)))
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
    if len(argv) != 1:
        fail(2, "the mail is read from standard input, not from the command line")
    password, request = read_request()
    sender, server, port_text = request["sender"], request["server"].strip(), request["port"]
    from_addr, recipient, use_ssl = request["from"], request["recipient"], request["ssl"]
    try:
        port = int(port_text.strip())
        if not 0 < port < 65536:
            raise ValueError
    except ValueError:
        fail(2, "port %r is not a port number" % port_text)
    if not server:
        fail(2, "no SMTP server given")
    if not recipient.strip():
        fail(2, "no recipient given")
    msg = build_message(from_addr or sender, recipient, request["subject"], request["body"],
                        request.get("attachments", []))
    send((sender, server, port, from_addr, recipient, use_ssl), password, msg)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
