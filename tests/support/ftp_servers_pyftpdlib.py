"""The pyftpdlib server of ftp_servers.py, with its scripted faults."""

import logging
import os
import secrets
import socket
import threading

from ftp_servers_common import LOOPBACK


# How long a hostile reply keeps the client waiting before the real reply follows: far longer
# than any receive time-out a test sets, yet finite, so a client that waits it out still ends.
HOSTILE_REPLY_SECONDS = 40


class Faults:
    """The scripted misbehaviour of a pyftpdlib server (names as in ftp_server.h)."""

    def __init__(self, faults):
        self.refuse_rest = False
        self.refuse_rest_once = False
        self.ignore_rest = False
        self.refuse_mdtm = False
        # The data faults below hit only the first transfer they apply to.
        self.data_faults_once = False
        self.drop_data_after = None
        self.short_data = None
        self.stall_after = None
        self.idle_timeout = None
        self.pasv_address = None
        self.trickle_reply = None
        self.endless_preliminary = False
        self.endless_blank_lines = False
        self.listing_line = None
        self.listing_paths = False
        flags = {"refuse-rest", "refuse-rest-once", "ignore-rest", "refuse-mdtm",
                 "data-faults-once", "endless-preliminary", "endless-blank-lines",
                 "listing-paths"}
        numeric = {"drop-data-after", "short-data", "stall-after", "idle-timeout", "listing-line"}
        for fault in faults:
            name, sep, value = fault.partition("=")
            if name in flags and not sep:
                setattr(self, name.replace("-", "_"), True)
            elif name in numeric and value.isdigit():
                setattr(self, name.replace("-", "_"), int(value))
            elif name == "pasv-address" and is_dotted_ipv4(value):
                self.pasv_address = value
            elif name == "trickle-reply" and value.isalpha():
                self.trickle_reply = value.upper()
            else:
                raise ValueError(f"unknown or malformed fault {fault!r}")
        self._rest_refused_once = False
        self._data_fault_used = False
        self._trickle_used = False
        self._final_reply_fault_used = False

    def trickles_reply_to(self, command):
        """Whether this reply to `command` is the one to trickle (the first only)."""
        if self.trickle_reply != command or self._trickle_used:
            return False
        self._trickle_used = True
        return True

    def filler_before_final_reply(self):
        """What to send again and again instead of the first RETR's final reply, or None."""
        if self._final_reply_fault_used:
            return None
        filler = None
        if self.endless_preliminary:
            filler = "150 Still working.\r\n"
        elif self.endless_blank_lines:
            filler = "\r\n"
        if filler is not None:
            self._final_reply_fault_used = True
        return filler

    def refuses_this_rest(self):
        if self.refuse_rest:
            return True
        if self.refuse_rest_once and not self._rest_refused_once:
            self._rest_refused_once = True
            return True
        return False

    def plan_for_retr(self, remaining):
        """How a RETR of `remaining` bytes goes wrong, or None when it goes right."""
        plan = self._data_fault_for(remaining)
        if plan is not None and self.data_faults_once:
            if self._data_fault_used:
                return None
            self._data_fault_used = True
        return plan

    def _data_fault_for(self, remaining):
        if self.drop_data_after is not None and remaining > self.drop_data_after:
            return TransferPlan(self.drop_data_after, TransferPlan.DROP)
        if self.stall_after is not None and remaining > self.stall_after:
            return TransferPlan(self.stall_after, TransferPlan.STALL)
        if self.short_data is not None:
            return TransferPlan(max(0, remaining - self.short_data), TransferPlan.SHORT)
        return None


def is_dotted_ipv4(text):
    parts = text.split(".")
    return len(parts) == 4 and all(p.isdigit() and int(p) <= 255 for p in parts)


class TransferPlan:
    DROP, STALL, SHORT = "drop", "stall", "short"

    def __init__(self, allowed_bytes, action):
        self.remaining = allowed_bytes
        self.action = action


def make_prompt_ioloop():
    from pyftpdlib.ioloop import IOLoop

    class PromptIOLoop(IOLoop):
        # pyftpdlib's epoll loop turns a zero time-out (a timer already due) into "wait until a
        # socket stirs", which holds throttled transfers and idle time-outs back indefinitely.
        def poll(self, timeout):
            super().poll(timeout if timeout is None else max(timeout, 0.001))

    return PromptIOLoop()


