"""The Python module kxrd4 as installed, against emulated KX-RD4s inside the
process: every capability once, every failure as its exception, and two
controllers driven from two threads at once."""

import threading
import time

import pytest

import kxrd4

CLEAN = "P0\n[00]  M_EN\n[01]  X_DST  +0001000\n[02]  END\n"
WAITS = "P1\n[00]  M_EN\n[01]  W_INP  1  on\n[02]  END\n"
FAULTY = "P2\n[00]  M_EN\n[01]  J_LIN  22\n"


@pytest.fixture
def c():
    with kxrd4.open(emulator=True, serial="T-1", timeout=0.5) as controller:
        yield controller


def wait_at_rest(c, seconds=5.0):
    end = time.monotonic() + seconds
    while not c.status().at_rest and time.monotonic() < end:
        time.sleep(0.02)


def test_module_surface():
    assert kxrd4.__version__ == kxrd4.library_version()
    assert kxrd4.__version__.startswith("1.")
    for name in kxrd4.__all__:
        assert getattr(kxrd4, name) is not None, name
    assert "kxrd4.open(emulator=True)" in kxrd4.__doc__
    assert kxrd4.open.__doc__ and kxrd4.Controller.move.__doc__ and kxrd4.check.__doc__
    for cls in (kxrd4.NoControllerError, kxrd4.SeveralControllersError, kxrd4.TimeoutError,
                kxrd4.DisconnectedError, kxrd4.BusyError, kxrd4.ProgramRefusedError,
                kxrd4.NotVerifiedError, kxrd4.NotCarriedOutError, kxrd4.ParseError,
                kxrd4.InvalidArgumentError, kxrd4.AccessError, kxrd4.InterruptedError):
        assert issubclass(cls, kxrd4.Error)
    assert issubclass(kxrd4.TimeoutError, TimeoutError)
    assert issubclass(kxrd4.ParseError, ValueError)
    assert isinstance(kxrd4.controllers(), list)


def test_programs_listing_and_bytes():
    programs = kxrd4.Programs.from_listing(CLEAN + WAITS)
    assert kxrd4.Programs.from_bytes(bytes(programs)) == programs
    assert kxrd4.Programs.from_listing(programs.listing(raw=True)) == programs
    p0 = programs[0]
    assert kxrd4.Program.from_bytes(bytes(p0)) == p0
    assert kxrd4.Program.from_listing(p0.listing(raw=True)) == p0
    # Without a header a listing is one program; its number is where it is put.
    bare = kxrd4.Program.from_listing("[00]  M_EN\n[01]  X_DST  +0001000\n[02]  END\n")
    assert bare == p0 and bare.listing(7).startswith("P7\n")
    assert "X_DST" in programs.listing(0) and "W_INP" not in programs.listing(0)
    assert bytes(programs[5]) == bytes(200)
    programs[5] = p0
    assert programs[5] == p0 and len(list(programs)) == 10
    assert p0.line(1)[0] != 0


@pytest.mark.parametrize("call, error, words", [
    (lambda: kxrd4.Program.from_listing("[00]  NOPE\n"), kxrd4.ParseError, "line 2"),
    (lambda: kxrd4.Programs.from_listing("P0\n[00]  X_DST  +99999999\n"), kxrd4.ParseError,
     "outside"),
    (lambda: kxrd4.Program.from_listing(CLEAN + WAITS), kxrd4.ParseError, "several"),
    (lambda: kxrd4.Programs.from_bytes(b"\0" * 1999), kxrd4.InvalidArgumentError, "2000"),
    (lambda: kxrd4.Program.from_bytes(b"\0" * 10), kxrd4.InvalidArgumentError, "200"),
    (lambda: kxrd4.Backup.from_text("[parameters]\nspeed = 1\n"), kxrd4.ParseError, "line 2"),
    (lambda: kxrd4.check(kxrd4.Programs(), 10), kxrd4.InvalidArgumentError, "0 to 9"),
    (lambda: kxrd4.open(serial="A", port="1-1"), kxrd4.InvalidArgumentError, "one of"),
    (lambda: kxrd4.open(serial="NO-SUCH-KX-RD4"), kxrd4.Error, ""),
])
def test_offline_failures(call, error, words):
    with pytest.raises(error) as caught:
        call()
    assert words in str(caught.value)


def test_check():
    programs = kxrd4.Programs.from_listing(CLEAN + WAITS + FAULTY)
    assert kxrd4.check(programs, 0) == []
    findings = kxrd4.check(programs, 2)
    assert findings[0].error and (findings[0].program, findings[0].line) == (2, 1)
    assert findings[0].code == "jump-to-empty-line" and "22" in findings[0].text
    warnings = kxrd4.check(programs, 1)
    assert warnings and not any(f.error for f in warnings)  # input 1 never changes
    everything = kxrd4.check(programs, program=None)
    assert {f.program for f in everything} >= {1, 2}


def test_simulate():
    programs = kxrd4.Programs.from_listing(CLEAN + WAITS)
    run = kxrd4.simulate(programs, 0)
    assert run.clean and 1.0 < run.cycle_time < 5.0
    assert run.samples[-1].position == 1000 and run.samples[1].time == pytest.approx(0.01)
    waiting = kxrd4.simulate(programs, 1, until=2)
    assert not waiting.ended and waiting.cycle_time is None and waiting.waiting == "input"
    fed = kxrd4.simulate(programs, 1, until=2, inputs=[(0.5, 1, True)], sample_every=0)
    assert fed.cycle_time == pytest.approx(0.5, abs=0.01) and fed.samples == []
    disabled = kxrd4.Program.from_listing("[00]  X_DST  +0000100\n[01]  END\n")
    faulted = kxrd4.simulate(disabled, 0)
    assert faulted.ended and not faulted.clean and faulted.faults[0].line == 0
    slow = kxrd4.Backup.from_text("[parameters]\nvmax = 100\n")
    assert kxrd4.simulate(programs, 0, parameters=slow).cycle_time > run.cycle_time


