#!/usr/bin/env python3
"""The board's front door under attack, as a hostile client would try it: raw sockets on loopback
against a real zorb-server (run from the build directory). Each attack is checked against its
answer and its bound: oversized heads, chunked, encoded and slow bodies on every route, many
ranges, slow connections from one address and from ten while an honest player is still answered,
keep-alive, the connection caps, and the server's memory (its RSS, read from /proc) under 64 of
the worst connections at once. Every loop is bounded in count and time."""

import http.client
import os
import resource
import select
import socket
import subprocess
import sys
import tempfile
import threading
import time

FAILURES = []
# Under the sanitizers the server's memory is the sanitizers' own: its figures are printed, not held.
SANITIZED = os.environ.get("ZORB_SANITIZED") == "1"
KEY = "0123456789abcdef0123456789abcdef"
MIB = 1 << 20


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        FAILURES.append(what)


def rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def connect(port, source="127.0.0.1", timeout=5.0):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind((source, 0))
    s.settimeout(timeout)
    s.connect(("127.0.0.1", port))
    return s


def wait_for(s, seconds, writing=False):
    """Whether s can be read (or written, when writing) within seconds: poll, which takes the
    descriptors past 1,024 that select cannot."""
    p = select.poll()
    p.register(s, select.POLLIN | (select.POLLOUT if writing else 0))
    events = p.poll(max(0, int(seconds * 1000)))
    return [e for _, e in events]


def closed_by_server(s, seconds):
    """Whether the server ends the connection (or refuses it) within seconds, reading what it says."""
    end = time.monotonic() + seconds
    while True:
        if not wait_for(s, end - time.monotonic()):
            return False
        try:
            if not s.recv(65536):
                return True
        except OSError:
            return True
        if time.monotonic() >= end:
            return False


def exchange(port, head, filler=0, chunk=b"x" * 65536, source="127.0.0.1"):
    """Sends head, then up to filler bytes of chunk until the server answers or closes. The
    answer's status (0: none) and the filler bytes sent."""
    s = connect(port, source)
    s.sendall(head)
    s.setblocking(False)
    sent = 0
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        events = wait_for(s, 5, sent < filler)
        events = events[0] if events else 0
        if events & (select.POLLIN | select.POLLHUP | select.POLLERR) or not events:
            break
        try:
            sent += s.send(chunk)
        except BlockingIOError:
            pass
        except OSError:
            break
    s.setblocking(True)
    s.settimeout(5)
    try:
        answer = s.recv(4096)
    except OSError:
        answer = b""
    s.close()
    parts = answer.split(b" ", 2)
    return (int(parts[1]) if len(parts) > 1 and parts[1].isdigit() else 0), sent


class Server:
    def __init__(self, folder, *args):
        self.log = open(os.path.join(folder, "server.log"), "w+")
        self.process = subprocess.Popen(
            ["./zorb-server", "--listen", "127.0.0.1:0", "--data", folder, "--workers", "0",
             "--reads-a-minute", "100000000", *args], stdout=self.log, stderr=subprocess.STDOUT)
        self.port = 0
        for _ in range(100):
            self.log.seek(0)
            text = self.log.read()
            if "listening on" in text:
                self.port = int(text.split("listening on http://127.0.0.1:")[1].split()[0])
                return
            time.sleep(0.1)
        sys.exit("the server did not start:\n" + text)

    def rss(self):
        return rss_mib(self.process.pid)

    def stop(self):
        self.process.terminate()
        return self.process.wait(30)


def honest_get(port, path="/", timeout=1.0):
    """The status of an honest GET answered within timeout, or 0."""
    try:
        c = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout)
        c.request("GET", path)
        status = c.getresponse().status
        c.close()
        return status
    except OSError:
        return 0


def upload(port, run, key=KEY):
    c = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    c.request("POST", "/api/v1/runs", body=run,
              headers={"X-Zorb-Player": "ATTACK", "X-Zorb-Key": key})
    answer = c.getresponse()
    body = answer.read()
    c.close()
    return answer.status, body


