#!/usr/bin/env python3
"""scoreboard.py -- one table of where we stand: every benchmark beside its peer and the real
program's cost of play, each against its goal in bench/goals.md. A report, never a gate: a figure
behind its goal is printed as such and the exit code stays 0; only a scoreboard that cannot be made
at all (no benchmarks built, no goals file) fails.

usage: scripts/scoreboard.py BUILD [--repetitions N] [--play-seconds S] [--no-play] [--build-web DIR]
Writes BUILD/scoreboard.json and BUILD/scoreboard.md and prints the Markdown.
"""
import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GOALS = os.path.join(ROOT, "bench", "goals.md")

# ---- the goals file ----


def markdown_tables(path):
    """The tables of a Markdown file, by the heading above each: {heading: [row cells...]}."""
    tables, heading, rows = {}, None, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("#"):
                heading, rows = line.lstrip("# "), None
            elif line.startswith("|"):
                cells = [c.strip() for c in line.strip("|").split("|")]
                if rows is None:
                    rows = tables.setdefault(heading, [])  # the first row is the table's header
                elif not all(re.fullmatch(r"-+", c) for c in cells):
                    rows.append(cells)
            else:
                rows = None if not line else rows
    return tables


def number(text):
    try:
        return float(text.replace(",", ""))
    except ValueError:
        return None  # "—": reported without a goal


# ---- the benchmarks ----


def run_benchmarks(build, repetitions, log):
    """Median CPU time in µs of every benchmark of every bench program, {program: {name: µs}}, and
    what each says beside its figures: its spread over the repetitions (coefficient of variation, %)
    and its label (the way a fast path chose), {program: {name: {"cv": %, "label": text}}}."""
    medians, notes = {}, {}
    bench_dir = os.path.join(build, "bench")
    programs = sorted(p for p in os.listdir(bench_dir) if p.startswith("bench_")) if os.path.isdir(bench_dir) else []
    if not programs:
        sys.exit(f"scoreboard: no benchmarks in {bench_dir} (make bench-build)")
    to_us = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
    for program in programs:
        program_name = program[len("bench_"):]
        with tempfile.NamedTemporaryFile(suffix=".json") as out:
            started = time.monotonic()
            code = subprocess.call([os.path.join(bench_dir, program), f"--benchmark_repetitions={repetitions}",
                                    "--benchmark_enable_random_interleaving=true",
                                    "--benchmark_report_aggregates_only=true",
                                    f"--benchmark_out={out.name}", "--benchmark_out_format=json"],
                                   stdout=log, stderr=log, cwd=build)
            print(f"scoreboard: {program}: {time.monotonic() - started:.0f} s", file=sys.stderr)
            if code != 0:
                print(f"scoreboard: {program} failed with exit code {code}", file=sys.stderr)
                continue
            results = json.load(open(out.name)).get("benchmarks", [])
        found = medians.setdefault(program_name, {})
        noted = notes.setdefault(program_name, {})
        for r in results:
            if r.get("error_occurred"):
                continue
            name = re.sub(r"/iterations:\d+$", "", r["run_name"])
            if r.get("label"):
                noted.setdefault(name, {})["label"] = r["label"]
            if r.get("aggregate_name") == "cv":
                noted.setdefault(name, {})["cv"] = 100 * r["cpu_time"]
            # Aggregates when repeated; a single run stands for itself (a benchmark of fixed iterations).
            if r.get("run_type") == "aggregate" and r.get("aggregate_name") != "median":
                continue
            # A benchmark of a fixed count of iterations carries that count in its name (cut above).
            found[name] = r["cpu_time"] * to_us[r.get("time_unit", "ns")]
    return medians, notes


def web_benchmarks(build_web):
    """The browser build's figures `make web-bench` wrote (build-web/bench.json), named as the native
    benchmarks they are set beside: {name: µs}; empty where the browser build was not measured."""
    try:
        with open(os.path.join(build_web, "bench.json")) as f:
            figures = json.load(f)
    except (OSError, ValueError):
        return {}
    names = {"heavy_frame_us": "BM_GameFrameHeavy"}
    return {names[k]: float(v) for k, v in figures.items() if k in names and isinstance(v, (int, float))}


