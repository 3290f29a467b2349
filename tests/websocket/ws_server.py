"""A TLS WebSocket server on port 443 for the client tests.

Modes: websocket (answers the commands below), refuse (answers the upgrade
with 403), silent (completes TLS, then never answers), plain (no TLS: an
HTTP 400 answer). Prints "ready" once listening and "closed <code>" when a
WebSocket ends.

Commands (text messages): "headers" answers path, agent and host;
"big N" answers one message of N bytes; "sink TEXT" answers "sunk N whole"
when TEXT is the N bytes "big N" would send ("sunk N damaged" otherwise);
"pause MS" answers "paused" and then reads nothing for MS milliseconds,
"stall MS" does the same and then cuts the connection; "close" closes with 1000;
"drop" cuts the connection without a closing frame; anything else is echoed.
"""
import argparse
import asyncio
import http
import ssl
import string
import sys

import websockets


def pattern(n):
    return (string.ascii_lowercase * (n // 26 + 1))[:n]


async def handler(ws, path):
    try:
        async for message in ws:
            if message == "headers":
                h = ws.request_headers
                await ws.send(f"path={path} agent={h.get('User-Agent')} host={h.get('Host')}")
            elif isinstance(message, str) and message.startswith("big "):
                await ws.send(pattern(int(message[4:])))
            elif isinstance(message, str) and message.startswith("sink "):
                text = message[5:]
                await ws.send(f"sunk {len(text)} {'whole' if text == pattern(len(text)) else 'damaged'}")
            elif isinstance(message, str) and message.startswith(("pause ", "stall ")):
                command, milliseconds = message.split(" ")
                ws.transport.pause_reading()
                await ws.send("paused")
                await asyncio.sleep(int(milliseconds) / 1000)
                if command == "stall":
                    ws.transport.abort()
                else:
                    ws.transport.resume_reading()
            elif message == "close":
                await ws.close(1000)
            elif message == "drop":
                ws.transport.abort()
            else:
                await ws.send(message)
    except websockets.ConnectionClosed:
        pass
    print(f"closed {ws.close_code}", flush=True)


async def refuse(path, headers):
    return http.HTTPStatus.FORBIDDEN, [], b"no\n"


async def silent(reader, writer):
    await reader.read(1 << 20)
    await asyncio.sleep(3600)


async def plain(reader, writer):
    await reader.read(1024)
    writer.write(b"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n")
    await writer.drain()
    writer.close()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", default="websocket")
    parser.add_argument("--host", default="localhost")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    if args.mode in ("websocket", "refuse"):
        # No limit on the messages queued: a server that stops reading while it
        # closes would leave the client's closing frame stuck behind its data.
        server = await websockets.serve(handler, args.host, 443, ssl=context, max_size=None, max_queue=None,
                                        ping_interval=None, process_request=refuse if args.mode == "refuse" else None)
    else:
        server = await asyncio.start_server(silent if args.mode == "silent" else plain, args.host, 443,
                                            ssl=context if args.mode == "silent" else None)
    print("ready", flush=True)
    async with server:
        await asyncio.Future()


if __name__ == "__main__":
    try:
        asyncio.run(main())
    except OSError as error:
        print(f"failed {error}", flush=True)
        sys.exit(1)
