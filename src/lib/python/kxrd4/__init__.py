"""kxrd4: the KX-RD4 motion controller from Python.

A layer over libkxrd4 (ctypes over its C API), the library the window and the
command line share. Every controller is a handle of its own, usable from its
own thread; calls on one controller from several threads wait for each other.
``kxrd4.open(emulator=True)`` gives an emulated KX-RD4 inside the process, so
that every script runs without hardware.

    import kxrd4
    kxrd4.controllers()                          # serial, port, path of each KX-RD4
    with kxrd4.open(serial="A-17") as c:         # or port=, path=, or emulator=True
        prog = kxrd4.Program.from_listing(text)
        c.send_program(3, prog)                  # force=True sends a program with errors
        c.read_program(3)                        # -> Program
        c.run(3); c.stop_program(3)
        c.get("vmax"); c.set("vmax", 1200)
        c.enable(True); c.move(10000, wait=True, timeout=30); c.home(wait=True)
        c.stop()
        c.status()                               # .position .velocity .at_rest
        b = c.backup(); c.restore(b); c.diff(b)
    kxrd4.check(programs, program=0)             # findings: .program .line .error .text
    kxrd4.simulate(programs, program=0, until=60)  # .cycle_time .faults .samples

Failures raise kxrd4.Error or one of its subclasses; the message is the
library's, in English. Positions are steps, velocities steps/s, times seconds.
"""

from __future__ import annotations

import builtins
import ctypes
import re
from dataclasses import dataclass, field
from typing import Iterable, Iterator, List, Optional, Sequence, Tuple, Union

from . import _native
from ._native import lib as _lib

__all__ = [
    "Error", "NoControllerError", "SeveralControllersError", "TimeoutError",
    "DisconnectedError", "BusyError", "ProgramRefusedError", "NotVerifiedError",
    "NotCarriedOutError", "ParseError", "InvalidArgumentError", "AccessError",
    "InterruptedError", "ControllerInfo", "Controller", "Program", "Programs", "Finding",
    "DryRun", "Fault", "Sample", "Status", "Backup", "RestoreItem", "RestoreReport",
    "Difference", "Differences", "controllers", "open", "check", "simulate",
    "library_version", "__version__",
]

PROGRAMS = 10
LINES = 25
LINE_BYTES = 8
PROGRAM_BYTES = LINES * LINE_BYTES
PROGRAM_SET_BYTES = PROGRAMS * PROGRAM_BYTES


def library_version() -> str:
    """The version of the libkxrd4 loaded, "1.0.0"."""
    return _lib.kxrd4_version_string().decode()


__version__ = library_version()
if _lib.kxrd4_version() >> 16 != _native.MAJOR:
    raise ImportError(f"kxrd4 needs libkxrd4 {_native.MAJOR}.x, found {__version__}")


# ---- Exceptions ---------------------------------------------------------------

class Error(Exception):
    """A failure of libkxrd4: .status is the C status name, the message its text."""

    def __init__(self, message: str, status: str = "KXRD4_ERROR") -> None:
        super().__init__(message)
        self.status = status


class NoControllerError(Error):
    """No KX-RD4 is plugged, or none that the serial, port or path names."""


class SeveralControllersError(Error):
    """Several KX-RD4s are plugged and none was named."""


class TimeoutError(Error, builtins.TimeoutError):
    """No answer in time, or the axis was not at rest within the wait."""


class DisconnectedError(Error):
    """The controller went away."""


class BusyError(Error):
    """Another program holds the controller for a transfer of its own."""


class ProgramRefusedError(Error):
    """The program check found errors; nothing was sent. .findings says what."""

    def __init__(self, message: str, status: str, findings: List["Finding"]) -> None:
        super().__init__(message, status)
        self.findings = findings


class NotVerifiedError(Error):
    """A restore in which an item differs or failed. .report holds every item."""

    def __init__(self, message: str, status: str, report: "RestoreReport") -> None:
        super().__init__(message, status)
        self.report = report


