"""Stopping the servers of ftp_servers.py with every process they forked, also after the script
itself was killed outright."""

import os
import shutil
import signal
import time


def child_pids():
    """{parent pid: [child pids]} of every process on the machine."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                # The name in parentheses may hold spaces, and bytes of a character the
                # kernel cut off: the fields after it are fixed, and plain ASCII.
                with open(f"/proc/{entry}/stat", errors="replace") as f:
                    fields = f.read().rpartition(")")[2].split()
            except OSError:
                continue
            children.setdefault(int(fields[1]), []).append(int(entry))
    return children


def process_tree(pid):
    children = child_pids()
    tree, pending = [], [pid]
    while pending:
        current = pending.pop()
        tree.append(current)
        pending.extend(children.get(current, []))
    return tree


def is_running(pid):
    try:
        with open(f"/proc/{pid}/stat", errors="replace") as f:
            return f.read().rpartition(")")[2].split()[0] != "Z"
    except OSError:
        return False


def signal_all(pids, signum):
    for pid in pids:
        try:
            os.kill(pid, signum)
        except ProcessLookupError:
            pass


def stop_process_tree(pid):
    # The servers fork a process per connection, and vsftpd's start sessions of their own, so
    # neither the process group nor the session reaches them all.
    pids = process_tree(pid)
    signal_all(pids, signal.SIGTERM)
    deadline = time.monotonic() + 5
    while any(is_running(p) for p in pids) and time.monotonic() < deadline:
        time.sleep(0.05)
    signal_all([p for p in pids if is_running(p)], signal.SIGKILL)


class Reaper:
    """A process of its own that removes the server and its files if this script is killed
    outright (SIGKILL), which no handler here could see."""

    def __init__(self):
        read_end, self._write_end = os.pipe()
        if os.fork() == 0:
            os.close(self._write_end)
            self._run(read_end)
        os.close(read_end)

    def watch_dir(self, path):
        self._send(f"DIR {path}")

    def watch_process(self, pid):
        self._send(f"PID {pid}")

    def release(self):
        self._send("DONE")
        os.close(self._write_end)

    def _send(self, line):
        os.write(self._write_end, (line + "\n").encode())

    @staticmethod
    def _run(read_end):
        for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(signum, signal.SIG_IGN)
        # Holding this script's stdout open would keep a reader of it waiting.
        devnull = os.open(os.devnull, os.O_RDWR)
        os.dup2(devnull, 0)
        os.dup2(devnull, 1)
        with os.fdopen(read_end) as orders:
            lines = orders.read().split("\n")
        if "DONE" not in lines:
            for line in lines:
                kind, _, value = line.partition(" ")
                if kind == "PID":
                    stop_process_tree(int(value))
            for line in lines:
                kind, _, value = line.partition(" ")
                if kind == "DIR":
                    shutil.rmtree(value, ignore_errors=True)
        os._exit(0)