def heads(port, server):
    lines = b"".join(b"X-H%d: v\r\n" % k for k in range(101))
    cases = [
        ("101 header lines", b"GET / HTTP/1.1\r\nHost: x\r\n" + lines + b"\r\n", 431),
        ("a header line of 9,000 bytes",
         b"GET / HTTP/1.1\r\nHost: x\r\nX-Big: " + b"a" * 9000 + b"\r\n\r\n", 431),
        ("40 header lines of 900 bytes (36 KB)",
         b"GET / HTTP/1.1\r\nHost: x\r\n" +
         b"".join(b"X-H%d: %s\r\n" % (k, b"a" * 890) for k in range(40)) + b"\r\n", 431),
        ("a request line of 9,000 bytes", b"GET /" + b"a" * 9000 + b" HTTP/1.1\r\nHost: x\r\n\r\n",
         414),
        ("a header line of 9,000 bytes ending in a bare LF",
         b"GET / HTTP/1.1\r\nHost: x\r\nX-Big: " + b"a" * 9000 + b"\n\r\n", 431),
    ]
    for what, head, status in cases:
        got, _ = exchange(port, head)
        check(got == status, f"{what}: {got} (wanted {status})")
    before = server.rss()
    streamed = [
        ("a header line of 256 MB", b"GET / HTTP/1.1\r\nHost: x\r\nX-Big: ", b"a" * 65536, 431),
        ("100,000 header lines of 8,000 bytes", b"GET / HTTP/1.1\r\nHost: x\r\n",
         b"".join(b"X-H: " + b"a" * 7993 + b"\r\n" for _ in range(8)), 431),
        ("a request line of 128 MB", b"GET /", b"a" * 65536, 414),
    ]
    for what, head, chunk, status in streamed:
        got, sent = exchange(port, head, 256 * MIB, chunk)
        check(got == status and sent < 16 * MIB,
              f"{what}, streamed: {got} after {sent / MIB:.1f} MiB (wanted {status} within 16)")
    grew = server.rss() - before
    check(SANITIZED or grew < 16, f"the server's RSS grew {grew:.1f} MiB under streamed heads")


ROUTES = [("POST", "/api/v1/runs"), ("POST", "/api/v1/sessions"),
          ("POST", "/api/v1/sessions/" + "a" * 32 + "." + "b" * 64 + "/end"),
          ("POST", "/nowhere"), ("GET", "/"), ("GET", "/api/v1/leaderboard"), ("PUT", "/x")]


def head_of(method, path, extra):
    return (f"{method} {path} HTTP/1.1\r\nHost: x\r\nX-Zorb-Player: A\r\nX-Zorb-Key: {KEY}\r\n"
            + extra + "\r\n").encode()


def slow_body(port, method, path, results):
    s = connect(port)
    s.sendall(head_of(method, path, "Content-Length: 1000\r\n"))
    started = time.monotonic()
    for _ in range(40):  # a byte each 0.2 s: 8 s at most, the deadline is 2 s
        try:
            s.send(b"{")
        except OSError:
            break
        if closed_by_server(s, 0.2):
            break
    results[path] = time.monotonic() - started
    s.close()


def bodies(port):
    chunked = "Transfer-Encoding: chunked\r\n"
    for method, path in ROUTES:
        got, sent = exchange(port, head_of(method, path, chunked) + b"4000000\r\n", 100 * MIB)
        check(got == 411 and sent < 16 * MIB,
              f"{method} {path}, 100 MiB chunked: {got} after {sent / MIB:.1f} MiB")
        got, _ = exchange(port, head_of(method, path, "Content-Length: 10\r\nContent-Encoding: gzip\r\n"))
        check(got == 415, f"{method} {path}, gzip: {got}")
    # A body sent a byte at a time is cut off at its deadline (2 s here) on every route that takes
    # one; the others refuse any body at once.
    results = {}
    takers = ROUTES[:3]
    threads = [threading.Thread(target=slow_body, args=(port, m, p, results)) for m, p in takers]
    for t in threads:
        t.start()
    for t in threads:
        t.join(15)
    for method, path in takers:
        took = results.get(path, 99)
        check(1.5 <= took <= 4, f"{method} {path}, a byte each 0.2 s: ended after {took:.1f} s")
    for method, path in ROUTES[3:]:
        got, _ = exchange(port, head_of(method, path, "Content-Length: 1000\r\n"))
        check(got == 413, f"{method} {path} with a body: {got}")