class NotCarriedOutError(Error):
    """The axis did not take the move or homing (ENABLE off, V max or A max 0)."""


class ParseError(Error, ValueError):
    """A listing or backup text that does not read; the message names the line."""


class InvalidArgumentError(Error, ValueError):
    """A number out of range, an unknown parameter name, a value not offered."""


class AccessError(Error, PermissionError):
    """The controller may only be queried: no permission (install the udev rule)."""


class InterruptedError(Error):
    """Controller.interrupt() ended the wait."""


_EXCEPTIONS = {
    "KXRD4_INVALID_ARGUMENT": InvalidArgumentError,
    "KXRD4_NO_CONTROLLER": NoControllerError,
    "KXRD4_SEVERAL_CONTROLLERS": SeveralControllersError,
    "KXRD4_TIMEOUT": TimeoutError,
    "KXRD4_DISCONNECTED": DisconnectedError,
    "KXRD4_BUSY": BusyError,
    "KXRD4_NOT_CARRIED_OUT": NotCarriedOutError,
    "KXRD4_PARSE_ERROR": ParseError,
    "KXRD4_NO_ACCESS": AccessError,
    "KXRD4_INTERRUPTED": InterruptedError,
}


def _status_name(status: int) -> str:
    return _lib.kxrd4_status_name(status).decode()


def _error(status: int) -> Error:
    """The exception for a failed call, with this thread's message."""
    name = _status_name(status)
    if name == "KXRD4_NO_MEMORY":
        return Error("out of memory", name)
    message = _lib.kxrd4_thread_error().decode("utf-8", "replace")
    return _EXCEPTIONS.get(name, Error)(message, name)


def _check(status: int) -> None:
    if status != 0:
        raise _error(status)


def _take_text(pointer: ctypes.c_void_p) -> str:
    """Text the library handed out, freed here."""
    try:
        return ctypes.string_at(pointer).decode("utf-8", "replace")
    finally:
        _lib.kxrd4_free(pointer)


def _text(value: Optional[bytes]) -> str:
    return value.decode("utf-8", "replace") if value else ""


class _Handle:
    """Owns one opaque handle of the library and frees it once."""

    _free = "kxrd4_free"

    def __init__(self, handle: ctypes.c_void_p) -> None:
        self._handle = handle

    def __del__(self) -> None:
        handle = getattr(self, "_handle", None)
        if handle:
            getattr(_lib, self._free)(handle)
            self._handle = ctypes.c_void_p()


class _Programs(_Handle):
    _free = "kxrd4_programs_free"


def _new_programs(data: bytes) -> _Programs:
    handle = ctypes.c_void_p()
    _check(_lib.kxrd4_programs_from_bytes(data, len(data), ctypes.byref(handle)))
    return _Programs(handle)


# ---- Programs -------------------------------------------------------------------

_HEADER = re.compile(r"^\s*P\d\s*$", re.MULTILINE)


def _parse_listing(text: str, clamp: bool) -> bytes:
    data = text.encode("utf-8")
    handle = ctypes.c_void_p()
    _check(_lib.kxrd4_programs_from_listing(data, len(data), int(clamp), ctypes.byref(handle)))
    owner = _Programs(handle)
    buffer = ctypes.create_string_buffer(PROGRAM_SET_BYTES)
    _check(_lib.kxrd4_programs_bytes(owner._handle, buffer, PROGRAM_SET_BYTES))
    return buffer.raw


def _listing(data: bytes, program: int, raw: bool) -> str:
    owner = _new_programs(data)
    text = ctypes.c_void_p()
    _check(_lib.kxrd4_programs_listing(owner._handle, program, int(raw), ctypes.byref(text)))
    return _take_text(text)