def time_of(medians, ref):
    program, _, name = ref.partition(":")
    return medians.get(program, {}).get(name)


def fastest(medians, refs):
    times = [(time_of(medians, r.strip()), r.strip()) for r in refs.split(",")]
    times = [(t, r) for t, r in times if t is not None]
    return min(times) if times else (None, None)


def note_of(notes, ref):
    program, _, name = (ref or "").partition(":")
    return notes.get(program, {}).get(name, {})


def peer_rows(tables, medians, notes):
    rows = []
    for workload, ours_ref, peers, goal in tables.get("Beside a peer", []):
        ours = time_of(medians, ours_ref)
        peer, peer_ref = fastest(medians, peers)
        rows.append(ratio_row(workload, ours_ref, ours, peer_ref, peer, number(goal)))
    # Each fast kernel beside its plain twin: the fast one must win on this processor.
    for program, found in sorted(medians.items()):
        for name in sorted(found):
            if name.startswith("BM_VorlashPlain_"):
                fast = "BM_Vorlash_" + name[len("BM_VorlashPlain_"):]
                if fast in found:
                    rows.append(ratio_row(f"fast path {fast[len('BM_Vorlash_'):]} against its plain twin",
                                          f"{program}:{fast}", found[fast], f"{program}:{name}", found[name], 1.0,
                                          strict=True))
    for row in rows:
        row["ours_cv"] = note_of(notes, row["ours"]).get("cv")
        row["peer_cv"] = note_of(notes, row["peer"]).get("cv")
        row["way"] = note_of(notes, row["ours"]).get("label")
    return rows


def ratio_row(workload, ours_ref, ours, peer_ref, peer, goal, strict=False):
    ratio = ours / peer if ours and peer else None
    ahead = None if ratio is None or goal is None else (ratio < goal if strict else ratio <= goal)
    return {"workload": workload, "ours": ours_ref, "ours_us": ours, "peer": peer_ref, "peer_us": peer,
            "ratio": ratio, "goal": goal, "ahead": ahead}


def ceiling_rows(tables, medians):
    rows = []
    scale = {"µs": 1.0, "us": 1.0, "ms": 1e-3}
    for workload, ours_ref, ceiling, unit in tables.get("On their own", []):
        t = time_of(medians, ours_ref)
        value = t * scale[unit] if t is not None else None
        goal = number(ceiling)
        rows.append({"workload": workload, "ours": ours_ref, "value": value, "unit": unit, "goal": goal,
                     "ahead": None if value is None else value <= goal})
    return rows


# ---- the cost of play ----

PRESENT_SYMBOL = "_ZN7SdlHost7presentERK9HostFrame"  # SdlHost::present(const HostFrame&)
PROBE_EVENT = "probe_vorlash:" + PRESENT_SYMBOL


