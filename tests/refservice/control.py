"""The "/__control/" interface through which tests steer and inspect the service."""

import hashlib
import json
import os
from dataclasses import asdict
from urllib.parse import parse_qs

from response import Response, json_response

CONFIG_FIELDS = ("update_text", "service", "upload_plugins")


class ControlError(Exception):
    def __init__(self, status: int, message: str):
        super().__init__(message)
        self.status = status


class Control:
    def __init__(self, service):
        self._service = service
        self._endpoints = {
            ("GET", "ping"): self._ping,
            ("POST", "reset"): self._reset,
            ("POST", "fault"): self._add_fault,
            ("POST", "clear-faults"): self._clear_faults,
            ("GET", "faults"): self._faults,
            ("GET", "journal"): self._journal,
            ("GET", "sms"): self._sms,
            ("GET", "user"): self._user,
            ("POST", "user"): self._put_user,
            ("GET", "config"): self._config,
            ("POST", "config"): self._put_config,
            ("POST", "file"): self._add_file,
            ("POST", "game"): self._add_game,
        }

    def handle(self, listener: str, method: str, name: str, query: str, body: bytes) -> Response:
        endpoint = self._endpoints.get((method, name))
        if endpoint is None:
            return _json(404, {"error": "no control endpoint %s %s" % (method, name)})
        params = {key: values[-1] for key, values in parse_qs(query).items()}
        try:
            return _json(200, endpoint(listener=listener, params=params, body=body))
        except ControlError as error:
            return _json(error.status, {"error": str(error)})

    def _ping(self, listener, **_):
        return {"listener": listener, "pid": os.getpid()}

    def _reset(self, **_):
        self._service.reset()
        return {"ok": True}

    def _add_fault(self, body, **_):
        try:
            return asdict(self._service.faults.add(_json_object(body)))
        except ValueError as error:
            raise ControlError(400, str(error)) from error

    def _clear_faults(self, body, **_):
        self._service.faults.clear(_json_object(body).get("path") if body else None)
        return {"ok": True}

    def _faults(self, **_):
        return self._service.faults.listing()

    def _journal(self, params, **_):
        return self._service.journal.entries(params.get("path"))

    def _sms(self, params, **_):
        sms = self._service.accounts.last_code(_required(params, "mobile"))
        if sms is None:
            raise ControlError(404, "no code was sent to that number")
        return asdict(sms)

    def _user(self, params, **_):
        user = self._service.accounts.user(_required(params, "mobile"))
        if user is None:
            raise ControlError(404, "no such user")
        return user

    def _put_user(self, body, **_):
        fields = _json_object(body)
        if "mobile" not in fields:
            raise ControlError(400, "a user needs a mobile number")
        try:
            return self._service.accounts.put_user(fields)
        except ValueError as error:
            raise ControlError(400, str(error)) from error

    def _config(self, **_):
        return asdict(self._service.config)

    def _put_config(self, body, **_):
        fields = _json_object(body)
        unknown = set(fields) - set(CONFIG_FIELDS)
        if unknown:
            raise ControlError(400, "unknown config fields: %s" % ", ".join(sorted(unknown)))
        for name, value in fields.items():
            setattr(self._service.config, name, str(value))
        return asdict(self._service.config)

    def _add_file(self, params, body, **_):
        name = _required(params, "name")
        try:
            self._service.store.add(name, body)
        except ValueError as error:
            raise ControlError(400, str(error)) from error
        return {"url": self._service.base_url + "/files/" + name, "size": len(body),
                "md5": hashlib.md5(body).hexdigest()}

    def _add_game(self, params, body, **_):
        try:
            return self._service.box.catalogue.add_game(_required(params, "category_id"), _json_object(body))
        except ValueError as error:
            raise ControlError(400, str(error)) from error


def _json(status: int, value) -> Response:
    return json_response(status, json.dumps(value, ensure_ascii=False).encode("utf-8"))


def _json_object(body: bytes) -> dict:
    try:
        value = json.loads(body.decode("utf-8")) if body else {}
    except (UnicodeDecodeError, json.JSONDecodeError) as error:
        raise ControlError(400, "the body is not JSON: %s" % error) from error
    if not isinstance(value, dict):
        raise ControlError(400, "the body must be a JSON object")
    return value


def _required(params: dict, name: str) -> str:
    if name not in params:
        raise ControlError(400, "missing query parameter %s" % name)
    return params[name]
