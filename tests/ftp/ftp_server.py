#!/usr/bin/python3
"""An FTP server on 127.0.0.1 for the FTP worker tests (pyftpdlib).

Serves --root read-only to the user "anne" (password "secret") on an
ephemeral port, writes that port to --port-file once it listens, logs every
command to --log, and runs until it is ended by its PID or --max-seconds
pass. --no-mdtm makes it a server that does not know MDTM.
"""
import argparse
import logging
import os
import sys
import signal

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

USER, PASSWORD = "anne", "secret"


def make_handler(root, no_mdtm):
    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, root, perm="elr")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    # A refused login answers at once, not after pyftpdlib's 3 s.
    Handler.auth_failed_timeout = 0.1
    # Active mode on loopback: the server connects back to 127.0.0.1.
    Handler.permit_foreign_addresses = False
    if no_mdtm:
        Handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k != "MDTM"}
    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--no-mdtm", action="store_true")
    parser.add_argument("--max-seconds", type=int, default=1800)
    args = parser.parse_args()

    logging.basicConfig(filename=args.log, level=logging.DEBUG, format="%(asctime)s %(message)s")
    server = FTPServer(("127.0.0.1", 0), make_handler(args.root, args.no_mdtm))
    port = server.socket.getsockname()[1]
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(port))
    os.replace(tmp, args.port_file)

    # SIGALRM's default action ends the process: a bounded life even when
    # nobody stops the server.
    signal.alarm(args.max_seconds)
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