class Program:
    """One program: 25 lines of 8 bytes (200 bytes), as the controller holds it."""

    def __init__(self, data: bytes = bytes(PROGRAM_BYTES)) -> None:
        data = bytes(data)
        if len(data) != PROGRAM_BYTES:
            raise InvalidArgumentError(f"a program is {PROGRAM_BYTES} bytes, not {len(data)}",
                                       "KXRD4_INVALID_ARGUMENT")
        self._data = data

    @classmethod
    def from_bytes(cls, data: bytes) -> "Program":
        """The program of 200 bytes (25 lines of 8)."""
        return cls(data)

    @classmethod
    def from_listing(cls, text: str, clamp: bool = False) -> "Program":
        """A program from its listing ("[00]  M_EN", "[01]  X_DST  +0001000", ...).

        The listing may start with one "Pn" header; a listing of several programs
        belongs in Programs.from_listing. With clamp, numbers beyond their range
        are clamped; without, they raise ParseError.
        """
        headers = _HEADER.findall(text)
        if len(headers) > 1:
            raise ParseError("the listing holds several programs: read it with "
                             "Programs.from_listing", "KXRD4_PARSE_ERROR")
        number = int(headers[0].strip()[1]) if headers else 0
        data = _parse_listing(text if headers else "P0\n" + text, clamp)
        return cls(data[number * PROGRAM_BYTES:(number + 1) * PROGRAM_BYTES])

    def listing(self, number: int = 0, raw: bool = False) -> str:
        """The listing, headed "P<number>"; with raw each line ends with its bytes,
        so that it reads back exactly."""
        programs = Programs()
        programs[number] = self
        return programs.listing(number, raw)

    def line(self, index: int) -> bytes:
        """The 8 bytes of line index (0..24)."""
        if not 0 <= index < LINES:
            raise IndexError(f"line {index} is not 0..24")
        return self._data[index * LINE_BYTES:(index + 1) * LINE_BYTES]

    def __bytes__(self) -> bytes:
        return self._data

    def __eq__(self, other: object) -> bool:
        return isinstance(other, Program) and other._data == self._data

    def __hash__(self) -> int:
        return hash(self._data)

    def __repr__(self) -> str:
        used = sum(1 for i in range(LINES) if any(self.line(i)))
        return f"<kxrd4.Program: {used} of 25 lines used>"


class Programs:
    """The ten programs P0..P9 (2000 bytes, the content of a .kxp file)."""

    def __init__(self, data: bytes = bytes(PROGRAM_SET_BYTES)) -> None:
        data = bytes(data)
        if len(data) != PROGRAM_SET_BYTES:
            raise InvalidArgumentError(
                f"a program file holds exactly {PROGRAM_SET_BYTES} bytes, not {len(data)}",
                "KXRD4_INVALID_ARGUMENT")
        self._data = bytearray(data)

    @classmethod
    def from_bytes(cls, data: bytes) -> "Programs":
        """The ten programs from the 2000 bytes of a .kxp file."""
        return cls(data)

    @classmethod
    def from_file(cls, path: str) -> "Programs":
        """A .kxp file."""
        with builtins.open(path, "rb") as f:
            return cls(f.read())

    @classmethod
    def from_listing(cls, text: str, clamp: bool = False) -> "Programs":
        """The programs of a listing ("P3" heads program 3); programs it lacks are empty."""
        return cls(_parse_listing(text, clamp))

    def listing(self, program: Optional[int] = None, raw: bool = False) -> str:
        """The listing of one program, or of all ten."""
        return _listing(bytes(self._data), -1 if program is None else _number(program), raw)

    def __getitem__(self, program: int) -> Program:
        p = _number(program)
        return Program(bytes(self._data[p * PROGRAM_BYTES:(p + 1) * PROGRAM_BYTES]))

    def __setitem__(self, program: int, value: Program) -> None:
        p = _number(program)
        self._data[p * PROGRAM_BYTES:(p + 1) * PROGRAM_BYTES] = bytes(value)

    def __iter__(self) -> Iterator[Program]:
        return (self[p] for p in range(PROGRAMS))

    def __len__(self) -> int:
        return PROGRAMS

    def __bytes__(self) -> bytes:
        return bytes(self._data)

    def __eq__(self, other: object) -> bool:
        return isinstance(other, Programs) and other._data == self._data

    def __repr__(self) -> str:
        used = [p for p in range(PROGRAMS) if any(bytes(self[p]))]
        return f"<kxrd4.Programs: {', '.join(f'P{p}' for p in used) or 'empty'}>"


