"""Runs every benchmark and its anchor in one run and prints one table: each
figure beside the tool a user would take instead and their ratio, with the
goal and whether it is met. This machine's speed drifts from second to
second, so a figure and its anchor run interleaved (A B A B ..., at least five
pairs) and each is quoted as the median with its range; a ratio is taken
pair by pair and quoted the same way.

Called by scripts/benchmarks.sh, which builds the Release trees and starts
the Wine session (DISPLAY, WINEPREFIX and a warm wineserver) first.
  run_all.py ROOT NATIVE_BUILD WIN32_BUILD [ROW ...]
ROW picks rows by name (writer, synthesis, preview, savedib, startup,
recording, ffmpeg, mjpeg); all of them by default.
Environment: MORVA_BENCH_PAIRS (pairs per comparison, default 7; fewer than
5 makes a trial run, said so above the table), MORVA_BENCH_RUNS (runs of a
figure without anchor, default 3), MORVA_BENCH_SECONDS (length of the long
recordings, default 60; the 3840 x 2160 recording takes a third of it).
"""
import ctypes
import datetime
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import screen_watch

ROOT, NATIVE, WIN32 = sys.argv[1:4]
ONLY = set(sys.argv[4:])
BIN = os.path.join(WIN32, "bin")
PAIRS = max(1, int(os.environ.get("MORVA_BENCH_PAIRS", "7")))
RUNS = max(1, int(os.environ.get("MORVA_BENCH_RUNS", "3")))
LONG = max(1, int(os.environ.get("MORVA_BENCH_SECONDS", "60")))
UHD = max(1, LONG // 3)              # the 3840 x 2160 recording: 746 MB/s
WIN64 = os.environ.get("MORVA_WINE_ARCH") == "win64"
WINE = "Wine, %s build" % ("64-bit" if WIN64 else "shipped 32-bit")  # the build of every Wine row
MAIN_TITLE = "Capture Application"
ANCHOR_TITLE = "Morva benchmark window"
WINDOW_RECT = (100, 100, 540, 500)  # both programs' window on the screen
BAR_YELLOW = (191, 191, 0)          # a bar of the default camera's pattern
ANCHOR_FILL = (18, 52, 86)          # one_window's fill
SEEN = 2000                          # pixels of the colour that count as shown

rows = []  # (what, figure, anchor, ratio, goal)


class Skipped(Exception):
    """A row left out on purpose (not enough disk space), with the reason."""


def log(text):
    print("bench: " + text, file=sys.stderr, flush=True)


def spread(values, fmt, unit=""):
    """Median with the range of values: '12.3 ms (11.9 to 13.0)'."""
    m = statistics.median(values)
    if len(values) == 1:
        return fmt.format(m) + unit
    return "{}{} ({} to {})".format(fmt.format(m), unit, fmt.format(min(values)), fmt.format(max(values)))


def interleave(steps, rounds, warmup=1):
    """Runs the callables in turn, round after round (A B A B ...), and
    returns each one's results of the counted rounds."""
    results = [[] for _ in steps]
    for r in range(warmup + rounds):
        for i, step in enumerate(steps):
            value = step()
            if r >= warmup:
                results[i].append(value)
    return results


def timed(cmd, **kw):
    """Wall seconds of a command, which must succeed."""
    t0 = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, **kw)
    return time.perf_counter() - t0


