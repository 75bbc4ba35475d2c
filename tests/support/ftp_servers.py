#!/usr/bin/python3
"""Runs one FTP server on 127.0.0.1 for a test, on a free port, serving a fresh temporary root.

The server lives as long as its lifeline:
  --lifeline PORT   connect to 127.0.0.1:PORT, send one line
                    "READY <port> <root> <command-log>\\n" (or "ERROR <reason>\\n"), and stop when
                    that connection reaches its end. The connection is closed only after the server
                    has stopped and its root is gone, so the other side can wait for that.
  --lifeline stdio  the same line on standard output; stop at the end of standard input.
A test that dies therefore never leaves a server behind.

The command log (pyftpdlib only) gets every received command line, without its line end, and a
line "#CONNECT" for every accepted control connection.
"""

import argparse
import os
import random
import shutil
import signal
import socket
import sys
import tempfile

from ftp_servers_cleanup import Reaper
from ftp_servers_common import LOOPBACK, StartError
from ftp_servers_daemons import start_proftpd, start_vsftpd
from ftp_servers_pyftpdlib import Faults, PyftpdlibServer

CONNECT_MARKER = "#CONNECT"


# --- arguments


def parse_relpath(path):
    if not path or path.startswith("/") or ".." in path.split("/"):
        raise argparse.ArgumentTypeError(f"path must stay inside the root: {path!r}")
    return path


def parse_size_spec(text):
    path, sep, size = text.rpartition(":")
    if not sep or not path or not size.isdigit():
        raise argparse.ArgumentTypeError(f"expected relpath:size, got {text!r}")
    return parse_relpath(path), int(size)


def parse_link_spec(text):
    path, sep, target = text.partition(":")
    if not sep or not target:
        raise argparse.ArgumentTypeError(f"expected relpath:target, got {text!r}")
    return parse_relpath(path), target


class ReportingParser(argparse.ArgumentParser):
    # A mistake in the arguments goes to the test like any other reason not to start.
    def error(self, message):
        raise StartError(message)


def parse_args(argv):
    parser = ReportingParser(prog="ftp_servers.py", description=__doc__,
                             formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--kind", choices=["vsftpd", "pyftpdlib", "proftpd"], default="pyftpdlib")
    parser.add_argument("--lifeline", required=True, type=lifeline_spec, help="PORT or stdio")
    parser.add_argument("--file", action="append", default=[], type=parse_size_spec,
                        metavar="RELPATH:SIZE", help="a file of random bytes")
    parser.add_argument("--seeded", action="append", default=[], type=parse_size_spec,
                        metavar="RELPATH:SIZE",
                        help="a file of the same bytes every time: random.Random(0).randbytes(SIZE)")
    parser.add_argument("--sparse", action="append", default=[], type=parse_size_spec,
                        metavar="RELPATH:SIZE", help="a file that is one hole")
    parser.add_argument("--symlink", action="append", default=[], type=parse_link_spec,
                        metavar="RELPATH:TARGET", help="a symbolic link to TARGET (as written)")
    parser.add_argument("--dir", action="append", default=[], type=parse_relpath,
                        metavar="RELPATH", help="an empty directory")
    parser.add_argument("--max-rate", type=int, default=0, metavar="BYTES",
                        help="bytes per second per data connection")
    parser.add_argument("--max-per-address", type=int, default=0, metavar="N",
                        help="control connections one address may have at once; the server "
                        "turns away more as its kind does (421 and closed)")
    parser.add_argument("--no-anonymous", action="store_true", help="refuse every login")
    parser.add_argument("--fault", action="append", default=[], metavar="NAME[=VALUE]",
                        help="pyftpdlib only: see ftp_servers_pyftpdlib.Faults")
    parser.add_argument("--reply-delay-ms", type=int, default=0, metavar="MS",
                        help="pyftpdlib only: every reply comes this late, as over a long line "
                        "(and each connection is served by a thread of its own)")
    parser.add_argument("--command-log", metavar="FILE")
    parser.add_argument("--port", type=int, default=0,
                        help="vsftpd and proftpd: listen on this port (fails if taken) "
                        "instead of a free one")
    args = parser.parse_args(argv)
    try:
        args.faults = Faults(args.fault)
    except ValueError as error:
        parser.error(str(error))
    if args.fault and args.kind != "pyftpdlib":
        parser.error("--fault needs --kind pyftpdlib")
    if args.reply_delay_ms and args.kind != "pyftpdlib":
        parser.error("--reply-delay-ms needs --kind pyftpdlib")
    if args.port and args.kind == "pyftpdlib":
        parser.error("--port needs --kind vsftpd or proftpd")
    return args


def lifeline_spec(text):
    if text != "stdio" and not text.isdigit():
        raise argparse.ArgumentTypeError("takes a port number or 'stdio'")
    return text


def peek_lifeline(argv):
    """The lifeline, looked up before the other arguments so that their mistakes can be told."""
    for index, arg in enumerate(argv):
        value = None
        if arg == "--lifeline" and index + 1 < len(argv):
            value = argv[index + 1]
        elif arg.startswith("--lifeline="):
            value = arg.partition("=")[2]
        if value is not None:
            try:
                return lifeline_spec(value)
            except argparse.ArgumentTypeError:
                return None
    return None


# --- the served root


def make_workdir():
    # A server that drops privileges must reach the root: so in /tmp itself, not under a TMPDIR
    # that may lie in a private folder (wine-run's does), and open to all.
    workdir = tempfile.mkdtemp(prefix="moravent-ftp-", dir="/tmp")
    os.chmod(workdir, 0o755)
    return workdir


def make_root(workdir, args):
    root = os.path.join(workdir, "root")
    os.mkdir(root, 0o755)
    os.chmod(root, 0o755)
    for relpath, size in args.file:
        with open(served_path(root, relpath), "wb") as f:
            written = 0
            while written < size:
                chunk = os.urandom(min(1 << 20, size - written))
                f.write(chunk)
                written += len(chunk)
    for relpath, size in args.seeded:
        with open(served_path(root, relpath), "wb") as f:
            f.write(random.Random(0).randbytes(size))
    for relpath, size in args.sparse:
        with open(served_path(root, relpath), "wb") as f:
            f.truncate(size)
    for relpath in args.dir:
        os.makedirs(served_path(root, relpath), 0o755, exist_ok=True)
    for relpath, target in args.symlink:
        os.symlink(target, served_path(root, relpath))
    return root


def served_path(root, relpath):
    path = os.path.join(root, *relpath.split("/"))
    parent = os.path.dirname(path)
    os.makedirs(parent, 0o755, exist_ok=True)
    return path


class CommandLog:
    def __init__(self, path):
        self.path = path
        self._file = open(path, "a", encoding="utf-8")

    def connection(self):
        self._write(CONNECT_MARKER)

    def command(self, line):
        self._write(line)

    def _write(self, line):
        self._file.write(line + "\n")
        self._file.flush()


# --- lifeline


class SocketLifeline:
    def __init__(self, port):
        self._socket = socket.create_connection((LOOPBACK, port), timeout=30)
        self._socket.settimeout(None)

    def report(self, line):
        self._socket.sendall((line + "\n").encode("utf-8"))

    def wait_for_end(self):
        while self._socket.recv(4096):
            pass

    def close(self):
        self._socket.close()


class StdioLifeline:
    def report(self, line):
        sys.stdout.write(line + "\n")
        sys.stdout.flush()

    def wait_for_end(self):
        while sys.stdin.buffer.read(4096):
            pass

    def close(self):
        sys.stdout.close()


def stop_on_signals():
    def raise_exit(signum, _frame):
        raise SystemExit(128 + signum)

    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, raise_exit)