def _number(program: int) -> int:
    if not isinstance(program, int) or not 0 <= program < PROGRAMS:
        raise InvalidArgumentError(f"program {program} is not 0 to 9", "KXRD4_INVALID_ARGUMENT")
    return program


ProgramsLike = Union[Program, Programs]


def _as_programs(programs: ProgramsLike, program: int) -> Programs:
    """A Program stands at its number among otherwise empty programs."""
    if isinstance(programs, Program):
        result = Programs()
        result[program] = programs
        return result
    if isinstance(programs, Programs):
        return programs
    raise TypeError("expected kxrd4.Program or kxrd4.Programs")


# ---- The check and the dry run ------------------------------------------------

@dataclass(frozen=True)
class Finding:
    """What the program check found at a line: .error (else a warning), .text."""

    program: int
    line: int
    error: bool
    code: str
    text: str
    last_line: int


def _findings(handle: ctypes.c_void_p) -> List[Finding]:
    result = []
    try:
        for i in range(_lib.kxrd4_findings_count(handle)):
            f = _native.Finding()
            _check(_lib.kxrd4_findings_get(handle, i, ctypes.byref(f)))
            result.append(Finding(f.program, f.line, bool(f.is_error), _text(f.code),
                                  _text(f.text), f.last_line))
    finally:
        _lib.kxrd4_findings_free(handle)
    return result


def check(programs: ProgramsLike, program: Optional[int] = 0) -> List[Finding]:
    """Checks program (from its line 0, as the controller runs it, following jumps
    into other programs) without a controller; program=None checks every program
    that has a line. Errors are the faults the controller would end it with."""
    owner = _new_programs(bytes(_as_programs(programs, program or 0)))
    handle = ctypes.c_void_p()
    _check(_lib.kxrd4_check(owner._handle, -1 if program is None else _number(program),
                            ctypes.byref(handle)))
    return _findings(handle)


@dataclass(frozen=True)
class Fault:
    """A fault of the dry run: when (s), where, why."""

    time: float
    program: int
    line: int
    reason: str


@dataclass(frozen=True)
class Sample:
    time: float
    position: int
    velocity: int


@dataclass(frozen=True)
class DryRun:
    """A dry run: .cycle_time (s; None when the program did not end within the
    limit), .faults, .samples, and what it waits for at the limit."""

    ended: bool
    cycle_time: Optional[float]
    faults: List[Fault]
    samples: List[Sample]
    waiting: str  # "nothing", "input", "axis", "time", "running"
    program: int
    line: int

    @property
    def clean(self) -> bool:
        """It ended without a fault."""
        return self.ended and not self.faults


_WAITING = ["nothing", "input", "axis", "time", "running"]