def wine_run(args, env=None):
    """Output of a Windows program run through scripts/wine-run."""
    full_env = dict(os.environ, **(env or {}))
    done = subprocess.run([os.path.join(ROOT, "scripts", "wine-run")] + args, env=full_env,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if done.returncode != 0:
        raise RuntimeError("{} failed: {}".format(args[0], done.stdout.strip()[-300:]))
    return done.stdout


def number(pattern, text):
    m = re.search(pattern, text)
    if not m:
        raise RuntimeError("no figure matching {!r} in: {}".format(pattern, text.strip()[-300:]))
    return float(m.group(1).replace(",", ""))


def dropped_text(n, stolen=None):
    """The drop part of a missed goal; with `stolen`, the processor time (ms)
    the host took from this machine during that worst run."""
    text = "%d frame%s dropped in the worst run" % (n, "" if n == 1 else "s")
    if stolen is not None:
        text += " (the host took %.0f ms of this machine's processor time during it)" % stolen
    return text


def stolen_ms():
    """Processor time the host has taken from this virtual machine since it
    started, all its processors together ('steal' in /proc/stat; 0 where
    the kernel counts none)."""
    with open("/proc/stat") as f:
        fields = f.readline().split()
    steal = int(fields[8]) if len(fields) > 8 else 0
    return 1000.0 * steal / os.sysconf("SC_CLK_TCK")


def goal(met, text, missed_by=""):
    return "{}: {}".format(text, "met" if met else "MISSED" + (" by " + missed_by if missed_by else ""))


def guarded(what, measure):
    """The rows of measure(); a skip or a failure becomes one row that says
    so, and why."""
    try:
        return measure()
    except Skipped as e:
        return [(what, "skipped: " + str(e), "", "", "")]
    except Exception as e:  # noqa: BLE001 (any failure is reported in the table)
        return [(what, "not measurable: " + str(e).replace("|", "/").replace("\n", " "), "", "", "")]


def row(what, measure):
    """Adds one or more rows from measure()."""
    if ONLY and what not in ONLY:
        return
    log(what)
    rows.extend(guarded(what, measure))


# --- native: the AVI writer against ffmpeg and dd ---------------------------
def writer_rows():
    frames, w, h = 600, 640, 480  # 20 s at 30 frames/s: 553 MB of raw frames
    tmp = tempfile.mkdtemp(prefix="bench-writer.", dir=os.path.join(ROOT, "build"))
    try:
        raw = os.path.join(tmp, "raw.bgr")
        subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc=size=%dx%d:rate=30" % (w, h),
                        "-frames:v", str(frames), "-f", "rawvideo", "-pix_fmt", "bgr24", raw], check=True)
        outs = {k: os.path.join(tmp, k) for k in ("morva.avi", "ffmpeg.avi", "dd.bin")}
        mib = os.path.getsize(raw) // (1 << 20)

        def run(name, cmd):
            def step():
                if os.path.exists(outs[name]):
                    os.remove(outs[name])
                t = timed(cmd)
                return os.path.getsize(outs[name]) / 1e6 / t  # MB/s
            return step

        writer = run("morva.avi", [os.path.join(NATIVE, "benchmarks", "recording", "avi_write_bench"),
                                   outs["morva.avi"], str(w), str(h), str(frames), "--fps", "30", "--raw", raw])
        ffmpeg = run("ffmpeg.avi", ["ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "bgr24",
                                    "-s", "%dx%d" % (w, h), "-r", "30", "-i", raw, "-c:v", "rawvideo",
                                    outs["ffmpeg.avi"]])
        dd = run("dd.bin", ["dd", "if=/dev/zero", "of=" + outs["dd.bin"], "bs=1M", "count=%d" % mib,
                            "status=none"])
        a, b, c = interleave([writer, ffmpeg, dd], PAIRS)
        vs_ffmpeg = [x / y for x, y in zip(a, b)]
        vs_dd = [x / y for x, y in zip(a, c)]
        what = "AVI writer, %d raw %d x %d frames (553 MB), native" % (frames, w, h)
        return [
            (what, spread(a, "{:.0f}", " MB/s"), "ffmpeg `-c:v rawvideo` mux: " + spread(b, "{:.0f}", " MB/s"),
             spread(vs_ffmpeg, "{:.2f}", " x"),
             goal(statistics.median(vs_ffmpeg) >= 1.0, "at least 1.0 x ffmpeg",
                  "%.0f %%" % (100 * (1 - statistics.median(vs_ffmpeg))))),
            ("", "", "dd sequential write: " + spread(c, "{:.0f}", " MB/s"), spread(vs_dd, "{:.2f}", " x"), ""),
        ]
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def synthesis_rows():
    exe = os.path.join(NATIVE, "benchmarks", "service", "bench_frame_synth")
    values = [number(r"640x480 24-bit: ([\d.]+) frames/s",
                     subprocess.run([exe], check=True, stdout=subprocess.PIPE, text=True).stdout)
              for _ in range(RUNS)]
    return [("frame synthesis, 640 x 480 24-bit, native", spread(values, "{:,.0f}", " frames/s"), "", "",
             goal(statistics.median(values) >= 1000, "at least 1,000 frames/s"))]


