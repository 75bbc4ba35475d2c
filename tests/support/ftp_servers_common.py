"""What the parts of ftp_servers.py share."""

LOOPBACK = "127.0.0.1"


class StartError(Exception):
    """A reason the server cannot start, told to the test as it is."""