class Play:
    """The real program in a virtual X server of one size, from an asset folder, with SDL's dummy
    audio driver (the synthesizer and the mixer still run: the driver pulls them)."""

    def __init__(self, program, assets, size, work, probed):
        self.work, self.size = work, size
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", f"{size}x24", "-nolisten", "tcp"],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        display = self.xvfb.stdout.readline().decode().strip()
        self.env = dict(os.environ, DISPLAY=f":{display}", SDL_AUDIODRIVER="dummy")
        self.perf_data = os.path.join(work, f"presents-{size}.data") if probed else None
        # perf starts the program, so the first present is timed from the program's own start;
        # without a probe the program runs alone and only the shares and the memory are read.
        record = ["perf", "record", "-q", "-k", "mono", "-e", PROBE_EVENT, "-o", self.perf_data, "--"] if probed else []
        self.perf = subprocess.Popen([*record, program], cwd=assets, env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, f"run-{size}.log"), "w"))
        self.pid = None if probed else self.perf.pid
        for _ in range(50 if probed else 0):
            children = subprocess.run(["pgrep", "-P", str(self.perf.pid)], capture_output=True, text=True).stdout.split()
            if children:
                self.pid = int(children[0])
                break
            time.sleep(0.1)

    def alive(self):
        return self.pid is not None and os.path.exists(f"/proc/{self.pid}")

    def xdo(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def screenshot(self, name):
        path = os.path.join(self.work, f"{name}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, stderr=subprocess.DEVNULL)
        return path

    def wait_for_play(self, backdrop, timeout=90):
        """The play screen: the backdrop picture under a few sprites (the intro pictures differ in
        nearly every pixel). Scaled on a large screen, so the shot is scaled back first."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and self.alive():
            shot = self.screenshot(f"play-{self.size}")
            w, h = (int(v) for v in self.size.split("x"))
            scale = min(w / 640, h / 480)
            crop = f"{int(640 * scale)}x{int(480 * scale)}+{(w - int(640 * scale)) // 2}+{(h - int(480 * scale)) // 2}"
            small = os.path.join(self.work, "play-small.png")
            subprocess.run([convert_command(), shot, "-crop", crop, "+repage", "-filter", "point", "-resize",
                            "640x480!", small], stderr=subprocess.DEVNULL)
            diff = subprocess.run(["compare", "-metric", "AE", small, backdrop, "null:"], capture_output=True,
                                  text=True).stderr.strip()
            if re.fullmatch(r"[0-9.e+]+", diff) and float(diff) < 640 * 480 / 5:
                return True
            time.sleep(1)
        return False

    def focus(self):
        try:
            found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Vorlash$"],
                                   env=self.env, capture_output=True, text=True, timeout=10).stdout.split()
        except subprocess.TimeoutExpired:
            return
        if found:
            self.xdo("windowfocus", "--sync", found[0])

    def run_ns(self, task):
        try:
            return int(open(f"/proc/{self.pid}/task/{task}/schedstat").read().split()[0])
        except (OSError, ValueError, IndexError):
            return 0

    def cpu_times(self):
        tasks = os.listdir(f"/proc/{self.pid}/task") if self.alive() else []
        return time.monotonic_ns(), self.run_ns(self.pid), sum(self.run_ns(t) for t in tasks)

    def peak_kib(self):
        try:
            status = open(f"/proc/{self.pid}/status").read()
            return int(re.search(r"^VmHWM:\s+(\d+)", status, re.M).group(1))
        except (OSError, AttributeError):
            return None

    def quit(self):
        self.xdo("key", "Escape")
        try:
            self.perf.wait(timeout=10)
        except subprocess.TimeoutExpired:
            if self.alive():
                os.kill(self.pid, 9)
            self.perf.wait(timeout=10)
        self.xvfb.terminate()
        self.xvfb.wait()

    def presents(self):
        """Times (s, perf's clock) of the program's exec and of each present."""
        if not self.perf_data:
            return None, []
        text = subprocess.run(["perf", "script", "-i", self.perf_data, "--show-task-events", "-F", "time,event"],
                              capture_output=True, text=True).stdout
        started, presents = None, []
        for line in text.splitlines():
            stamp = re.search(r"(\d+\.\d+):", line)
            if not stamp:
                continue
            if "PERF_RECORD_COMM exec" in line and started is None:
                started = float(stamp.group(1))
            elif PRESENT_SYMBOL in line or "probe_vorlash" in line:
                presents.append(float(stamp.group(1)))
        return started, presents


def convert_command():
    return "/usr/bin/convert" if os.access("/usr/bin/convert", os.X_OK) else "convert"


def fixed_music_assets(assets, folder):
    """A copy of the asset folder (links) in which every piece's file holds the same piece."""
    os.makedirs(folder, exist_ok=True)
    names = sorted(os.listdir(assets))
    pieces = [n for n in names if n.lower().endswith(".mid")]
    for n in names:
        link = os.path.join(folder, n)
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.path.join(assets, pieces[0] if n in pieces else n), link)
    return pieces[0] if pieces else None


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def play_cost(build, seconds):
    """The cost of play at each screen size: {size: {figure: value}} (None where it could not be read)."""
    build = os.path.abspath(build)
    program, assets = os.path.join(build, "vorlash"), os.path.join(build, "assets")
    missing = [t for t in ("Xvfb", "xdotool", "import", "compare", "perf") if not shutil.which(t)]
    if missing or not os.access(program, os.X_OK):
        print(f"scoreboard: the cost of play is left out ({', '.join(missing) or program} missing)", file=sys.stderr)
        return {}, None
    work = os.path.join(build, "scoreboard")
    os.makedirs(work, exist_ok=True)
    piece = fixed_music_assets(os.path.realpath(assets), os.path.join(work, "assets"))
    backdrop = os.path.join(work, "backdrop.png")
    subprocess.run([convert_command(), os.path.join(assets, "LAVA.BMP"), "-type", "TrueColor", backdrop])
    probe = subprocess.run(["perf", "probe", "-q", "-x", program, "--add", PRESENT_SYMBOL], capture_output=True)
    probed = probe.returncode == 0
    if not probed:
        print("scoreboard: no probe on the host's present: the frame gaps and first frame are left out", file=sys.stderr)
    figures = {}
    try:
        for size in ("640x480", "1920x1080"):
            try:
                figures[size] = play_one(program, os.path.join(work, "assets"), size, work, backdrop, seconds, probed)
            except (OSError, subprocess.SubprocessError) as e:  # a report: a run that breaks is left out
                print(f"scoreboard: play at {size} left out: {e}", file=sys.stderr)
                figures[size] = {}
            print(f"scoreboard: play at {size}: {figures[size]}", file=sys.stderr)
    finally:
        subprocess.run(["perf", "probe", "-q", "-d", PROBE_EVENT], capture_output=True)
    return figures, piece


def play_one(program, assets, size, work, backdrop, seconds, probed):
    play = Play(program, assets, size, work, probed)
    got = {}
    try:
        if not play.wait_for_play(backdrop):
            print(f"scoreboard: no play screen at {size}", file=sys.stderr)
            return got
        play.focus()
        play.xdo("keydown", "space")
        t0, main0, all0 = play.cpu_times()
        time.sleep(seconds)
        t1, main1, all1 = play.cpu_times()
        play.xdo("keyup", "space")
        window = (t0 / 1e9, t1 / 1e9)
        got["main thread"] = 100 * (main1 - main0) / (t1 - t0)
        got["whole process"] = 100 * (all1 - all0) / (t1 - t0)
        peak = play.peak_kib()
        got["peak memory"] = peak / 1024 if peak else None
    finally:
        play.quit()
    started, presents = play.presents()
    if started is not None and presents:
        got["start-up to the first frame"] = 1000 * (presents[0] - started)
    # perf stamps with the monotonic clock, as the window was read: the gaps are those inside it.
    inside = [t for t in presents if window[0] <= t <= window[1]]
    gaps = [1000 * (b - a) for a, b in zip(inside, inside[1:])]
    if gaps:
        got["median gap between frames"] = statistics.median(gaps)
        got["p99 gap between frames"] = percentile(gaps, 99)
        got["worst gap between frames"] = max(gaps)
    return got


def play_rows(tables, figures):
    rows = []
    sizes = {"640 × 480": "640x480", "1920 × 1080": "1920x1080"}
    for figure, goal_small, goal_large, unit in tables.get("The cost of play", []):
        for label, goal in (("640 × 480", goal_small), ("1920 × 1080", goal_large)):
            value = figures.get(sizes[label], {}).get(figure)
            goal = number(goal)
            rows.append({"figure": figure, "screen": label, "value": value, "unit": unit, "goal": goal,
                         "ahead": None if value is None or goal is None else value <= goal})
    return rows


# ---- the report ----


def fmt(v, digits=3):
    if v is None:
        return "—"
    return f"{v:.{digits}g}" if abs(v) < 1000 else f"{v:,.0f}"


def spread(cv):
    return "" if cv is None else f" ± {cv:.0f} %"


def verdict(ahead):
    return "—" if ahead is None else ("ahead" if ahead else "**behind**")


def markdown(report):
    lines = ["# Scoreboard", "", f"{report['machine']}, {report['repetitions']} interleaved repetitions, medians "
             "of CPU time. Goals from bench/goals.md.", "",
             "## Beside a peer", "", "Each time is a median, ± its spread over the repetitions (coefficient of variation); "
             "the way a fast path chose on this processor is named in brackets.", "",
             "| workload | ours (µs) | peer's (µs) | peer | ratio | goal | |", "|---|---|---|---|---|---|---|"]
    for r in report["peers"]:
        way = f" ({r['way']})" if r.get("way") else ""
        lines.append(f"| {r['workload']}{way} | {fmt(r['ours_us'])}{spread(r.get('ours_cv'))} | "
                     f"{fmt(r['peer_us'])}{spread(r.get('peer_cv'))} | {(r['peer'] or '—').split(':')[-1]} "
                     f"| {fmt(r['ratio'])} | {'< ' if 'plain twin' in r['workload'] else '≤ '}{fmt(r['goal'])} "
                     f"| {verdict(r['ahead'])} |")
    lines += ["", "## On their own", "", "| workload | ours | ceiling | |", "|---|---|---|---|"]
    for r in report["ceilings"]:
        lines.append(f"| {r['workload']} | {fmt(r['value'])} {r['unit']} | {fmt(r['goal'])} {r['unit']} | {verdict(r['ahead'])} |")
    if report["play"]:
        lines += ["", f"## The cost of play ({report['play_seconds']} s with SPACE held, every piece {report['piece']})",
                  "", "| figure | screen | ours | goal | |", "|---|---|---|---|---|"]
        for r in report["play"]:
            goal = f"≤ {fmt(r['goal'])} {r['unit']}" if r["goal"] is not None else "—"
            lines.append(f"| {r['figure']} | {r['screen']} | {fmt(r['value'])} {r['unit']} | {goal} | {verdict(r['ahead'])} |")
    rows = report["peers"] + report["ceilings"] + report["play"]
    judged = [r for r in rows if r["ahead"] is not None]
    lines += ["", f"{sum(r['ahead'] for r in judged)} of {len(judged)} figures ahead of their goals; "
              f"{len(rows) - len(judged)} not judged (no goal, or not measured)."]
    return "\n".join(lines) + "\n"


def machine():
    try:
        model = re.search(r"^model name\s*:\s*(.*)$", open("/proc/cpuinfo").read(), re.M).group(1)
    except (OSError, AttributeError):
        model = "an unknown processor"
    return f"{model}, {os.cpu_count()} cores"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build")
    parser.add_argument("--repetitions", type=int, default=9)
    parser.add_argument("--play-seconds", type=int, default=10)
    parser.add_argument("--no-play", action="store_true")
    parser.add_argument("--build-web", help="the browser build's folder (default: build-web beside the sources)")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    tables = markdown_tables(GOALS)
    with open(os.path.join(build, "scoreboard-bench.log"), "w") as log:
        medians, notes = run_benchmarks(build, args.repetitions, log)
    medians["web"] = web_benchmarks(args.build_web or os.path.join(ROOT, "build-web"))
    figures, piece = ({}, None) if args.no_play else play_cost(build, args.play_seconds)
    report = {"machine": machine(), "repetitions": args.repetitions, "play_seconds": args.play_seconds,
              "piece": piece, "peers": peer_rows(tables, medians, notes), "ceilings": ceiling_rows(tables, medians),
              "play": play_rows(tables, figures) if figures else []}
    with open(os.path.join(build, "scoreboard.json"), "w") as f:
        json.dump(report, f, indent=2, ensure_ascii=False)
    text = markdown(report)
    with open(os.path.join(build, "scoreboard.md"), "w", encoding="utf-8") as f:
        f.write(text)
    print(text)


if __name__ == "__main__":
    main()