# --- under Wine ---------------------------------------------------------------
def preview_rows():
    def preview(w, h):
        def step():
            text = wine_run([os.path.join(BIN, "bench_service.exe"), "preview", "10", str(w), str(h)])
            return number(r"([\d.]+)% of one core", text), number(r"([\d.]+) frames/s shown", text)
        return step

    small, large = interleave([preview(640, 480), preview(1280, 720)], RUNS, warmup=0)
    out = []
    for (w, h), runs in (((640, 480), small), ((1280, 720), large)):
        cpu = [r[0] for r in runs]
        fps = [r[1] for r in runs]
        m = statistics.median(cpu)
        out.append(("live preview, %d x %d 24-bit at 30 frames/s, %s" % (w, h, WINE),
                    "%s of one core, %s shown" % (spread(cpu, "{:.1f}", " %"), spread(fps, "{:.1f}", " frames/s")),
                    "", "", goal(m < 10, "under 10 % of one core", "%.1f points" % (m - 10))))
    return out


def savedib_rows():
    values = [number(r"([\d.]+) ms per image",
                     wine_run([os.path.join(BIN, "bench_service.exe"), "savedib", "100"]))
              for _ in range(RUNS)]
    m = statistics.median(values)
    return [("`WM_CAP_FILE_SAVEDIB` of a 640 x 480 24-bit frame, " + WINE, spread(values, "{:.2f}", " ms"), "", "",
             goal(m < 5, "under 5 ms", "%.2f ms" % (m - 5)))]


# The recordings: size, length, CPU goal (share of one core) and the most CPU
# against ffmpeg's mux of the same stream (None: no such goal).
RECORDINGS = [((640, 480), LONG, 25, None), ((1280, 720), LONG, 25, None),
              ((1920, 1080), LONG, 12, 1.25), ((3840, 2160), UHD, 45, None)]


def recording_bytes(w, h, seconds):
    """Bytes of a 24-bit recording at 30 frames/s, frames and their chunk
    headers and index entries (audio is a trifle beside them)."""
    return (((w * 3 + 3) & ~3) * h + 24) * (30 * seconds + 1)


def check_room(w, h, seconds):
    """Raises Skipped when the disk of the recordings (the Wine prefix and
    build/) lacks room for one, with a tenth and 1 GB to spare."""
    need = recording_bytes(w, h, seconds) * 1.1 + 1e9
    free = shutil.disk_usage(os.environ.get("WINEPREFIX", ROOT)).free
    if free < need:
        raise Skipped("a %d s recording at %d x %d needs %.1f GB on disk, %.1f GB are free"
                      % (seconds, w, h, need / 1e9, free / 1e9))


def quiet_disk():
    """Writes out what the runs before left unwritten, so that a run does
    not share the disk with the writeback of the one before (an ffmpeg mux
    ends with gigabytes still dirty; a 4K recording started just after one
    dropped frames in one of three tries, none in three after another
    recording)."""
    os.sync()


PR_SET_CHILD_SUBREAPER = 36
HELPER_NAMES = ("sh", "dd", "sleep", "stat", "fallocate", "renice")  # the service's scripts and what they run


def set_subreaper(on):
    """While on, a process started below this one whose parent ends becomes
    this one's child instead of init's: Wine starts the service's Unix
    scripts detached, so only so can their CPU be counted."""
    if ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1 if on else 0, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")


def helper_children():
    """This process's children that are the service's scripts (by name)."""
    me, found = os.getpid(), []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        name, rest = stat[stat.index("(") + 1:stat.rindex(")")], stat[stat.rindex(")") + 2:].split()
        if int(rest[1]) == me and name in HELPER_NAMES:
            found.append(int(entry))
    return found


