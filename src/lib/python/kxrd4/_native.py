"""The C API of libkxrd4 as ctypes sees it: the library loaded, every function
given its argument and result types, and the structures of the header."""

from __future__ import annotations

import ctypes
import os
import sys
from ctypes import (POINTER, Structure, c_char_p, c_int, c_int32, c_int64, c_size_t,
                    c_uint, c_uint32, c_void_p)

MAJOR = 1


class Finding(Structure):
    _fields_ = [("program", c_int), ("line", c_int), ("last_line", c_int),
                ("is_error", c_int), ("code", c_char_p), ("text", c_char_p)]


class InputChange(Structure):
    _fields_ = [("time_ms", c_int64), ("input", c_int), ("on", c_int)]


class DryRunResult(Structure):
    _fields_ = [("ended", c_int), ("end_ms", c_int64), ("waiting", c_int),
                ("program", c_int), ("line", c_int), ("wait_input", c_int),
                ("wait_state", c_int), ("fault_count", c_size_t),
                ("sample_count", c_size_t)]


class Fault(Structure):
    _fields_ = [("time_ms", c_int64), ("program", c_int), ("line", c_int),
                ("reason", c_char_p)]


class Sample(Structure):
    _fields_ = [("time_ms", c_int64), ("position", c_int32), ("velocity", c_int32)]


class Axis(Structure):
    _fields_ = [("position", c_int32), ("velocity", c_int32), ("at_rest", c_int)]


class RestoreItem(Structure):
    _fields_ = [("name", c_char_p), ("result", c_int), ("file", c_char_p),
                ("controller", c_char_p)]


class Difference(Structure):
    _fields_ = [("item", c_char_p), ("a", c_char_p), ("b", c_char_p)]


def _load() -> ctypes.CDLL:
    explicit = os.environ.get("KXRD4_LIBRARY")
    if explicit:
        return ctypes.CDLL(explicit)
    if sys.platform == "win32":
        here = os.path.dirname(os.path.abspath(__file__))
        for folder in (here, os.path.dirname(here), os.path.dirname(os.path.dirname(here))):
            candidate = os.path.join(folder, "kxrd4.dll")
            if os.path.exists(candidate):
                return ctypes.CDLL(candidate)
        return ctypes.CDLL("kxrd4.dll")
    return ctypes.CDLL(f"libkxrd4.so.{MAJOR}")


lib = _load()

_P = c_void_p  # every opaque handle
_status = c_int