def simulate(programs: ProgramsLike, program: int = 0, until: float = 60.0,
             inputs: Iterable[Tuple[float, int, bool]] = (),
             parameters: Optional["Backup"] = None, sample_every: float = 0.01) -> DryRun:
    """Runs program in an emulated controller from its power-on state (ENABLE off;
    with parameters, a backup's) for up to until seconds, far faster than real time.
    inputs: (time s, input 0|1, on) changes; sample_every: seconds between samples
    (0: none)."""
    owner = _new_programs(bytes(_as_programs(programs, program)))
    changes = [(round(t * 1000), i, on) for t, i, on in inputs]
    array = (_native.InputChange * max(1, len(changes)))()
    for k, (t, i, on) in enumerate(changes):
        array[k] = _native.InputChange(t, i, int(bool(on)))
    handle = ctypes.c_void_p()
    _check(_lib.kxrd4_simulate(owner._handle, _number(program), round(until * 1000), array,
                               len(changes), parameters._handle if parameters else None,
                               round(sample_every * 1000), ctypes.byref(handle)))
    try:
        r = _native.DryRunResult()
        _check(_lib.kxrd4_dry_run_result_get(handle, ctypes.byref(r)))
        faults = []
        for i in range(r.fault_count):
            f = _native.Fault()
            _check(_lib.kxrd4_dry_run_fault(handle, i, ctypes.byref(f)))
            faults.append(Fault(f.time_ms / 1000, f.program, f.line, _text(f.reason)))
        pointer = ctypes.POINTER(_native.Sample)()
        count = ctypes.c_size_t()
        _check(_lib.kxrd4_dry_run_samples(handle, ctypes.byref(pointer), ctypes.byref(count)))
        samples = [Sample(pointer[i].time_ms / 1000, pointer[i].position, pointer[i].velocity)
                   for i in range(count.value)]
    finally:
        _lib.kxrd4_dry_run_free(handle)
    ended = bool(r.ended)
    return DryRun(ended, r.end_ms / 1000 if ended else None, faults, samples,
                  _WAITING[r.waiting] if 0 <= r.waiting < len(_WAITING) else "running",
                  r.program, r.line)


# ---- Backups ---------------------------------------------------------------------

class Backup(_Handle):
    """A controller's parameters and programs: the content of a .kxb file."""

    _free = "kxrd4_backup_free"

    @classmethod
    def from_text(cls, text: str) -> "Backup":
        """A .kxb text; ParseError names the line that does not read."""
        data = text.encode("utf-8")
        handle = ctypes.c_void_p()
        _check(_lib.kxrd4_backup_parse(data, len(data), ctypes.byref(handle)))
        return cls(handle)

    @classmethod
    def from_file(cls, path: str) -> "Backup":
        with builtins.open(path, encoding="utf-8") as f:
            return cls.from_text(f.read())

    def text(self) -> str:
        """The .kxb text."""
        pointer = ctypes.c_void_p()
        _check(_lib.kxrd4_backup_text(self._handle, ctypes.byref(pointer)))
        return _take_text(pointer)

    def save(self, path: str) -> None:
        with builtins.open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(self.text())

    def parameter(self, name: str) -> Optional[int]:
        """The parameter's value (home: its velocity), None when it holds none."""
        value = ctypes.c_int32()
        status = _lib.kxrd4_backup_parameter(self._handle, name.encode(), ctypes.byref(value),
                                             None)
        return value.value if status == 0 else None

    @property
    def programs(self) -> Programs:
        handle = ctypes.c_void_p()
        _check(_lib.kxrd4_backup_programs(self._handle, ctypes.byref(handle)))
        owner = _Programs(handle)
        buffer = ctypes.create_string_buffer(PROGRAM_SET_BYTES)
        _check(_lib.kxrd4_programs_bytes(owner._handle, buffer, PROGRAM_SET_BYTES))
        return Programs(buffer.raw)

    def compare(self, other: "Backup") -> "Differences":
        """What differs between this backup (a) and other (b)."""
        handle = ctypes.c_void_p()
        _check(_lib.kxrd4_backup_compare(self._handle, other._handle, ctypes.byref(handle)))
        return Differences._take(handle)


@dataclass(frozen=True)
class RestoreItem:
    """One item of a restore: "verified", "DIFFERS", "FAILED", "unverified" or
    "not restored", with the file's value and what the controller holds."""

    name: str
    result: str
    file: str
    controller: str


_ITEM_RESULTS = ["verified", "DIFFERS", "FAILED", "unverified", "not restored"]