def reap_helpers(patience=5.0):
    """CPU seconds of the service's scripts that were left to this process,
    each with what it waited for, once they have ended (within `patience`
    seconds of the recording's end: the launcher and the trimmer look once a
    second)."""
    cpu, end = 0.0, time.monotonic() + patience
    while True:
        pending = helper_children()
        for pid in pending:
            done, _, usage = os.wait4(pid, os.WNOHANG)
            if done:
                cpu += usage.ru_utime + usage.ru_stime
        if not pending or time.monotonic() > end:
            return cpu
        time.sleep(0.05)


def recording(seconds, w, h, env=None, flags=()):
    """One recording through bench_recording.exe (which deletes its file):
    frames, dropped, CPU share (the Wine process and the Unix scripts the
    service started, such as the page-cache trimmer), the scripts' share
    alone, file size (MB) and the process's peak memory (MB, from GNU
    time)."""
    def run():
        check_room(w, h, seconds)
        quiet_disk()
        full_env = dict(os.environ, **(env or {}))
        set_subreaper(True)
        stolen0 = stolen_ms()
        try:
            done = subprocess.run(["/usr/bin/time", "-f", "peak %M KiB", os.path.join(ROOT, "scripts", "wine-run"),
                                   os.path.join(BIN, "bench_recording.exe"), str(seconds), str(w), str(h), "30"]
                                  + list(flags), env=full_env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                  text=True)
            stolen = stolen_ms() - stolen0
            helpers = reap_helpers()
        finally:
            set_subreaper(False)
        text = done.stdout
        if done.returncode != 0 or " ok, " not in text:
            raise RuntimeError("recording %dx%d failed: %s" % (w, h, text.strip()[-300:]))
        wall = number(r"in ([\d.]+) s =", text)
        helper_share = 100 * helpers / wall if wall > 0 else 0.0
        return {"frames": number(r"ok, (\d+) frames", text), "dropped": number(r"(\d+) dropped", text),
                "cpu": number(r"= ([\d.]+)% of one core", text) + helper_share, "helpers": helper_share,
                "peak": number(r"peak (\d+) KiB", text) / 1024, "mb": number(r"dropped, ([\d.]+) MB", text),
                "stolen": stolen}
    return run


def ffmpeg_mux(seconds, w, h, scratch):
    """ffmpeg muxing the same raw stream in real time into an AVI (deleted
    after): its share of one core over its run."""
    def run():
        check_room(w, h, seconds)
        quiet_disk()
        out = os.path.join(scratch, "mux.avi")
        before = os.times()
        t0 = time.perf_counter()
        try:
            subprocess.run(["ffmpeg", "-v", "error", "-y", "-re", "-f", "rawvideo", "-pix_fmt", "bgr24",
                            "-s", "%dx%d" % (w, h), "-r", "30", "-i", "/dev/zero", "-t", str(seconds),
                            "-c:v", "rawvideo", out], check=True, stdin=subprocess.DEVNULL)
        finally:
            if os.path.exists(out):
                os.remove(out)
        wall = time.perf_counter() - t0
        after = os.times()
        cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
        return 100 * cpu / wall
    return run