def test_every_capability_on_the_emulator(c):
    assert (c.serial, c.path.startswith("sim:")) == ("T-1", True)
    # parameters
    assert c.get("vmax") == 1000
    c.set("vmax", 1200)
    assert c.get("vmax") == 1200 and c.get_home() == (-200, "NO")
    # programs
    programs = kxrd4.Programs.from_listing(CLEAN + WAITS)
    assert c.send_program(0, programs) == []
    assert c.send_program(1, programs[1])  # the warning that input 1 never changes
    assert c.read_program(0) == programs[0] and c.read_program(1) == programs[1]
    c.run(1)
    c.stop_program(1)
    # motion (the home switch is 1000 steps below the power-on position)
    c.enable(True)
    c.move(-900, wait=True, timeout=10)
    assert c.status() == kxrd4.Status(-900, 0, True)
    c.jog(100)
    c.stop()
    wait_at_rest(c)
    c.home(wait=True, timeout=10)
    assert c.status().position == 0
    c.jog(300, velocity=True)
    time.sleep(0.05)
    assert not c.status().at_rest
    c.brake()
    assert c.status().at_rest
    c.move(500)
    c.stop()
    wait_at_rest(c)
    # backup, restore, diff
    b = c.backup()
    assert b.parameter("vmax") == 1200 and b.programs[0] == programs[0]
    assert "vmax = 1200" in b.text()
    c.set("vmax", 1500)
    d = c.diff(b)
    assert [x.item for x in d] == ["vmax"] and d and "+vmax = 1200" in d.text
    report = c.restore(b)
    assert report.verified and any(i.name == "vmax" and i.result == "verified" for i in report)
    assert not c.diff(b) and c.get("vmax") == 1200
    again = kxrd4.Backup.from_text(b.text())
    assert again.compare(b).same


def test_failures_as_exceptions(c):
    with pytest.raises(kxrd4.InvalidArgumentError, match="nothing was sent"):
        c.set("vmax", 5_000_000)
    with pytest.raises(kxrd4.InvalidArgumentError, match="unknown parameter"):
        c.get("speed")
    with pytest.raises(kxrd4.InvalidArgumentError, match="cannot be read"):
        c.get("modbus-baud")
    with pytest.raises(kxrd4.InvalidArgumentError):
        c.move(20_000_000)
    with pytest.raises(kxrd4.NotCarriedOutError, match="ENABLE"):
        c.move(500, wait=True, timeout=5)  # ENABLE is off
    bad = kxrd4.Programs.from_listing(FAULTY)
    with pytest.raises(kxrd4.ProgramRefusedError) as refused:
        c.send_program(2, bad)
    assert refused.value.findings[0].code == "jump-to-empty-line"
    assert c.read_program(2) == kxrd4.Program()  # nothing was sent
    c.send_program(2, bad, force=True)
    assert c.read_program(2) == bad[2]
    c.enable(True)
    with pytest.raises(kxrd4.TimeoutError):
        c.move(9_000_000, wait=True, timeout=0.2)
    # A restore onto a moving axis writes nothing: every item failed.
    b = c.backup()
    with pytest.raises(kxrd4.NotVerifiedError) as unverified:
        c.restore(b)
    assert not unverified.value.report.verified
    assert any(i.result == "FAILED" and "moving" in i.controller for i in unverified.value.report)
    # Another thread ends a wait.
    threading.Timer(0.3, c.interrupt).start()
    with pytest.raises(kxrd4.InterruptedError):
        c.move(-9_000_000, wait=True, timeout=30)
    c.brake()
    c.close()
    with pytest.raises(kxrd4.Error, match="closed"):
        c.get("vmax")


@pytest.mark.parametrize("status, error", [
    (3, kxrd4.NoControllerError), (4, kxrd4.SeveralControllersError),
    (6, kxrd4.DisconnectedError), (7, kxrd4.BusyError), (13, kxrd4.AccessError),
])
def test_statuses_no_emulated_controller_gives(status, error):
    # (The kernel test meets them with real HID devices.)
    assert isinstance(kxrd4._error(status), error)


def test_two_controllers_from_two_threads():
    outcome = {}

    def station(serial, sign):
        try:
            with kxrd4.open(emulator=True, serial=serial) as c:
                c.enable(True)
                for step in range(1, 4):
                    c.move(sign * 100 * step, wait=True, timeout=10)
                    assert c.status().position == sign * 100 * step
                c.set("amax", 600 if sign > 0 else 400)
                outcome[serial] = (c.status().position, c.get("amax"))
        except Exception as e:  # reported below
            outcome[serial] = e

    threads = [threading.Thread(target=station, args=("A-1", 1)),
               threading.Thread(target=station, args=("B-1", -1))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert outcome == {"A-1": (300, 600), "B-1": (-300, 400)}


def test_one_controller_from_several_threads(c):
    errors = []

    def poll():
        try:
            for _ in range(50):
                assert c.get("vmax") == 1000
        except Exception as e:
            errors.append(e)

    threads = [threading.Thread(target=poll) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []
