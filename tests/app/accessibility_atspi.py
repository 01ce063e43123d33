#!/usr/bin/python3
"""What a screen reader finds in the program, read over the accessibility bus.

    accessibility_atspi.py PROGRAM FIXTURE_WRITER

Runs the program on a virtual display (Xvfb) in a D-Bus session of its own,
where at-spi2-core brings up the accessibility bus, with Qt's accessibility
on, and reads it with pyatspi as Orca does: the picture buttons by their
captions, pressed through their actions; the preview named after its icon;
the about box's clock and credits as text, closed by Escape; the gauges'
values in the middle of a save-all run, and their changes as events.
Exits 77 (skipped) only when the display or the bus cannot be had.
"""
import os, re, select, shutil, subprocess, sys, tempfile, time

FILES = ["p%02d.exe" % i for i in range(1, 10)]  # two icons each
KEYS = {"Save icon": "Ctrl+S", "Save all": "Ctrl+Shift+S", "About": "", "Help": "F1",
        "Close": "Ctrl+Q"}


def outside(program, writer):
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            return skip(tool + " is missing")
    read_end, write_end = os.pipe()
    # No reset when the last client leaves: the bus launcher's short visit
    # would leave the program a server in the middle of one.
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten",
                             "tcp", "-screen", "0", "1024x768x24"], pass_fds=(write_end,))
    os.close(write_end)
    ready = select.select([read_end], [], [], 60)[0]
    display = os.read(read_end, 16).decode().strip() if ready else ""
    work = tempfile.mkdtemp()
    try:
        if not display.isdigit():
            return skip("no virtual display")
        env = dict(os.environ, DISPLAY=":" + display, HOME=work, XDG_RUNTIME_DIR=work)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        status = subprocess.call(["dbus-run-session", "--", sys.executable, __file__, work,
                                  program, writer], env=env)
        return status if os.path.exists(work + "/session") else skip("no D-Bus session")
    finally:
        xvfb.kill()
        shutil.rmtree(work)


def skip(why):
    print("SKIP: " + why)
    return 77