def recording_text(runs, cpu_goal, ratios=None, most_vs_ffmpeg=None):
    """The figure and the verdict of a recording row: no drop, under
    cpu_goal % of one core and, with most_vs_ffmpeg, at most that many times
    ffmpeg's CPU (the median ratio of the pairs)."""
    frames = [r["frames"] for r in runs]
    dropped = [r["dropped"] for r in runs]
    cpu = [r["cpu"] for r in runs]
    peak = [r["peak"] for r in runs]
    helpers = [r.get("helpers", 0.0) for r in runs]
    stolen = [r["stolen"] for r in runs]
    figure = "%s frames, %s dropped, %s of one core (its Unix scripts: %s), peak %s; processor time the host took: %s" % (
        spread(frames, "{:,.0f}"), spread(dropped, "{:.0f}"), spread(cpu, "{:.1f}", " %"),
        spread(helpers, "{:.1f}", " %"), spread(peak, "{:.0f}", " MB"), spread(stolen, "{:.0f}", " ms"))
    m = statistics.median(cpu)
    missed = []
    if max(dropped) > 0:
        worst = max(runs, key=lambda r: r["dropped"])
        missed.append(dropped_text(worst["dropped"], worst["stolen"]))
    if m >= cpu_goal:
        missed.append("%.1f points of CPU" % (m - cpu_goal))
    text = "no drop, under %d %% of one core" % cpu_goal
    if most_vs_ffmpeg:
        r = statistics.median(ratios)
        text += ", at most %.2f x ffmpeg" % most_vs_ffmpeg
        if r > most_vs_ffmpeg:
            missed.append("%.2f x ffmpeg's CPU" % r)
    return figure, goal(not missed, text, ", ".join(missed))


def one_recording(size, seconds, cpu_goal, most_vs_ffmpeg, scratch):
    """A recording row paired with ffmpeg's mux; at 640 x 480 a 10 s
    recording joins the pairs for the peak memory against the length, and
    at 1920 x 1080 the same recording without the page-cache trimmer."""
    w, h = size
    steps = [recording(seconds, w, h), ffmpeg_mux(seconds, w, h, scratch)]
    if size == (640, 480):
        steps.append(recording(10, w, h))
    if size == (1920, 1080):
        steps.append(recording(seconds, w, h, env={"MORVA_AVICAP_CACHE_TRIM": "0"}))
    results = interleave(steps, PAIRS, warmup=0)
    runs, mux = results[0], results[1]
    ratios = [r["cpu"] / m for r, m in zip(runs, mux)]
    figure, verdict = recording_text(runs, cpu_goal, ratios, most_vs_ffmpeg)
    out = [("recording %d x %d 24-bit at 30 frames/s for %d s, %s" % (w, h, seconds, WINE), figure,
            "ffmpeg `-re` rawvideo mux of the same stream: %s of one core" % spread(mux, "{:.1f}", " %"),
            spread(ratios, "{:.2f}", " x"), verdict)]
    if size == (1920, 1080):
        untrimmed = results[2]
        out.append(("the same recording without the page-cache trimmer (MORVA_AVICAP_CACHE_TRIM=0)",
                    recording_text(untrimmed, cpu_goal)[0], "", "", "a figure, no goal"))
    if size == (640, 480):
        short = results[2]
        growth = [a["peak"] / b["peak"] for a, b in zip(runs, short)]
        g = statistics.median(growth)
        out.append(("peak memory of that recording against a 10 s one",
                    spread([r["peak"] for r in runs], "{:.0f}", " MB"),
                    "10 s: " + spread([r["peak"] for r in short], "{:.0f}", " MB"), spread(growth, "{:.2f}", " x"),
                    goal(g <= 1.05, "independent of the length (within 5 %)", "%.0f %% growth" % (100 * (g - 1)))))
    return out


def recording_rows():
    scratch = tempfile.mkdtemp(prefix="bench-mux.", dir=os.path.join(ROOT, "build"))
    out = []
    try:
        for size, seconds, cpu_goal, most in RECORDINGS:
            what = "recording %d x %d 24-bit at 30 frames/s for %d s, %s" % (size + (seconds, WINE))
            log(what)
            out.extend(guarded(what, lambda: one_recording(size, seconds, cpu_goal, most, scratch)))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    return out