class PyftpdlibServer:
    def __init__(self, args, root, command_log):
        from pyftpdlib.authorizers import DummyAuthorizer
        from pyftpdlib.log import config_logging
        from pyftpdlib.servers import FTPServer, ThreadedFTPServer

        # Its default is a line per session and transfer on stderr, which buries test output.
        config_logging(level=logging.WARNING)
        authorizer = DummyAuthorizer()
        if args.no_anonymous:
            # Nobody knows this password, so every login is refused.
            authorizer.add_user("moravent-nobody", secrets.token_hex(16), root)
        else:
            authorizer.add_anonymous(root)
        handler = make_pyftpdlib_handler(args.faults, args.max_rate, args.max_per_address,
                                         command_log, args.reply_delay_ms / 1000.0)
        handler.authorizer = authorizer
        if args.reply_delay_ms:
            # One loop would serialise the delayed replies of all connections with their data.
            class PromptThreadedFTPServer(ThreadedFTPServer):
                # How long a connection's loop may wait before it looks at its timers (its first
                # wait, for one, comes before it has looked): 1 s would hold each banner back.
                poll_timeout = 0.005

            self._server = PromptThreadedFTPServer((LOOPBACK, 0), handler)
        else:
            self._server = FTPServer((LOOPBACK, 0), handler, ioloop=make_prompt_ioloop())
        self.port = self._server.address[1]
        self._waker = Waker(self._server.ioloop, self._server.close_all)
        self._thread = threading.Thread(target=self._server.serve_forever,
                                        kwargs={"handle_exit": False}, daemon=True)
        self._thread.start()

    def stop(self):
        # The port must be closed before the lifeline is: whoever waits on the lifeline takes
        # the server for gone. pyftpdlib's loop is not thread-safe, so it closes itself.
        self._waker.wake()
        self._thread.join(timeout=10)


class Waker:
    """A socket in pyftpdlib's I/O loop that runs `on_wake` on the loop's own thread."""

    def __init__(self, ioloop, on_wake):
        self._receiver, self._sender = socket.socketpair()
        self._on_wake = on_wake
        self._fileno = self._receiver.fileno()  # the loop sorts its members by it
        ioloop.register(self._fileno, self, ioloop.READ)

    def wake(self):
        self._sender.send(b"!")

    def readable(self):
        return True

    def handle_read_event(self):
        self._on_wake()

    def handle_error(self):
        raise  # the loop calls this inside its exception handler: the failure is not ours to hide

    def handle_close(self):
        self.close()

    def close(self):
        self._receiver.close()


