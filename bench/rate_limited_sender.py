#!/usr/bin/python3
"""Sends BYTES bytes to every connection on 127.0.0.1 at RATE bytes/s each, then closes it.

It paces as vsftpd does: 64 KiB at once, then a pause that keeps the rate.

Prints its port on the first line of its output and runs until killed.

    rate_limited_sender.py BYTES RATE
"""
import asyncio
import sys


async def serve(size, rate):
    chunk = 65536
    block = bytes(chunk)

    async def send(_reader, writer):
        loop = asyncio.get_running_loop()
        started = loop.time()
        sent = 0
        while sent < size:
            count = min(chunk, size - sent)
            writer.write(block[:count])
            await writer.drain()
            sent += count
            delay = started + sent / rate - loop.time()
            if delay > 0:
                await asyncio.sleep(delay)
        writer.close()

    server = await asyncio.start_server(send, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(serve(int(sys.argv[1]), int(sys.argv[2])))