# --- a camera read through ffmpeg (its test source) ---------------------------
def ffmpeg_rows():
    """Live picture and recording of ffmpeg's test source at 30 frames/s, 10 s
    each: frames, dropped frames, and the CPU share of the Wine process and of
    its ffmpeg."""
    def run(mode, w, h):
        def step():
            text = wine_run([os.path.join(BIN, "bench_ffmpeg_camera.exe"), mode, str(w), str(h), "10"])
            frames = number(r": (\d+) frames", text)
            dropped = number(r"\((\d+) dropped\)", text) if mode == "record" else 0.0
            return frames, dropped, number(r"Wine process ([\d.]+)%", text), number(r"ffmpeg ([\d.]+)%", text)
        return step

    sizes = ((640, 480), (1280, 720), (1920, 1080))
    out = []
    for mode, goal_cpu in (("preview", 10), ("record", 25)):
        results = interleave([run(mode, w, h) for w, h in sizes], RUNS, warmup=0)
        for (w, h), runs in zip(sizes, results):
            # The live picture's goal is set up to 1280 x 720 only.
            out.append(ffmpeg_row(mode, w, h, runs, None if mode == "preview" and w > 1280 else goal_cpu))
    return out


def ffmpeg_row(mode, w, h, runs, goal_cpu):
    """One row of the ffmpeg camera (goal_cpu None: a figure without goal);
    a recording must drop no frame too."""
    frames = [r[0] for r in runs]
    dropped = [r[1] for r in runs]
    wine = [r[2] for r in runs]
    ff = [r[3] for r in runs]
    record = mode == "record"
    figure = "%s frames in 10 s%s, Wine process %s, ffmpeg %s of one core" % (
        spread(frames, "{:.0f}"), ", %s dropped" % spread(dropped, "{:.0f}") if record else "",
        spread(wine, "{:.1f}", " %"), spread(ff, "{:.1f}", " %"))
    what = "%s from ffmpeg's test source, %d x %d at 30 frames/s, %s" % (
        "24-bit recording" if record else "live preview", w, h, WINE)
    if goal_cpu is None:
        return (what, figure, "", "", "none set")
    m = statistics.median(wine)
    missed = []
    if record and max(dropped) > 0:
        missed.append(dropped_text(max(dropped)))
    if m >= goal_cpu:
        missed.append("%.1f points" % (m - goal_cpu))
    text = "Wine process under %d %% of one core%s" % (goal_cpu, ", no drop" if record else "")
    return (what, figure, "", "", goal(not missed, text, ", ".join(missed)))