class PaddedListing:
    """A listing producer that sends one line of `size` bytes ("a a a ...") first."""

    CHUNK = 64 * 1024

    def __init__(self, size, inner):
        self._left = size
        self._inner = inner

    def more(self):
        if self._left > 0:
            count = min(self._left, self.CHUNK)
            self._left -= count
            return b"a " * (count // 2) + b"a" * (count % 2)
        if self._left == 0:
            self._left = -1
            return b"\r\n"
        return self._inner.more()


def with_path_names(lines, name, path):
    """Listing lines naming `name` by its path from the root instead, as some servers do."""
    suffix = (" " + name + "\r\n").encode()
    for line in lines:
        if line.endswith(suffix):
            line = line[:-len(suffix)] + (" " + path + "\r\n").encode()
        yield line


def make_pyftpdlib_handler(faults, max_rate, max_per_address, command_log, reply_delay=0.0):
    from pyftpdlib.handlers import BufferedIteratorProducer, FTPHandler, ThrottledDTPHandler

    class FaultyDTPHandler(ThrottledDTPHandler):
        write_limit = max_rate

        def __init__(self, sock, cmd_channel):
            super().__init__(sock, cmd_channel)
            self._plan = None
            self._stalled = False

        def push_with_producer(self, producer):
            self._plan = self.cmd_channel.take_transfer_plan()
            super().push_with_producer(producer)

        def send(self, data):
            if self._plan is not None:
                data = data[:self._plan.remaining]
            sent = super().send(data)
            if self._plan is not None:
                self._plan.remaining -= sent
            return sent

        def initiate_send(self):
            if self._plan is None or self._plan.remaining > 0:
                super().initiate_send()
            if self._plan is not None and self._plan.remaining == 0 and not self._closed:
                self._act_on_plan()

        def _act_on_plan(self):
            if self._plan.action == TransferPlan.STALL:
                if not self._stalled:
                    # Out of the I/O loop: nothing more is sent, the connection stays open.
                    self._stalled = True
                    self._cancel_throttler()
                    self.del_channel()
                return
            if self._plan.action == TransferPlan.DROP:
                self.transfer_finished = False
                self._resp = ("426 Connection closed; transfer aborted.", logging.debug)
            else:
                self.transfer_finished = True
                self._resp = ("226 Transfer complete.", logging.debug)
            self.close()

    class FaultyFTPHandler(FTPHandler):
        dtp_handler = FaultyDTPHandler
        banner = "moravent test server ready."
        auth_failed_timeout = 0  # a refused login is answered at once, not after 3 s
        open_connections = 0
        _counted = False
        _refused = False
        _next_plan = None
        _command = ""
        _hostile = None  # the periodic call of a hostile reply under way
        _banner_owed = False

        def handle(self):
            command_log.connection()
            # All its clients come from 127.0.0.1: a count of them all is one of that address.
            if max_per_address and FaultyFTPHandler.open_connections >= max_per_address:
                self._refused = True
                self.respond("421 Too many connections.")
                self.close_when_done()
                return
            FaultyFTPHandler.open_connections += 1
            self._counted = True
            if reply_delay:
                # This runs on the accepting loop; the banner's delay is timed by the loop of the
                # connection's own thread, which takes the channel over next.
                self._banner_owed = True
                return
            super().handle()

        def add_channel(self, map=None, events=None):
            super().add_channel(map, events)
            if self._banner_owed and self.ioloop is not self.server.ioloop:
                self._banner_owed = False
                super().handle()

        def close(self):
            if self._counted:
                self._counted = False
                FaultyFTPHandler.open_connections -= 1
            if self._hostile is not None:
                self._hostile.cancel()
                self._hostile = None
            super().close()

        def found_terminator(self):
            line = b"".join(self._in_buffer).decode("utf-8", "replace")
            command_log.command(line)
            self._command = line.split(" ", 1)[0].upper()
            if self._refused:
                self._in_buffer = []
                self._in_buffer_len = 0
                return
            super().found_terminator()

        def respond(self, resp, logfun=logging.debug):
            if faults.trickles_reply_to(self._command):
                # A valid multi-line reply, one byte at a time: every receive gets something,
                # the reply never seems to end.
                text = resp[:3] + "-" + "." * (10 * HOSTILE_REPLY_SECONDS) + "\r\n" + resp
                self._send_slowly([c for c in text], 0.1, resp)
                return
            if self._command == "RETR" and resp[:3] in ("226", "426"):
                filler = faults.filler_before_final_reply()
                if filler is not None:
                    self._send_slowly([filler] * (20 * HOSTILE_REPLY_SECONDS), 0.05, resp)
                    return
            if reply_delay:
                self.ioloop.call_later(reply_delay, self._respond_now, resp, logfun)
                return
            super().respond(resp, logfun)

        def _respond_now(self, resp, logfun):
            if not self._closed:
                FTPHandler.respond(self, resp, logfun)

        def _send_slowly(self, pieces, interval, resp):
            """Sends the pieces one per interval, then the reply resp whole."""
            pending = list(pieces)

            def send_next():
                if pending:
                    self.push(pending.pop(0))
                    return
                self._hostile.cancel()
                self._hostile = None
                FTPHandler.respond(self, resp)

            self._hostile = self.ioloop.call_every(interval, send_next)

        def ftp_LIST(self, path):
            if not faults.listing_paths or self.fs.isdir(path):
                return super().ftp_LIST(path)
            basedir, name = os.path.split(path)
            lines = self.run_as_current_user(self.fs.format_list, basedir, [name])
            relpath = self.fs.fs2ftp(path).lstrip("/")
            producer = BufferedIteratorProducer(with_path_names(lines, name, relpath))
            self.push_dtp_data(producer, isproducer=True, cmd="LIST")
            return path

        def ftp_REST(self, line):
            if faults.refuses_this_rest():
                self.respond("502 Command not implemented.")
                return
            if faults.ignore_rest:
                # Accepted, and forgotten: the next RETR sends from byte 0.
                self.respond(f"350 Restarting at {line}. End with RETR.")
                return
            super().ftp_REST(line)

        def ftp_MDTM(self, path):
            if faults.refuse_mdtm:
                self.respond("502 Command not implemented.")
                return None
            return super().ftp_MDTM(path)

        def push_dtp_data(self, data, isproducer=False, file=None, cmd=None):
            if cmd == "RETR" and file is not None:
                remaining = os.fstat(file.fileno()).st_size - file.tell()
                self._next_plan = faults.plan_for_retr(remaining)
            if cmd == "LIST" and isproducer and faults.listing_line is not None:
                data = PaddedListing(faults.listing_line, data)
            super().push_dtp_data(data, isproducer, file, cmd)

        def take_transfer_plan(self):
            plan, self._next_plan = self._next_plan, None
            return plan

    if faults.idle_timeout is not None:
        FaultyFTPHandler.timeout = faults.idle_timeout
    if faults.pasv_address is not None:
        FaultyFTPHandler.masquerade_address = faults.pasv_address
    return FaultyFTPHandler


