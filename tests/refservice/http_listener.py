"""A threaded HTTPS listener that hands every request to the service."""

import errno
import socket
import socketserver
import ssl
import time
import traceback
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from response import Response, text_response

# A paced body goes out in about this many writes a second (at least a byte each).
RATE_STEPS_PER_SECOND = 10


class RequestHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "RefService/1.0"
    # An idle keep-alive connection ends after this many seconds.
    timeout = 120

    def do_GET(self):
        self._serve()

    def do_HEAD(self):
        self._serve()

    def do_POST(self):
        self._serve()

    def log_message(self, format, *args):
        self.server.log("%s %s" % (self.address_string(), format % args))

    def _serve(self):
        path, _, query = self.path.partition("?")
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        try:
            response = self.server.service.handle(self.server.name, self.command, path, query,
                                                  list(self.headers.items()), body)
        except Exception:
            # A fault of the service itself must not look like an injected drop.
            self.server.log(traceback.format_exc())
            response = text_response(500, "reference service error")
        try:
            self._send(response)
        except OSError as error:
            # The client gave up (a cancelled download, a time-out): nothing to answer.
            self.server.log("%s %s: client went away (%s)" % (self.command, path, error))
            self.close_connection = True

    def _send(self, response: Response):
        if response.delay:
            time.sleep(response.delay)
        if response.drop:
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        self.send_response(response.status)
        for name, value in response.headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(response.body)))
        self.end_headers()
        if self.command == "HEAD":
            return
        if response.send_only is not None:
            self.wfile.write(response.body[:response.send_only])
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
        elif response.rate:
            self._send_paced(response.body, response.rate)
        else:
            self.wfile.write(response.body)

    def _send_paced(self, body: bytes, rate: int):
        step = max(1, rate // RATE_STEPS_PER_SECOND)
        for start in range(0, len(body), step):
            self.wfile.write(body[start:start + step])
            self.wfile.flush()
            time.sleep(step / rate)


class TlsListener(ThreadingHTTPServer):
    """One listening address; TLS is set up on the request's own thread, so a
    client that stalls in the handshake holds up nobody else."""
    daemon_threads = True

    def __init__(self, name: str, address: tuple[str, int], tls: ssl.SSLContext, log):
        super().__init__(address, RequestHandler, bind_and_activate=False)
        self.name = name
        self.service = None
        self.log = log
        self._tls = tls

    def bind_waiting(self, seconds: float):
        """Binds, waiting up to the given seconds for another process to free the address."""
        deadline = time.monotonic() + seconds
        told = False
        while True:
            try:
                # The plain TCP bind: the HTTP one looks up the host's name,
                # which can stall on a machine without name service.
                socketserver.TCPServer.server_bind(self)
                self.server_name, self.server_port = self.server_address[:2]
                self.server_activate()
                return
            except OSError as error:
                if error.errno != errno.EADDRINUSE or time.monotonic() >= deadline:
                    raise
                if not told:
                    self.log("%s:%d is in use; waiting" % self.server_address)
                    told = True
                time.sleep(0.5)

    def finish_request(self, request, client_address):
        request.settimeout(RequestHandler.timeout)
        try:
            connection = self._tls.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as error:
            self.log("TLS handshake with %s failed: %s" % (client_address[0], error))
            return
        try:
            super().finish_request(connection, client_address)
        finally:
            connection.close()