# --- start to the first live frame against a trivial window ------------------
def startup_rows():
    screen = screen_watch.Screen()
    ini = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "Morva.ini")
    x, y, w, h = WINDOW_RECT

    def start(exe, title, colour):
        def step():
            if screen.wait(WINDOW_RECT, colour, SEEN, 10, present=False) is None:
                raise RuntimeError("the screen still shows the last run's window")
            if exe == "morva.exe":
                with open(ini, "w", newline="\r\n") as f:
                    f.write("[Position]\nXPOS=%d\nYPOS=%d\nWidth=%d\nHeight=%d\n" % (x, y, w, h))
            env = {k: v for k, v in os.environ.items() if k != "MORVA_CAMERAS"}
            t0 = time.perf_counter()
            app = subprocess.Popen(["wine", exe], cwd=BIN, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            shown = None
            while time.perf_counter() - t0 < 60 and app.poll() is None:
                if screen.count(WINDOW_RECT, colour) >= SEEN:
                    shown = time.perf_counter() - t0
                    break
                time.sleep(0.002)
            subprocess.run(["wine", os.path.join(BIN, "winctl.exe"), "close", title, "10000"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                app.wait(timeout=20)
            except subprocess.TimeoutExpired:
                app.kill()
                app.wait()
            if shown is None:
                raise RuntimeError("%s showed nothing within 60 s" % exe)
            return shown
        return step

    try:
        morva, anchor = interleave([start("morva.exe", MAIN_TITLE, BAR_YELLOW),
                                    start("one_window.exe", ANCHOR_TITLE, ANCHOR_FILL)], PAIRS)
    finally:
        if os.path.exists(ini):
            os.remove(ini)
    later = [a - b for a, b in zip(morva, anchor)]
    ratio = [a / b for a, b in zip(morva, anchor)]
    m = statistics.median(later)
    return [("start of `morva.exe` to its first live frame on screen, " + WINE, spread(morva, "{:.2f}", " s"),
             "one-window program shown: " + spread(anchor, "{:.2f}", " s"),
             "%s; %s later" % (spread(ratio, "{:.2f}", " x"), spread(later, "{:+.2f}", " s")),
             goal(m <= 0.5, "at most 0.5 s after the one-window program", "%.2f s" % (m - 0.5)))]


# --- the Motion JPEG codec against ffmpeg's MJPEG encoder ---------------------
MJPEG_SIZES = ((640, 480), (1280, 720), (1920, 1080))
MJPEG_CPU_GOALS = {(1280, 720): 15, (1920, 1080): 30}  # percent of one core


def camera_stream(tmp, w, h, frames):
    """The synthetic camera's frames as a raw bgr24 stream (reference_frames.exe)."""
    raw = os.path.join(tmp, "camera_%dx%d.bgr" % (w, h))
    wine_run([os.path.join(BIN, "reference_frames.exe"), str(w), str(h), "33333", str(frames),
              "Z:" + raw.replace("/", "\\")])
    return raw


def ffmpeg_mjpeg_ms(raw, w, h, frames):
    """ffmpeg's MJPEG encoder (-q:v 3) on the stream: ms per frame, its own
    start taken out (the time of all frames less the time of one)."""
    def run(n):
        return timed(["ffmpeg", "-v", "error", "-f", "rawvideo", "-pix_fmt", "bgr24", "-s", "%dx%d" % (w, h),
                      "-i", raw, "-frames:v", str(n), "-c:v", "mjpeg", "-q:v", "3", "-f", "null", "-"])
    return 1000 * (run(frames) - run(1)) / (frames - 1)


def yuv_psnr(raw, jpegs, w, h):
    """ffmpeg's psnr filter (average over Y, Cb, Cr) of the JPEG stream against the raw one."""
    text = subprocess.run(["ffmpeg", "-v", "info", "-f", "mjpeg", "-i", jpegs, "-f", "rawvideo", "-pix_fmt", "bgr24",
                           "-s", "%dx%d" % (w, h), "-i", raw, "-lavfi", "[0:v][1:v]psnr", "-f", "null", "-"],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True).stdout
    return number(r"average:([\d.]+)", text)


def mjpeg_encode_rows(tmp):
    out, frames = [], 30
    for w, h in MJPEG_SIZES:
        raw = camera_stream(tmp, w, h, frames)
        jpegs = os.path.join(tmp, "codec.mjpeg")

        def ours():
            text = wine_run([os.path.join(BIN, "bench_mjpeg_encode.exe"), "Z:" + raw.replace("/", "\\"),
                             str(w), str(h), "Z:" + jpegs.replace("/", "\\")])
            return number(r"([\d.]+) ms per frame", text), number(r"(\d+) bytes per frame", text)

        a, b = interleave([ours, lambda: ffmpeg_mjpeg_ms(raw, w, h, frames)], PAIRS)
        ms = [x[0] for x in a]
        ratio = [x / y for x, y in zip(ms, b)]
        psnr = yuv_psnr(raw, jpegs, w, h)
        smaller = w * h * 3 / statistics.median([x[1] for x in a])
        m = statistics.median(ratio)
        out.append(("MJPEG codec encode, %d x %d camera frames at default quality, Wine" % (w, h),
                    "%s per frame, %.0f x smaller than raw, %.1f dB" % (spread(ms, "{:.2f}", " ms"), smaller, psnr),
                    "ffmpeg `-c:v mjpeg -q:v 3`: " + spread(b, "{:.2f}", " ms"), spread(ratio, "{:.2f}", " x"),
                    goal(m <= 1.0 and smaller >= 10 and psnr >= 38,
                         "no slower than ffmpeg, 10 x smaller, 38 dB",
                         "%.0f %% slower" % (100 * (m - 1)) if m > 1 else "size or PSNR")))
        os.remove(raw)
    return out


def ffmpeg_realtime(raw, w, h, seconds):
    """ffmpeg -re encoding the stream (looped) to MJPEG for `seconds`: its share of one core."""
    def run():
        out = os.path.join(os.path.dirname(raw), "ffmpeg.avi")
        done = subprocess.run(["/usr/bin/time", "-f", "cpu %U %S %e", "ffmpeg", "-v", "error", "-y", "-re",
                               "-stream_loop", "-1", "-f", "rawvideo", "-pix_fmt", "bgr24", "-s", "%dx%d" % (w, h),
                               "-r", "30", "-i", raw, "-t", str(seconds), "-c:v", "mjpeg", "-q:v", "3", out],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        m = re.search(r"cpu ([\d.]+) ([\d.]+) ([\d.]+)", done.stdout)
        if done.returncode != 0 or not m:
            raise RuntimeError("ffmpeg -re failed: " + done.stdout.strip()[-300:])
        return 100 * (float(m.group(1)) + float(m.group(2))) / float(m.group(3))
    return run


def mjpeg_recording_rows(tmp):
    out = []
    for w, h in MJPEG_SIZES:
        raw = camera_stream(tmp, w, h, 30)
        runs, peer = interleave([recording(LONG, w, h, flags=["mjpeg"]), ffmpeg_realtime(raw, w, h, LONG)], RUNS,
                                warmup=0)
        os.remove(raw)
        figure, _ = recording_text(runs, MJPEG_CPU_GOALS.get((w, h)) or 100)
        smaller = [r["frames"] * w * h * 3 / 1e6 / r["mb"] for r in runs]
        cpu, cpu_goal = statistics.median([r["cpu"] for r in runs]), MJPEG_CPU_GOALS.get((w, h))
        missed = []
        if max(r["dropped"] for r in runs) > 0:
            missed.append("frames dropped")
        if cpu_goal and cpu >= cpu_goal:
            missed.append("%.1f points of CPU" % (cpu - cpu_goal))
        if statistics.median(smaller) < 10:
            missed.append("size")
        text = "no drop%s, 10 x smaller than raw" % (", under %d %% of one core" % cpu_goal if cpu_goal else "")
        out.append(("recording %d x %d to MJPG at 30 frames/s for %d s, Wine" % (w, h, LONG),
                    "%s; %s MB, %s x smaller than raw" % (figure, spread([r["mb"] for r in runs], "{:.0f}"),
                                                          spread(smaller, "{:.0f}")),
                    "ffmpeg `-re ... -c:v mjpeg -q:v 3`: " + spread(peer, "{:.1f}", " %") + " of one core", "",
                    goal(not missed, text, ", ".join(missed))))
    return out


def mjpeg_rows():
    tmp = tempfile.mkdtemp(prefix="bench-mjpeg.", dir=os.path.join(ROOT, "build"))
    try:
        return mjpeg_encode_rows(tmp) + mjpeg_recording_rows(tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def machine():
    model = "unknown processor"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run(["wine", "--version"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          text=True).stdout.strip()
    build = " (this kernel runs no 32-bit programs: the Wine rows are of the 64-bit build)" if WIN64 else ""
    return "%s, %d cores, Linux %s, %s%s; %s" % (model, os.cpu_count(), platform.release(), wine, build,
                                                 datetime.date.today().isoformat())


def main():
    row("writer", writer_rows)
    row("synthesis", synthesis_rows)
    row("preview", preview_rows)
    row("savedib", savedib_rows)
    row("startup", startup_rows)
    row("recording", recording_rows)
    row("ffmpeg", ffmpeg_rows)
    row("mjpeg", mjpeg_rows)
    print("Machine: " + machine())
    print("%d interleaved pairs per comparison, %d runs per figure without anchor; median (range)." % (PAIRS, RUNS))
    if PAIRS < 5 or LONG < 60:
        print("A trial run (%d pairs, %d s recordings): the goals need at least 5 pairs and 60 s." % (PAIRS, LONG))
    print()
    print("| What | Figure | Anchor | Ratio | Goal |")
    print("|---|---|---|---|---|")
    for r in rows:
        print("| " + " | ".join(r) + " |")


if __name__ == "__main__":
    main()
