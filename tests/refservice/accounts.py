"""Users, their tokens and the SMS codes the service has sent."""

import secrets
import threading
from dataclasses import asdict, dataclass, field


@dataclass
class User:
    mobile: str
    user_id: int
    token: str
    username: str
    password: str = ""
    software_id: str = ""
    software_username: str = ""
    is_overseas: str = "0"
    own_categories: list[str] = field(default_factory=list)

    def is_first(self) -> int:
        # Until a password is set the client treats every sign-in as the first
        # one and leads the user to set it.
        return 0 if self.password else 1

    def sign_in_result(self) -> dict:
        return {"token": self.token, "is_first": self.is_first(), "user_id": self.user_id,
                "username": self.username, "software_id": self.software_id,
                "software_username": self.software_username, "is_overseas": self.is_overseas}


@dataclass
class SmsCode:
    mobile: str
    code: str
    type: str
    area_code: str


def demo_users() -> list[User]:
    return [
        User(mobile="13800138000", user_id=1001, token="5f0c2a9e7b1d4c38a6e2f9d1b0c7a345",
             username="13800138000", password="demo1234", own_categories=["1", "3"]),
        User(mobile="13900139000", user_id=1002, token="a81e4d6c2f0b9e3d7c5a1f8e4b2d6c90",
             username="张伟", password="mima5678", software_id="1",
             software_username="13900139000"),
    ]


class Accounts:
    """All account state behind one lock; each method is one whole transaction."""

    FIRST_NEW_USER_ID = 2001

    def __init__(self):
        self._lock = threading.Lock()
        self.reset()

    def reset(self):
        with self._lock:
            self._users = {user.mobile: user for user in demo_users()}
            self._sms = {}
            self._next_user_id = self.FIRST_NEW_USER_ID

    def send_code(self, mobile: str, code_type: str, area_code: str) -> SmsCode:
        sms = SmsCode(mobile, "%06d" % secrets.randbelow(1000000), code_type, area_code)
        with self._lock:
            self._sms[mobile] = sms
        return sms

    def last_code(self, mobile: str) -> SmsCode | None:
        with self._lock:
            return self._sms.get(mobile)

    def take_code(self, mobile: str, code: str, code_type: str) -> bool:
        """Whether the code is the last one sent to the mobile for that use; it is then spent."""
        with self._lock:
            sms = self._sms.get(mobile)
            if sms is None or not code or sms.code != code or sms.type != code_type:
                return False
            del self._sms[mobile]
            return True

    def sign_in_by_code(self, mobile: str) -> dict:
        """The result of a code sign-in; an unknown mobile number becomes a new user."""
        with self._lock:
            return self._user_or_new(mobile).sign_in_result()

    def sign_in_by_password(self, mobile: str, password: str) -> dict | None:
        with self._lock:
            user = self._users.get(mobile)
            if user is None or not user.password or user.password != password:
                return None
            return user.sign_in_result()

    def sign_in_by_token(self, token: str, name: str) -> dict | None:
        """The saved token with the saved user name, which is the name or the mobile number."""
        with self._lock:
            user = self._user_by_token(token)
            if user is None or name not in (user.username, user.mobile):
                return None
            return user.sign_in_result()

    def is_valid_token(self, token: str) -> bool:
        with self._lock:
            return self._user_by_token(token) is not None

    def set_password(self, token: str, password: str) -> bool:
        with self._lock:
            user = self._user_by_token(token)
            if user is None:
                return False
            user.password = password
            return True

    def bind_accelerator(self, token: str, software_id: str, software_username: str) -> bool:
        with self._lock:
            user = self._user_by_token(token)
            if user is None:
                return False
            user.software_id = software_id
            user.software_username = software_username
            return True

    def own_categories(self, token: str) -> list[str] | None:
        with self._lock:
            user = self._user_by_token(token)
            return None if user is None else list(user.own_categories)

    def add_own_category(self, token: str, category_id: str) -> bool:
        with self._lock:
            user = self._user_by_token(token)
            if user is None:
                return False
            if category_id not in user.own_categories:
                user.own_categories.append(category_id)
            return True

    def user(self, mobile: str) -> dict | None:
        with self._lock:
            user = self._users.get(mobile)
            return None if user is None else asdict(user)

    def put_user(self, fields: dict) -> dict:
        """Creates or changes the user of fields["mobile"] for a test; unnamed fields stay."""
        unknown = set(fields) - set(User.__dataclass_fields__)
        if unknown:
            raise ValueError("unknown user fields: %s" % ", ".join(sorted(unknown)))
        mobile = str(fields["mobile"])
        with self._lock:
            user = self._user_or_new(mobile)
            for name, value in fields.items():
                setattr(user, name, mobile if name == "mobile" else value)
            return asdict(user)

    def _user_or_new(self, mobile: str) -> User:
        user = self._users.get(mobile)
        if user is None:
            user = User(mobile=mobile, user_id=self._next_user_id, token=secrets.token_hex(16),
                        username=mobile)
            self._next_user_id += 1
            self._users[mobile] = user
        return user

    def _user_by_token(self, token: str) -> User | None:
        if not token:
            return None
        return next((user for user in self._users.values() if user.token == token), None)