@dataclass(frozen=True)
class RestoreReport:
    """A restore item by item; .verified when every item written was read back the same."""

    items: List[RestoreItem]
    verified: bool

    def __iter__(self) -> Iterator[RestoreItem]:
        return iter(self.items)

    def __len__(self) -> int:
        return len(self.items)


@dataclass(frozen=True)
class Difference:
    item: str  # "vmax", "P3 line 05"
    a: str
    b: str


@dataclass(frozen=True)
class Differences:
    """Two sides compared: the differences, and .same when there are none at all
    (also nothing that only one side holds)."""

    items: List[Difference]
    same: bool
    text: str = field(repr=False)  # as diff -u

    def __iter__(self) -> Iterator[Difference]:
        return iter(self.items)

    def __len__(self) -> int:
        return len(self.items)

    def __bool__(self) -> bool:
        return not self.same

    @staticmethod
    def _take(handle: ctypes.c_void_p, a: str = "a", b: str = "b") -> "Differences":
        try:
            items = []
            for i in range(_lib.kxrd4_differences_count(handle)):
                d = _native.Difference()
                _check(_lib.kxrd4_differences_get(handle, i, ctypes.byref(d)))
                items.append(Difference(_text(d.item), _text(d.a), _text(d.b)))
            pointer = ctypes.c_void_p()
            _check(_lib.kxrd4_differences_text(handle, a.encode(), b.encode(),
                                               ctypes.byref(pointer)))
            return Differences(items, bool(_lib.kxrd4_differences_same(handle)),
                               _take_text(pointer))
        finally:
            _lib.kxrd4_differences_free(handle)


# ---- Controllers -------------------------------------------------------------------

@dataclass(frozen=True)
class ControllerInfo:
    """A KX-RD4 plugged: serial number, USB port, device path ("" when unknown)."""

    serial: str
    port: str
    path: str


def controllers() -> List[ControllerInfo]:
    """The KX-RD4s plugged in now."""
    handle = ctypes.c_void_p()
    _check(_lib.kxrd4_list(ctypes.byref(handle)))
    try:
        return [ControllerInfo(_text(_lib.kxrd4_device_list_serial(handle, i)),
                               _text(_lib.kxrd4_device_list_port(handle, i)),
                               _text(_lib.kxrd4_device_list_path(handle, i)))
                for i in range(_lib.kxrd4_device_list_count(handle))]
    finally:
        _lib.kxrd4_device_list_free(handle)


@dataclass(frozen=True)
class Status:
    position: int
    velocity: int
    at_rest: bool


def _ms(seconds: float) -> int:
    if seconds <= 0:
        raise InvalidArgumentError("a time-out is above 0 seconds", "KXRD4_INVALID_ARGUMENT")
    return max(1, round(seconds * 1000))