def ranges(port, run):
    status, body = upload(port, run)
    check(status == 202, f"an honest upload: {status}")
    if status != 202:
        return
    run_id = int(body.split(b'"id":')[1].split(b",")[0].split(b"}")[0])
    path = f"/api/v1/runs/{run_id}/file"
    for header, want_status, want_size in [("bytes=0-" + ",0-" * 99, 200, len(run)),
                                           ("bytes=0-9", 206, 10)]:
        c = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
        c.request("GET", path, headers={"Range": header})
        answer = c.getresponse()
        size = len(answer.read())
        c.close()
        check(answer.status == want_status and size == want_size,
              f"Range {header[:20]}...: {answer.status}, {size} bytes "
              f"(wanted {want_status}, {want_size})")


def trickle(sockets, seconds):
    """Sends the start of a head, then a byte a second on each socket for seconds."""
    end = time.monotonic() + seconds
    while time.monotonic() < end and sockets:
        for s in list(sockets):
            try:
                s.send(b"X")
            except OSError:
                sockets.remove(s)
        time.sleep(1)


def open_slow(port, source, count):
    kept = []
    for _ in range(count):
        try:
            s = connect(port, source, timeout=2)
            s.send(b"GET / HTTP/1.1\r\nHost: x\r\nX-Slow: ")
            kept.append(s)
        except OSError:
            pass
    return kept


def still_open(sockets, wait):
    """The sockets the server has not closed after wait seconds."""
    time.sleep(wait)
    return [s for s in sockets if not closed_by_server(s, 0)]