def inside(work, program, writer):
    open(work + "/session", "w").close()
    from gi.repository import Gio, GLib
    try:
        Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None, 0,
            60000)
    except GLib.Error as error:
        return skip("no accessibility bus: " + error.message)
    import pyatspi as P
    # The program in a folder of its own, where its settings and the run's
    # icons go, and two files, the fifth's first icon blocked by a folder.
    for folder in ("bin", "progs", "bin/p050.ico"):
        os.makedirs(os.path.join(work, folder))
    for name in (program, os.path.join(os.path.dirname(program), "Zadore~2.hlp")):
        shutil.copy(name, work + "/bin")
    subprocess.check_call([writer, work])
    for name in FILES:
        shutil.copy(work + "/program.exe", work + "/progs/" + name)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", LC_ALL="C.UTF-8",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", HOME=work, XDG_CONFIG_HOME=work)
    # Leaks are the unit tests' to find, not what Qt's bridge keeps to the end.
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
    app = subprocess.Popen([work + "/bin/" + os.path.basename(program),
                            work + "/progs/p03.exe"], env=env)
    heard = []

    def until(what, probe):  # polls: the machine may be busy with other tests
        for _ in range(900):
            while GLib.MainContext.default().iteration(False):
                pass
            try:
                found = probe()
                if found:
                    return found
            except Exception:  # a window that came or went while it was read
                pass
            assert app.poll() is None, "the program ended, waiting for " + what
            time.sleep(0.1)
        raise AssertionError("no " + what)

    def find(root, role, name=None, many=False):
        found, stack = [], [root]
        while stack:
            a = stack.pop()
            if a.getRole() == role and name in (None, a.name):
                found.append(a)
            if a.getRole() not in (P.ROLE_TREE, P.ROLE_TABLE, P.ROLE_LIST):
                stack += [a.getChildAtIndex(i) for i in range(a.childCount)]
        assert many or len(found) == 1, "%d %s named %r" % (len(found), role, name)
        return found if many else found[0]

    def window(role, test=lambda w: True):
        desktop = P.Registry.getDesktop(0)
        for me in [a for a in desktop if a and a.get_process_id() == app.pid]:
            return next((w for w in me if w.getRole() == role and test(w)), None)

    def press(button):
        action = button.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        key = action.getKeyBinding(names.index("Press"))
        assert key == KEYS.get(button.name, ""), "%s: key %r" % (button.name, key)
        action.doAction(names.index("Press"))

    value = lambda g: tuple(int(x) for x in (g.queryValue().currentValue, g.queryValue(
    ).minimumValue, g.queryValue().maximumValue))
    try:
        main = until("main window", lambda: window(P.ROLE_FRAME))
        buttons = {name: find(main, P.ROLE_PUSH_BUTTON, name) for name in KEYS}
        gauges = [find(main, P.ROLE_PROGRESS_BAR, n)
                  for n in ("Overall Progress !", "Progress in File !")]
        assert [value(g) for g in gauges] == [(0, 0, 100)] * 2
        preview = find(main, P.ROLE_IMAGE)
        until("preview of p03.exe", lambda: preview.name == "icon 0 of 2 of p03.exe")
        find(find(main, P.ROLE_FILLER, "Select Icon in File"),
             P.ROLE_TEXT).queryEditableText().setTextContents("1")
        until("preview of its icon 1", lambda: preview.name == "icon 1 of 2 of p03.exe")

        press(buttons["About"])
        about = until("about box", lambda: window(P.ROLE_DIALOG))
        clock = [a for a in find(about, P.ROLE_LABEL, many=True) if a.description == "Clock"][0]
        time0 = clock.name
        assert re.fullmatch(r"\d\d:\d\d:\d\d", time0), time0
        until("a second later on the clock", lambda: clock.name != time0)
        credits = [a.name for a in find(about, P.ROLE_LABEL, many=True)
                   if a.name.endswith("\nCheers!'")]  # 23 lines, tags left out
        assert len(credits) == 1 and credits[0].count("\n") == 22 and credits[0].startswith(
            "Rurorodode from Vuderiru. \nIf you have"), credits
        until("about box active", lambda: about.getState().contains(P.STATE_ACTIVE))
        P.Registry.generateKeyboardEvent(0xFF1B, None, P.KEY_SYM)  # Escape
        until("about box gone", lambda: window(P.ROLE_DIALOG) is None)

        press(buttons["Save icon"])
        until("save dialog", lambda: window(P.ROLE_DIALOG, lambda w: "Save" in w.name))
        P.Registry.generateKeyboardEvent(0xFF1B, None, P.KEY_SYM)
        until("save dialog gone", lambda: window(P.ROLE_DIALOG) is None)
        press(buttons["Help"])
        until("help window", lambda: window(P.ROLE_FRAME, lambda w: w.name == "Rurorodode Help"))

        P.Registry.registerEventListener(lambda e: heard.append(e.source),
                                         "object:property-change:accessible-value")
        press(buttons["Save all"])
        press(find(until("destination dialog", lambda: window(P.ROLE_DIALOG)),
                   P.ROLE_PUSH_BUTTON, "Start"))
        alert = until("message on p05.exe", lambda: window(P.ROLE_ALERT))
        assert find(alert, P.ROLE_LABEL, "Could not process %s/bin//p050" % work)
        # The run waits for the message: its gauges and preview stand still.
        assert [value(g) for g in gauges] == [(5, 0, len(FILES)), (1, 0, 1)]
        assert preview.name == "icon 0 of 2 of p05.exe", preview.name
        press(find(alert, P.ROLE_PUSH_BUTTON, "OK"))
        until("end of the run", lambda: os.path.exists(work + "/bin/p091.ico")
              and value(gauges[0])[0] == 0)
        # The run's steps reached the bus while it kept the program busy.
        names = until("value changes", lambda: [s.name for s in heard])
        assert names.count(gauges[0].name) > len(FILES), names
        assert names.count(gauges[1].name) >= 2 * len(FILES), names

        press(buttons["Close"])
        assert app.wait(60) == 0
    except AssertionError as failure:
        print("FAIL: %s" % failure)
        return 1
    finally:
        app.kill()
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(inside(*sys.argv[1:]) if len(sys.argv) == 4 else outside(*sys.argv[1:]))