class Controller:
    """One open KX-RD4 (use kxrd4.open). A context manager: the with block closes it.

    Calls from several threads on one controller wait for each other; use one
    controller per thread to drive several at once."""

    def __init__(self, handle: ctypes.c_void_p) -> None:
        self._handle = handle
        self.serial: str = _text(_lib.kxrd4_controller_serial(handle))
        self.port: str = _text(_lib.kxrd4_controller_port(handle))
        self.path: str = _text(_lib.kxrd4_controller_path(handle))

    def __enter__(self) -> "Controller":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    def __del__(self) -> None:
        self.close()

    def __repr__(self) -> str:
        return f"<kxrd4.Controller serial={self.serial!r} path={self.path!r}>"

    def close(self) -> None:
        """Lets go of the controller (the axis keeps what it does)."""
        handle = getattr(self, "_handle", None)
        if handle:
            self._handle = None
            _lib.kxrd4_close(handle)

    def _h(self) -> ctypes.c_void_p:
        if not self._handle:
            raise Error("the controller is closed", "KXRD4_INVALID_ARGUMENT")
        return self._handle

    def interrupt(self) -> None:
        """Ends the wait another thread's call on this controller is in
        (InterruptedError there). Sends nothing: stop the axis with stop()."""
        if self._handle:
            _lib.kxrd4_interrupt(self._handle)

    # programs
    def send_program(self, number: int, program: ProgramsLike, force: bool = False
                     ) -> List[Finding]:
        """Sends program (a Program, or that number of a Programs) as program number
        and waits until the controller reports it stored. The program check runs
        first: with errors ProgramRefusedError (nothing sent) unless force. Returns
        the findings (warnings)."""
        owner = _new_programs(bytes(_as_programs(program, _number(number))))
        findings = ctypes.c_void_p()
        status = _lib.kxrd4_send_program(self._h(), owner._handle, number, int(force),
                                         ctypes.byref(findings))
        error = _error(status) if status != 0 else None
        found = _findings(findings) if findings else []
        if error is not None:
            if error.status == "KXRD4_PROGRAM_REFUSED":
                raise ProgramRefusedError(str(error), error.status, found)
            raise error
        return found

    def read_program(self, number: int) -> Program:
        """Reads program number from the controller."""
        owner = _new_programs(bytes(PROGRAM_SET_BYTES))
        _check(_lib.kxrd4_read_program(self._h(), _number(number), owner._handle))
        buffer = ctypes.create_string_buffer(PROGRAM_SET_BYTES)
        _check(_lib.kxrd4_programs_bytes(owner._handle, buffer, PROGRAM_SET_BYTES))
        return Program(buffer.raw[number * PROGRAM_BYTES:(number + 1) * PROGRAM_BYTES])

    def run(self, number: int) -> None:
        """Starts program number on the controller (halting a running one)."""
        _check(_lib.kxrd4_run(self._h(), _number(number)))

    def stop_program(self, number: int) -> None:
        """Halts the running program."""
        _check(_lib.kxrd4_stop_program(self._h(), _number(number)))

    # parameters
    def get(self, name: str) -> int:
        """A parameter by the command line's name (vmin, vmax, amax, home, vdst,
        xdst, xdef, vdef, wdef); home gives its velocity (see get_home)."""
        value = ctypes.c_int32()
        _check(_lib.kxrd4_get(self._h(), name.encode(), ctypes.byref(value), None))
        return value.value

    def get_home(self) -> Tuple[int, str]:
        """The homing velocity and contact type ("NO" or "NC")."""
        value = ctypes.c_int32()
        contact = ctypes.c_int()
        _check(_lib.kxrd4_get(self._h(), b"home", ctypes.byref(value), ctypes.byref(contact)))
        return value.value, "NC" if contact.value == 1 else "NO"

    def set(self, name: str, value: int, contact: Optional[str] = None) -> None:
        """Writes a parameter; a value outside its range (or one its list does not
        offer) raises InvalidArgumentError with nothing sent. home takes contact
        "NO" or "NC" and starts a homing; vdst and xdst move the axis."""
        if contact not in (None, "NO", "NC"):
            raise InvalidArgumentError('contact is "NO" or "NC"', "KXRD4_INVALID_ARGUMENT")
        _check(_lib.kxrd4_set(self._h(), name.encode(), value, 1 if contact == "NC" else 0))

    # motion
    def enable(self, on: bool = True) -> None:
        """ENABLE on or off (off stops the motor at once)."""
        _check(_lib.kxrd4_enable(self._h(), int(bool(on))))

    def jog(self, step: int, velocity: bool = False) -> None:
        """Moves the target (or with velocity the velocity) by step (±1..1000)."""
        _check(_lib.kxrd4_jog(self._h(), 1 if velocity else 0, step))

    def move(self, target: int, wait: bool = False, timeout: float = 60.0) -> None:
        """Moves to target; with wait returns once the axis rests there
        (NotCarriedOutError when it stands elsewhere, TimeoutError after timeout s)."""
        _check(_lib.kxrd4_move(self._h(), target, int(wait), _ms(timeout)))

    def home(self, wait: bool = False, timeout: float = 60.0) -> None:
        """Homes at the controller's homing velocity and contact type; with wait
        returns once the axis rests at 0 after moving."""
        _check(_lib.kxrd4_home(self._h(), int(wait), _ms(timeout)))

    def stop(self) -> None:
        """Decelerates to a stop at A max (the position stays true)."""
        _check(_lib.kxrd4_stop(self._h()))

    def brake(self) -> None:
        """Stops at once (a stop from speed may lose steps)."""
        _check(_lib.kxrd4_brake(self._h()))

    def status(self) -> Status:
        """Position, velocity and whether the axis is at rest."""
        axis = _native.Axis()
        _check(_lib.kxrd4_axis_get(self._h(), ctypes.byref(axis)))
        return Status(axis.position, axis.velocity, bool(axis.at_rest))

    # the whole controller
    def backup(self) -> Backup:
        """Every readable parameter and the ten programs."""
        handle = ctypes.c_void_p()
        _check(_lib.kxrd4_backup_read(self._h(), ctypes.byref(handle)))
        return Backup(handle)

    def restore(self, backup: Backup, programs: bool = True, parameters: bool = True,
                homing: bool = False) -> RestoreReport:
        """Writes the backup's programs and parameters (never vdst and xdst; home
        only with homing, which starts a homing), reads everything back and
        compares. NotVerifiedError (with .report) when an item differs or failed."""
        parts = (1 if programs else 0) | (2 if parameters else 0) | (4 if homing else 0)
        handle = ctypes.c_void_p()
        status = _lib.kxrd4_restore(self._h(), backup._handle, parts, ctypes.byref(handle))
        error = _error(status) if status != 0 else None
        if not handle:
            assert error is not None
            raise error
        try:
            items = []
            for i in range(_lib.kxrd4_restore_report_count(handle)):
                it = _native.RestoreItem()
                _check(_lib.kxrd4_restore_report_get(handle, i, ctypes.byref(it)))
                items.append(RestoreItem(_text(it.name), _ITEM_RESULTS[it.result],
                                         _text(it.file), _text(it.controller)))
            report = RestoreReport(items, bool(_lib.kxrd4_restore_report_verified(handle)))
        finally:
            _lib.kxrd4_restore_report_free(handle)
        if error is not None:
            raise NotVerifiedError(str(error), error.status, report)
        return report

    def diff(self, backup: Backup) -> Differences:
        """The controller (a) against backup (b)."""
        handle = ctypes.c_void_p()
        _check(_lib.kxrd4_diff(self._h(), backup._handle, ctypes.byref(handle)))
        return Differences._take(handle, f"KX-RD4 at {self.path}", "backup")