_signatures = {
    "kxrd4_version": (c_uint32, []),
    "kxrd4_version_string": (c_char_p, []),
    "kxrd4_status_name": (c_char_p, [c_int]),
    "kxrd4_thread_error": (c_char_p, []),
    "kxrd4_controller_error": (c_size_t, [_P, c_char_p, c_size_t]),
    "kxrd4_free": (None, [c_void_p]),
    "kxrd4_list": (_status, [POINTER(_P)]),
    "kxrd4_device_list_count": (c_size_t, [_P]),
    "kxrd4_device_list_serial": (c_char_p, [_P, c_size_t]),
    "kxrd4_device_list_port": (c_char_p, [_P, c_size_t]),
    "kxrd4_device_list_path": (c_char_p, [_P, c_size_t]),
    "kxrd4_device_list_free": (None, [_P]),
    "kxrd4_open": (_status, [c_int, c_char_p, c_uint32, POINTER(_P)]),
    "kxrd4_open_emulator": (_status, [c_char_p, c_uint32, POINTER(_P)]),
    "kxrd4_close": (None, [_P]),
    "kxrd4_controller_serial": (c_char_p, [_P]),
    "kxrd4_controller_port": (c_char_p, [_P]),
    "kxrd4_controller_path": (c_char_p, [_P]),
    "kxrd4_interrupt": (None, [_P]),
    "kxrd4_programs_new": (_status, [POINTER(_P)]),
    "kxrd4_programs_from_bytes": (_status, [c_char_p, c_size_t, POINTER(_P)]),
    "kxrd4_programs_from_listing": (_status, [c_char_p, c_size_t, c_int, POINTER(_P)]),
    "kxrd4_programs_bytes": (_status, [_P, c_char_p, c_size_t]),
    "kxrd4_programs_listing": (_status, [_P, c_int, c_int, POINTER(c_void_p)]),
    "kxrd4_programs_free": (None, [_P]),
    "kxrd4_check": (_status, [_P, c_int, POINTER(_P)]),
    "kxrd4_findings_count": (c_size_t, [_P]),
    "kxrd4_findings_get": (_status, [_P, c_size_t, POINTER(Finding)]),
    "kxrd4_findings_free": (None, [_P]),
    "kxrd4_simulate": (_status, [_P, c_int, c_int64, POINTER(InputChange), c_size_t, _P,
                                 c_int, POINTER(_P)]),
    "kxrd4_dry_run_result_get": (_status, [_P, POINTER(DryRunResult)]),
    "kxrd4_dry_run_fault": (_status, [_P, c_size_t, POINTER(Fault)]),
    "kxrd4_dry_run_samples": (_status, [_P, POINTER(POINTER(Sample)), POINTER(c_size_t)]),
    "kxrd4_dry_run_free": (None, [_P]),
    "kxrd4_send_program": (_status, [_P, _P, c_int, c_int, POINTER(_P)]),
    "kxrd4_read_program": (_status, [_P, c_int, _P]),
    "kxrd4_run": (_status, [_P, c_int]),
    "kxrd4_stop_program": (_status, [_P, c_int]),
    "kxrd4_get": (_status, [_P, c_char_p, POINTER(c_int32), POINTER(c_int)]),
    "kxrd4_set": (_status, [_P, c_char_p, c_int32, c_int]),
    "kxrd4_enable": (_status, [_P, c_int]),
    "kxrd4_jog": (_status, [_P, c_int, c_int32]),
    "kxrd4_move": (_status, [_P, c_int32, c_int, c_uint32]),
    "kxrd4_home": (_status, [_P, c_int, c_uint32]),
    "kxrd4_stop": (_status, [_P]),
    "kxrd4_brake": (_status, [_P]),
    "kxrd4_axis_get": (_status, [_P, POINTER(Axis)]),
    "kxrd4_backup_parse": (_status, [c_char_p, c_size_t, POINTER(_P)]),
    "kxrd4_backup_text": (_status, [_P, POINTER(c_void_p)]),
    "kxrd4_backup_parameter": (_status, [_P, c_char_p, POINTER(c_int32), POINTER(c_int)]),
    "kxrd4_backup_programs": (_status, [_P, POINTER(_P)]),
    "kxrd4_backup_free": (None, [_P]),
    "kxrd4_backup_read": (_status, [_P, POINTER(_P)]),
    "kxrd4_restore": (_status, [_P, _P, c_uint, POINTER(_P)]),
    "kxrd4_restore_report_count": (c_size_t, [_P]),
    "kxrd4_restore_report_get": (_status, [_P, c_size_t, POINTER(RestoreItem)]),
    "kxrd4_restore_report_verified": (c_int, [_P]),
    "kxrd4_restore_report_free": (None, [_P]),
    "kxrd4_diff": (_status, [_P, _P, POINTER(_P)]),
    "kxrd4_backup_compare": (_status, [_P, _P, POINTER(_P)]),
    "kxrd4_differences_count": (c_size_t, [_P]),
    "kxrd4_differences_get": (_status, [_P, c_size_t, POINTER(Difference)]),
    "kxrd4_differences_same": (c_int, [_P]),
    "kxrd4_differences_text": (_status, [_P, c_char_p, c_char_p, POINTER(c_void_p)]),
    "kxrd4_differences_free": (None, [_P]),
}

for _name, (_result, _arguments) in _signatures.items():
    _function = getattr(lib, _name)
    _function.restype = _result
    _function.argtypes = _arguments

del _name, _result, _arguments, _function
