"""vsftpd and proftpd for ftp_servers.py, each a process of its own in the foreground."""

import os
import pwd
import socket
import subprocess
import time

from ftp_servers_cleanup import stop_process_tree
from ftp_servers_common import LOOPBACK, StartError

START_TIMEOUT_SECONDS = 15
START_ATTEMPTS = 3  # a port picked as free may be taken before the server binds it


def pick_free_port():
    with socket.socket() as probe:
        probe.bind((LOOPBACK, 0))
        return probe.getsockname()[1]


def greets(port, process):
    """True once the server answers with 220; false when it ended or never did."""
    deadline = time.monotonic() + START_TIMEOUT_SECONDS
    while time.monotonic() < deadline:
        if process.poll() is not None:
            return False
        try:
            with socket.create_connection((LOOPBACK, port), timeout=2) as conn:
                replies = conn.makefile("rb")
                greeting = replies.readline()
                conn.sendall(b"QUIT\r\n")
                if greeting.startswith(b"220"):
                    replies.read()  # until the server has closed it
                    return True
        except OSError:
            pass
        time.sleep(0.1)
    return False


def wait_for_sessions_to_end(pid):
    """Until the server has reaped the process of the greeting check's session: a limit of
    connections per address counts it until then, against the test's own."""
    children = f"/proc/{pid}/task/{pid}/children"
    deadline = time.monotonic() + START_TIMEOUT_SECONDS
    while time.monotonic() < deadline:
        try:
            with open(children) as listing:
                if not listing.read().split():
                    break
        except OSError:
            return
        time.sleep(0.01)
    time.sleep(0.05)  # the count drops just after the reaping


class ProcessServer:
    """vsftpd or proftpd, in the foreground under this script."""

    def __init__(self, name, workdir, reaper, make_command, fixed_port=0):
        self._process = None
        log_path = os.path.join(workdir, name + ".out")
        if fixed_port:
            # A port the caller needs (one compiled into a client): taken is an error, not retried.
            with socket.socket() as probe:
                # As the servers bind: closed connections still waiting out on the port are fine.
                probe.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
                try:
                    probe.bind((LOOPBACK, fixed_port))
                except OSError as error:
                    raise StartError(f"port {fixed_port} is not free: {error}") from None
        for _ in range(1 if fixed_port else START_ATTEMPTS):
            port = fixed_port or pick_free_port()
            command, env = make_command(port)
            with open(log_path, "ab") as output:
                self._process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                                                 stdout=output, stderr=output,
                                                 start_new_session=True)
            reaper.watch_process(self._process.pid)
            if greets(port, self._process):
                self.port = port
                wait_for_sessions_to_end(self._process.pid)
                return
            self.stop()
        with open(log_path, errors="replace") as output:
            last_lines = output.read().strip().splitlines()[-5:]
        raise StartError(f"{name} did not start: " + " | ".join(last_lines))

    def stop(self):
        if self._process is None:
            return
        stop_process_tree(self._process.pid)
        self._process.wait()
        self._process = None


def write_config(path, lines, mode=0o644):
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    os.chmod(path, mode)


def start_vsftpd(args, workdir, root, reaper):
    empty = os.path.join(workdir, "empty")
    os.mkdir(empty, 0o755)
    userlist = os.path.join(workdir, "userlist")
    write_config(userlist, [])
    as_root = os.geteuid() == 0

    def command(port):
        config = os.path.join(workdir, "vsftpd.conf")
        lines = [
            "background=NO", "listen=YES", "listen_ipv6=NO", f"listen_address={LOOPBACK}",
            f"listen_port={port}", "write_enable=NO", "seccomp_sandbox=NO",
            "isolate=NO", "isolate_network=NO", "connect_from_port_20=NO",
            f"secure_chroot_dir={empty}", "dirmessage_enable=NO", "hide_ids=YES",
            "xferlog_enable=YES", "xferlog_std_format=NO", "log_ftp_protocol=YES",
            f"vsftpd_log_file={os.path.join(workdir, 'vsftpd.log')}",
            "ftpd_banner=moravent test server ready.", "delay_failed_login=0",
        ]
        if args.no_anonymous:
            # vsftpd wants some kind of login enabled: local logins, for nobody on an empty list.
            lines += ["anonymous_enable=NO", "local_enable=YES", "userlist_enable=YES",
                      "userlist_deny=NO", f"userlist_file={userlist}"]
        else:
            lines += ["anonymous_enable=YES", "no_anon_password=YES", f"anon_root={root}",
                      "local_enable=NO"]
        if as_root:
            # vsftpd enters the home of its anonymous user before anon_root: Debian's vsftpd
            # package makes the "ftp" user with an existing home.
            lines += ["ftp_username=ftp", "nopriv_user=nobody"]
        else:
            lines += ["run_as_launching_user=YES"]
        if args.max_rate:
            lines.append(f"anon_max_rate={args.max_rate}")
        if args.max_per_address:
            lines.append(f"max_per_ip={args.max_per_address}")
        write_config(config, lines)
        return ["/usr/sbin/vsftpd", config], None

    return ProcessServer("vsftpd", workdir, reaper, command, args.port)


