"""How each fault kind shapes the answer to a request."""

import base64

import wire
import xxtea
from faults import Fault
from response import Response, json_response, text_response

ERROR_PAGE = ("<html><head><title>502 Bad Gateway</title></head>"
              "<body><h1>502 Bad Gateway</h1></body></html>")


def replacing_reply(fault: Fault, data_key: bytes) -> Response:
    """The answer of a fault that stands in for the service's own answer."""
    kind = fault.kind
    if kind == "status":
        return text_response(fault.status_or(500), "injected status")
    if kind == "empty":
        return Response(200, b"")
    if kind == "drop":
        return Response(drop=True)
    if kind == "not_json":
        return text_response(200, ERROR_PAGE, "text/html")
    if kind == "json_array":
        return json_response(200, b'[{"code":10001,"message":"","data":""}]')
    if kind == "null":
        return json_response(200, b"null")
    if kind == "code_string":
        return json_response(200, wire.envelope(str(wire.SUCCESS), fault.message,
                                                xxtea.make_data_text(b"{}", data_key)))
    if kind == "bad_data":
        return _success_with_data(_undecipherable_data(data_key))
    if kind == "short_data":
        return _success_with_data(base64.b64encode(xxtea.encrypt(b"short", data_key)).decode())
    if kind == "prefix_only":
        return _success_with_data(xxtea.make_data_text(b"", data_key), result="")
    if kind == "empty_data":
        return _success_with_data("")
    if kind == "code":
        return json_response(200, wire.failure(fault.code, fault.message))
    if kind == "result":
        return _success_with_data(xxtea.make_data_text(fault.text.encode("utf-8"), data_key),
                                  result=fault.text)
    if kind == "raw":
        return text_response(fault.status_or(200), fault.body)
    if kind == "redirect":
        return Response(fault.status_or(302), b"", [("Location", fault.location)])
    raise ValueError("fault kind %s does not replace the answer" % kind)


def shaped_reply(fault: Fault, reply: Response) -> Response:
    """The service's own answer, sent the way the fault asks."""
    kind = fault.kind
    if kind == "status":
        reply.status = fault.status_or(500)
    elif kind == "slow":
        reply.delay = fault.seconds
    elif kind == "gzip":
        reply.gzipped()
    elif kind == "truncate":
        reply.send_only = fault.bytes if fault.bytes > 0 else len(reply.body) // 2
    elif kind == "throttle":
        reply.rate = max(fault.rate, 1)
    return reply


def _success_with_data(data: str, result: str | None = None) -> Response:
    response = json_response(200, wire.envelope(wire.SUCCESS, "", data))
    response.result = result
    return response


def _undecipherable_data(data_key: bytes) -> str:
    # A whole block under the right key whose length word names more bytes
    # than the block holds, so only the length check can refuse it.
    words = xxtea.plaintext_words(b"0123456789{}")
    words[-1] = 4 * len(words) + 64
    return base64.b64encode(xxtea.pack_words(xxtea.encrypt_words(words, data_key))).decode()