def open(serial: Optional[str] = None, port: Optional[str] = None, path: Optional[str] = None,
         emulator: bool = False, timeout: float = 1.0) -> Controller:
    """Opens a KX-RD4: the one with serial, in port or at path; without any, the only
    one plugged (SeveralControllersError when there are more). With emulator, an
    emulated KX-RD4 of its own in this process (serial names it, default "DEMO-1").
    timeout: how long each reply is awaited, in seconds."""
    handle = ctypes.c_void_p()
    ms = _ms(timeout)
    if emulator:
        if port is not None or path is not None:
            raise InvalidArgumentError("an emulated controller takes a serial only",
                                       "KXRD4_INVALID_ARGUMENT")
        _check(_lib.kxrd4_open_emulator((serial or "").encode(), ms, ctypes.byref(handle)))
        return Controller(handle)
    given = [(kind, value) for kind, value in ((1, serial), (2, port), (3, path))
             if value is not None]
    if len(given) > 1:
        raise InvalidArgumentError("name the controller by one of serial, port or path",
                                   "KXRD4_INVALID_ARGUMENT")
    kind, value = given[0] if given else (0, None)
    _check(_lib.kxrd4_open(kind, value.encode() if value is not None else None, ms,
                           ctypes.byref(handle)))
    return Controller(handle)
