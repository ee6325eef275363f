"""Raw-socket checks of the engine's answers that curl cannot provoke: refused SOCKS5 methods, commands and address
types, a domain-name CONNECT, hostile or truncated input, and HTTP error statuses. Talks to 127.0.0.1 only.
Usage: socks_probe.py PROXY_PORT HTTP_PORT CLOSED_PORT EXPECTED_BODY_FILE"""
import hashlib
import os
import socket
import struct
import sys
import threading

proxy_port, http_port, closed_port = (int(a) for a in sys.argv[1:4])
expected_body = open(sys.argv[4], "rb").read()
failures = 0


def check(name, ok, detail=""):
    global failures
    print(("ok   " if ok else "FAIL ") + name + ("" if ok else "  " + repr(detail)))
    if not ok:
        failures += 1


def connect():
    s = socket.create_connection(("127.0.0.1", proxy_port), timeout=15)
    s.settimeout(15)
    return s


def read_exactly(s, n):
    data = b""
    while len(data) < n:
        chunk = s.recv(n - len(data))
        if not chunk:
            break
        data += chunk
    return data


def read_all(s):
    data = b""
    while True:
        try:
            chunk = s.recv(65536)
        except (ConnectionResetError, socket.timeout):
            break
        if not chunk:
            break
        data += chunk
    return data


def closed_by_engine(s, timeout):
    """True when the engine ends the connection (end of stream or reset) within timeout without answering."""
    s.settimeout(timeout)
    try:
        return s.recv(1) == b""
    except ConnectionResetError:
        return True
    except socket.timeout:
        return False


def socks_request(command, address_type, address, port):
    """Greets, sends one request, returns (socket, reply bytes)."""
    s = connect()
    s.sendall(b"\x05\x01\x00")
    greeting = read_exactly(s, 2)
    if greeting != b"\x05\x00":
        return s, b"greeting " + greeting
    s.sendall(bytes([5, command, 0, address_type]) + address + struct.pack(">H", port))
    head = read_exactly(s, 4)
    if len(head) < 4:
        return s, head
    rest = read_exactly(s, {1: 4, 4: 16}.get(head[3], 0) + 2)
    return s, head + rest


def ipv4(text):
    return socket.inet_aton(text)


def domain(name):
    return bytes([len(name)]) + name


# Methods: only "no authentication" is acceptable.
s = connect()
s.sendall(b"\x05\x02\x01\x02")
check("socks5 without an acceptable method gets 0xFF", read_all(s) == b"\x05\xff")
s.close()

# CONNECT by domain name: the engine resolves "127.0.0.1" itself.
s, reply = socks_request(1, 3, domain(b"127.0.0.1"), http_port)
check("socks5 domain CONNECT succeeds with an IPv4 bound address",
      reply[:4] == b"\x05\x00\x00\x01" and len(reply) == 10, reply)
s.sendall(b"GET /hello.txt HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n")
response = read_all(s)
check("socks5 domain CONNECT relays the file", response.endswith(b"\r\n\r\n" + expected_body), response[:200])
s.close()

cases = [
    ("BIND", 2, 1, ipv4("127.0.0.1"), http_port, 0x07),
    ("UDP ASSOCIATE", 3, 1, ipv4("0.0.0.0"), 0, 0x07),
    ("unknown address type", 1, 9, ipv4("127.0.0.1"), http_port, 0x08),
    ("closed port", 1, 1, ipv4("127.0.0.1"), closed_port, 0x05),
    ("domain with a NUL byte", 1, 3, domain(b"a\x00b"), 80, 0x04),
]
for name, command, address_type, address, port, expected in cases:
    s, reply = socks_request(command, address_type, address, port)
    check("socks5 %s gets reply 0x%02x" % (name, expected), len(reply) >= 2 and reply[1] == expected, reply)
    s.close()

# Hostile input: truncated requests, a wrong version, random bytes; each must just end the connection.
for name, data in [("truncated greeting", b"\x05\x05\x00"), ("truncated request", b"\x05\x01\x00\x05\x01\x00\x03\x20ab"),
                   ("wrong request version", b"\x05\x01\x00\x04\x01\x00\x01\x7f\x00\x00\x01\x00\x50"),
                   ("binary garbage", bytes(range(256)) * 80)]:
    s = connect()
    try:
        s.sendall(data)
        s.shutdown(socket.SHUT_WR)
    except (BrokenPipeError, ConnectionResetError):
        pass
    read_all(s)
    s.close()


def http_exchange(request):
    s = connect()
    try:
        s.sendall(request)
    except (BrokenPipeError, ConnectionResetError):
        pass
    response = read_all(s)
    s.close()
    return response


def status_of(response):
    return response.split(b"\r\n", 1)[0]