def probes(port, seconds, worst):
    """Honest GET / every 0.5 s for seconds; the slowest answer goes into worst[0]."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        started = time.monotonic()
        status = honest_get(port, "/", 1.0)
        took = time.monotonic() - started if status == 200 else 99
        worst[0] = max(worst[0], took)
        time.sleep(0.5)


def slow_clients(port):
    slow = open_slow(port, "127.0.0.12", 200)
    alive = still_open(slow, 1.0)
    check(len(alive) <= 16, f"200 slow connections from one address: {len(alive)} kept (at most 16)")
    worst = [0.0]
    probe = threading.Thread(target=probes, args=(port, 3, worst))
    probe.start()
    trickle(alive, 3)
    probe.join()
    check(worst[0] < 1.0, f"an honest GET / beside them: slowest {worst[0]:.2f} s")
    for s in slow:
        s.close()

    many = []
    for k in range(2, 12):
        many += open_slow(port, f"127.0.0.{k}", 30)
    alive = still_open(many, 0.5)
    check(len(alive) <= 160, f"300 slow connections from ten addresses: {len(alive)} kept")
    worst = [0.0]
    probe = threading.Thread(target=probes, args=(port, 12, worst))
    probe.start()
    trickle(alive, 12)  # past the 10 s the head is due in
    probe.join()
    left = still_open(alive, 0)
    check(worst[0] < 1.0, f"an honest GET / beside them for 12 s: slowest {worst[0]:.2f} s")
    check(not left, f"their heads never came whole: {len(left)} still open after 12 s")
    for s in many:
        s.close()


def keep_alive(port):
    c = http.client.HTTPConnection("127.0.0.1", port, timeout=5)
    statuses = []
    for path in ["/api/v1/health", "/api/v1/leaderboard"]:
        c.request("GET", path)
        answer = c.getresponse()
        answer.read()
        statuses.append(answer.status)
    kept = c.sock is not None
    check(statuses == [200, 200] and kept, f"two requests on one kept connection: {statuses}")
    if kept:
        started = time.monotonic()
        closed = closed_by_server(c.sock, 8)
        took = time.monotonic() - started
        check(closed and 4 <= took <= 7, f"the kept connection, idle, closed after {took:.1f} s")
    c.close()


def worst_uploads(port, server):
    """64 connections from four addresses, each with a head of 28 KB and an upload's 4 MiB body sent
    but its last byte, all at once."""
    idle = server.rss()
    pad = "".join(f"X-Pad-{k}: {'p' * 990}\r\n" for k in range(28))
    kept, peak, statuses = [], idle, []
    for k in range(64):
        try:
            s = connect(port, f"127.0.0.{20 + k // 16}")
            key = f"{k:032x}"
            s.sendall((f"POST /api/v1/runs HTTP/1.1\r\nHost: x\r\nX-Zorb-Player: W\r\n"
                       f"X-Zorb-Key: {key}\r\nContent-Length: {4 * MIB}\r\n{pad}\r\n").encode())
            s.setblocking(False)
            kept.append([s, 4 * MIB - 1])
        except OSError:
            pass
    end = time.monotonic() + 20
    block = b"\0" * 65536
    while time.monotonic() < end and any(left > 0 for _, left in kept):
        for pair in kept:
            s, left = pair
            if left <= 0:
                continue
            try:
                pair[1] -= s.send(block[:min(left, len(block))])
            except BlockingIOError:
                pass
            except OSError:
                pair[1] = 0
        peak = max(peak, server.rss())
        time.sleep(0.01)
    for _ in range(20):
        peak = max(peak, server.rss())
        time.sleep(0.1)
    for s, _ in kept:
        s.setblocking(True)
        s.settimeout(0.2)
        try:
            answer = s.recv(64)
            statuses.append(answer.split(b" ")[1].decode() if answer else "closed")
        except OSError:
            statuses.append("held")
    busy = statuses.count("503")
    print(f"      the 64: {statuses.count('held')} held, {busy} answered 503", flush=True)
    check(busy > 0, "uploads past the held bytes are told the board is busy")
    grew = peak - idle
    check(SANITIZED or grew <= 64,
          f"64 worst connections: RSS {idle:.0f} MiB idle, {peak:.0f} MiB at most (+{grew:.0f})")
    for s, _ in kept:
        s.close()
    after = server.rss()
    for _ in range(80):
        after = server.rss()
        if after - idle <= 16:
            break
        time.sleep(0.1)
    check(SANITIZED or after - idle <= 16, f"once they closed: {after:.0f} MiB")


def connection_cap(port):
    """1,050 connections from 70 addresses: at most 1,024 are kept; once they go, a player is
    answered again."""
    crowd = []
    for k in range(70):
        for _ in range(15):
            try:
                crowd.append(connect(port, f"127.0.1.{k + 1}", timeout=2))
            except OSError:
                pass
    alive = still_open(crowd, 1.0)
    check(len(alive) <= 1024, f"1,050 connections from 70 addresses: {len(alive)} kept")
    for s in crowd:
        s.close()
    status = 0
    for _ in range(50):
        status = honest_get(port, "/", 1.0)
        if status == 200:
            break
        time.sleep(0.1)
    check(status == 200, f"once they went, an honest GET /: {status}")


def main():
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, min(hard, 4096)), hard))
    source = os.path.dirname(os.path.abspath(__file__))
    with tempfile.TemporaryDirectory() as folder:
        run_file = os.path.join(folder, "run.zrun")
        subprocess.run(["bash", "-c", f'fail() {{ echo "$*"; exit 1; }}; work="{folder}"; '
                        f'. "{source}/record_run.sh"; record 3 "{run_file}"'], check=True)
        with open(run_file, "rb") as f:
            run = f.read()
        server = Server(folder, "--body-seconds", "2")
        try:
            for attack in [lambda: heads(server.port, server), lambda: bodies(server.port),
                           lambda: ranges(server.port, run), lambda: slow_clients(server.port),
                           lambda: keep_alive(server.port),
                           lambda: worst_uploads(server.port, server),
                           lambda: connection_cap(server.port)]:
                attack()
            check(server.process.poll() is None, "the server is still up")
        finally:
            status = server.stop()
        check(status == 0, f"the server stopped in order: exit status {status}")
    if FAILURES:
        sys.exit(f"{len(FAILURES)} attacks were not held: " + "; ".join(FAILURES))


if __name__ == "__main__":
    main()