def proftpd_home():
    override = os.environ.get("MORAVENT_PROFTPD_ROOT")
    if override:
        return override
    # The real home, not $HOME: under Wine the test's HOME is a temporary one.
    cache = os.environ.get("XDG_CACHE_HOME") or os.path.join(
        pwd.getpwuid(os.getuid()).pw_dir, ".cache")
    return os.path.join(cache, "moravent", "proftpd")


def start_proftpd(args, workdir, root, reaper):
    home = proftpd_home()
    binary = os.path.join(home, "usr", "sbin", "proftpd")
    if not os.access(binary, os.X_OK):
        raise StartError(f"no proftpd at {binary} (scripts/test unpacks it there)")
    env = dict(os.environ)
    env["LD_LIBRARY_PATH"] = ":".join(
        [os.path.join(home, "usr", "lib", "x86_64-linux-gnu"),
         os.path.join(home, "lib", "x86_64-linux-gnu")] +
        ([env["LD_LIBRARY_PATH"]] if env.get("LD_LIBRARY_PATH") else []))
    if os.geteuid() != 0:
        # An anonymous login makes proftpd chroot into the root.
        raise StartError("proftpd needs to be started as root")
    user, group = "nobody", "nogroup"

    no_users = os.path.join(workdir, "no-users")
    write_config(no_users, [], mode=0o600)  # proftpd refuses world-readable user files

    def command(port):
        config = os.path.join(workdir, "proftpd.conf")
        lines = [
            "ServerType standalone", 'ServerName "moravent test server"',
            f"DefaultAddress {LOOPBACK}", f"Port {port}", "SocketBindTight on", "UseIPv6 off",
            f"User {user}", f"Group {group}",
            f"PidFile {os.path.join(workdir, 'proftpd.pid')}",
            f"ScoreboardFile {os.path.join(workdir, 'proftpd.scoreboard')}",
            f"SystemLog {os.path.join(workdir, 'proftpd.log')}",
            f"TransferLog {os.path.join(workdir, 'xfer.log')}",
            "DelayTable none", "WtmpLog off", "UseReverseDNS off", "UseFtpUsers off",
            "AuthPAM off", "MaxInstances 200",
            'ServerIdent on "moravent test server ready."',
        ]
        if args.max_per_address:
            lines.append(f"MaxClientsPerHost {args.max_per_address}")
        if args.no_anonymous:
            # Users from empty files only: every login is refused after a normal greeting.
            lines += ["AuthOrder mod_auth_file.c", f"AuthUserFile {no_users}",
                      f"AuthGroupFile {no_users}"]
        else:
            lines += ["AuthOrder mod_auth_unix.c"]
            lines += [
                f"<Anonymous {root}>", f"  User {user}", f"  Group {group}",
                f"  UserAlias anonymous {user}", f"  UserAlias ftp {user}",
                "  RequireValidShell off", "  AnonRequirePassword off",
                "  <Limit WRITE>", "    DenyAll", "  </Limit>",
            ]
            if args.max_rate:
                lines.append(f"  TransferRate RETR {args.max_rate / 1024:.3f}")
            lines.append("</Anonymous>")
        write_config(config, lines)
        return [binary, "-n", "-q", "-c", config], env

    return ProcessServer("proftpd", workdir, reaper, command, args.port)


