#!/usr/bin/env python3
"""Plugs a virtual pointer into a wlroots compositor's seat and holds it there
until ended. A headless compositor has no input devices, and a seat without a
pointer sends no pointer events to any client, so `swaymsg seat ... cursor`
would move and click for nobody. Speaks the Wayland wire protocol directly, so
nothing beyond Python is needed. Prints "ready" once the pointer is in the seat."""
import os
import signal
import socket
import struct
import sys

DISPLAY, REGISTRY, CALLBACK, MANAGER, POINTER = 1, 2, 3, 4, 5
WANTED = b"zwlr_virtual_pointer_manager_v1"


def message(obj, opcode, payload=b""):
    return struct.pack("<II", obj, (8 + len(payload)) << 16 | opcode) + payload


def string(text):
    data = text + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def events(sock):
    buf = b""
    while True:
        while len(buf) < 8 or len(buf) < (struct.unpack_from("<I", buf, 4)[0] >> 16):
            chunk = sock.recv(4096)
            if not chunk:
                sys.exit("the compositor closed the connection")
            buf += chunk
        obj, word = struct.unpack_from("<II", buf)
        size = word >> 16
        yield obj, word & 0xFFFF, buf[8:size]
        buf = buf[size:]


def main():
    path = os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ.get("WAYLAND_DISPLAY", "wayland-0"))
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.connect(path)
    # get_registry, then sync: the globals all arrive before the callback's done.
    sock.sendall(message(DISPLAY, 1, struct.pack("<I", REGISTRY)) + message(DISPLAY, 0, struct.pack("<I", CALLBACK)))
    manager = None
    for obj, opcode, args in events(sock):
        if obj == DISPLAY and opcode == 0:
            sys.exit("protocol error: %r" % args)
        if obj == REGISTRY and opcode == 0:
            name, length = struct.unpack_from("<II", args)
            if args[8:8 + length - 1] == WANTED:
                manager = name
        if obj == CALLBACK and opcode == 0:
            break
    if manager is None:
        sys.exit("the compositor offers no virtual pointers")
    # bind(name, interface, version, id); create_virtual_pointer(no seat: the default, id).
    sock.sendall(message(REGISTRY, 0, struct.pack("<I", manager) + string(WANTED) + struct.pack("<II", 1, MANAGER))
                 + message(MANAGER, 0, struct.pack("<II", 0, POINTER))
                 + message(DISPLAY, 0, struct.pack("<I", CALLBACK + 3)))
    for obj, opcode, args in events(sock):
        if obj == DISPLAY and opcode == 0:
            sys.exit("protocol error: %r" % args)
        if obj == CALLBACK + 3 and opcode == 0:
            break
    print("ready", flush=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    for _ in events(sock):  # held until the compositor or a signal ends it
        pass


if __name__ == "__main__":
    main()
