"""Runs the reference web service on its API and fallback listeners until SIGTERM or SIGINT.

Addresses and secrets come from the command line or, by default, from the
variables of scripts/service-settings.sh in the environment. A port of 0
takes any free port. Once both listeners accept, "ready.json" in the state
folder names the process and the bound addresses.
"""

import argparse
import json
import os
import signal
import ssl
import subprocess
import sys
import threading
import time
from pathlib import Path

import demo_packages
from http_listener import TlsListener
from service import Service

HERE = Path(__file__).resolve().parent
FALLBACK_PORT = 4880


def parse_settings(argv: list[str]) -> argparse.Namespace:
    env = os.environ
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--state-dir", required=True, type=Path,
                        help="folder for the certificate, ready.json and the generated files"
                             " (files/: demo packages made at start, installers put there by the build)")
    parser.add_argument("--api-address", default=env.get("SERVICE_API_ADDRESS", "127.0.0.1"))
    parser.add_argument("--api-port", type=int, default=int(env.get("SERVICE_API_PORT", "48443")))
    parser.add_argument("--fallback-address", default=env.get("SERVICE_FALLBACK_IP", "127.0.0.2"))
    parser.add_argument("--fallback-port", type=int,
                        default=int(env.get("SERVICE_FALLBACK_PORT", FALLBACK_PORT)))
    parser.add_argument("--salt", default=env.get("SERVICE_SIGN_SALT"))
    parser.add_argument("--data-key", default=env.get("SERVICE_DATA_KEY"))
    parser.add_argument("--files", type=Path, default=HERE / "files",
                        help="folder of the files served under /files/")
    parser.add_argument("--bind-wait", type=float, default=0,
                        help="seconds to wait for an address that another process holds")
    settings = parser.parse_args(argv)
    if not settings.salt or not settings.data_key:
        parser.error("the signing salt and the data key are needed (SERVICE_SIGN_SALT, SERVICE_DATA_KEY)")
    return settings


def log(text: str):
    sys.stderr.write("%s %s\n" % (time.strftime("%H:%M:%S"), text))
    sys.stderr.flush()


def make_tls_context(state_dir: Path, addresses: list[str]) -> ssl.SSLContext:
    """A fresh self-signed certificate for the listening addresses; the client does not verify it."""
    cert, key = state_dir / "tls-cert.pem", state_dir / "tls-key.pem"
    names = ",".join("IP:" + address for address in addresses)
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30",
                    "-keyout", str(key), "-out", str(cert), "-subj", "/CN=" + addresses[0],
                    "-addext", "subjectAltName=" + names],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def main(argv: list[str]) -> int:
    settings = parse_settings(argv)
    settings.state_dir.mkdir(parents=True, exist_ok=True)
    ready_file = settings.state_dir / "ready.json"
    ready_file.unlink(missing_ok=True)
    tls = make_tls_context(settings.state_dir, [settings.api_address, settings.fallback_address])
    listeners = [TlsListener("api", (settings.api_address, settings.api_port), tls, log),
                 TlsListener("fallback", (settings.fallback_address, settings.fallback_port), tls, log)]
    for listener in listeners:
        listener.bind_waiting(settings.bind_wait)
    api_address, api_port = listeners[0].server_address[:2]
    generated = settings.state_dir / "files"
    demo_packages.write_demo_packages(generated / "packages")
    service = Service(settings.salt.encode(), settings.data_key.encode(),
                      "https://%s:%d" % (api_address, api_port), settings.files, generated)
    for listener in listeners:
        listener.service = service
        threading.Thread(target=listener.serve_forever, args=(0.1,), name=listener.name,
                         daemon=True).start()

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    ready_file.write_text(json.dumps({"pid": os.getpid(), **{
        listener.name: list(listener.server_address[:2]) for listener in listeners}}))
    log("serving: " + ", ".join("%s https://%s:%d" % ((l.name,) + l.server_address[:2])
                                for l in listeners))
    while not stop.wait(0.5):
        pass
    for listener in listeners:
        listener.shutdown()
        listener.server_close()
    ready_file.unlink(missing_ok=True)
    log("stopped")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