for name, request, status in [
    ("origin-form request", b"GET /hello.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", b"HTTP/1.1 400 Bad Request"),
    ("malformed request line", b"GARBAGE\r\n\r\n", b"HTTP/1.1 400 Bad Request"),
    ("https absolute URI", b"GET https://127.0.0.1/ HTTP/1.1\r\n\r\n", b"HTTP/1.1 400 Bad Request"),
    ("CONNECT without a port", b"CONNECT 127.0.0.1 HTTP/1.1\r\n\r\n", b"HTTP/1.1 400 Bad Request"),
    ("oversized head", b"GET http://127.0.0.1/ HTTP/1.1\r\nX: " + b"a" * 40000 + b"\r\n\r\n",
     b"HTTP/1.1 400 Bad Request"),
    ("unreachable origin", b"GET http://127.0.0.1:%d/ HTTP/1.1\r\n\r\n" % closed_port, b"HTTP/1.1 502 Bad Gateway"),
    ("unreachable CONNECT", b"CONNECT 127.0.0.1:%d HTTP/1.1\r\n\r\n" % closed_port, b"HTTP/1.1 502 Bad Gateway"),
]:
    response = http_exchange(request)
    check("http %s gets %s" % (name, status.decode()), status_of(response) == status, response[:200])

# The engine is still serving after all of that.
s, reply = socks_request(1, 1, ipv4("127.0.0.1"), http_port)
check("engine still serves after hostile input", reply[:2] == b"\x05\x00", reply)
s.close()


def start_echo_server():
    """A loopback server that echoes everything back and closes after the client's half-close."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)

    def serve():
        connection, _ = listener.accept()
        with connection:
            while True:
                data = connection.recv(65536)
                if not data:
                    break
                connection.sendall(data)
        listener.close()

    threading.Thread(target=serve, daemon=True).start()
    return listener.getsockname()[1]


def echo_through(name, s, size=3 * 1024 * 1024):
    """Sends size random bytes while reading the echo, then half-closes: the relay must keep both directions
    moving (no deadlock when both sides write at once) and pass the half-close on."""
    payload = os.urandom(size)
    received = []
    ended = []

    def reader():
        try:
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    ended.append(True)  # the server's close came through
                    break
                received.append(chunk)
        except OSError:
            pass

    thread = threading.Thread(target=reader)
    thread.start()
    s.sendall(payload)
    s.shutdown(socket.SHUT_WR)
    thread.join(60)
    echoed = b"".join(received)
    check(name, ended and hashlib.sha256(echoed).digest() == hashlib.sha256(payload).digest(),
          "%d of %d bytes" % (len(echoed), size))
    s.close()


s, reply = socks_request(1, 1, ipv4("127.0.0.1"), start_echo_server())
echo_through("socks5 relay echoes 3 MB both ways and passes the half-close", s)

echo_port = start_echo_server()
s = connect()
s.sendall(b"CONNECT 127.0.0.1:%d HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n\r\n" % (echo_port, echo_port))
established = read_exactly(s, len(b"HTTP/1.1 200 Connection established\r\n\r\n"))
check("http CONNECT answers 200", established == b"HTTP/1.1 200 Connection established\r\n\r\n", established)
echo_through("http CONNECT tunnel echoes 3 MB both ways", s)

# Proxy headers must not reach the origin, and the request body follows the rewritten head.
response = http_exchange(b"GET http://127.0.0.1:%d/hello.txt HTTP/1.1\r\nProxy-Connection: keep-alive\r\n"
                         b"Connection: keep-alive\r\n\r\n" % http_port)
check("http plain GET with keep-alive headers returns the file and closes",
      response.startswith(b"HTTP/1.0 200") and response.endswith(expected_body), response[:200])

# At most 256 clients at once: the next one is closed at once. Clients that stall in the handshake are dropped
# after the engine's handshake timeout (10 s), which frees the slots again.
stalled = []
for _ in range(256):
    c = connect()
    c.sendall(b"\x05\x02\x00")  # a greeting that promises one more method byte
    stalled.append(c)
extra = connect()
try:
    extra.sendall(b"\x05\x01\x00")
except (BrokenPipeError, ConnectionResetError):
    pass
check("client 257 is turned away while 256 are open", closed_by_engine(extra, 5))
extra.close()
dropped = 0
for c in stalled:
    if closed_by_engine(c, 30):
        dropped += 1
    c.close()
check("stalled handshakes are dropped", dropped == len(stalled), "%d of %d" % (dropped, len(stalled)))
s, reply = socks_request(1, 1, ipv4("127.0.0.1"), http_port)
check("slots are free again after the stalled clients are dropped", reply[:2] == b"\x05\x00", reply)
s.close()

sys.exit(1 if failures else 0)