def start_server(args, workdir, root, command_log, reaper):
    if args.kind == "pyftpdlib":
        return PyftpdlibServer(args, root, command_log)
    if args.kind == "vsftpd":
        return start_vsftpd(args, workdir, root, reaper)
    return start_proftpd(args, workdir, root, reaper)


def main(argv):
    # Whatever the starting process left open: a socket of the test held open here would keep a
    # connection alive that the test has closed.
    os.closerange(3, os.sysconf("SC_OPEN_MAX"))
    stop_on_signals()
    lifeline_arg = peek_lifeline(argv)
    if lifeline_arg is None or "-h" in argv or "--help" in argv:
        try:
            parse_args(argv)
        except StartError as error:
            sys.exit(f"ftp_servers.py: {error}")
        sys.exit(2)
    # Forked before any socket or thread exists, so that it holds neither.
    reaper = Reaper()
    # Connected next, so that every failure after this can be told to the test.
    lifeline = StdioLifeline() if lifeline_arg == "stdio" else SocketLifeline(int(lifeline_arg))
    workdir = make_workdir()
    reaper.watch_dir(workdir)
    server = None
    status = 0
    try:
        args = parse_args(argv)
        root = make_root(workdir, args)
        log_path = args.command_log or os.path.join(workdir, "commands.log")
        command_log = CommandLog(log_path)
        server = start_server(args, workdir, root, command_log, reaper)
        lifeline.report(f"READY {server.port} {root} {log_path}")
        lifeline.wait_for_end()
    except (StartError, OSError, ImportError) as error:
        message = " ".join(str(error).split())
        print(f"ftp_servers.py: {message}", file=sys.stderr)
        lifeline.report(f"ERROR {message}")
        status = 1
    except SystemExit as stop:
        status = stop.code
    finally:
        if server is not None:
            server.stop()
        shutil.rmtree(workdir, ignore_errors=True)
        reaper.release()
        lifeline.close()
    # Without waiting for pyftpdlib's serving thread.
    os._exit(status)


if __name__ == "__main__":
    main(sys.argv[1:])
