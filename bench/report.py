#!/usr/bin/env python3
"""Turns the raw outputs of bench/run.sh into bench/RESULTS.md.

usage: report.py OUT_DIR RESULTS_MD
"""
import datetime
import json
import os
import statistics
import sys

out, results = sys.argv[1], sys.argv[2]
COLUMNS = ["physics_us", "hooks_us", "publish_us", "draw_us", "present_us", "frame_us"]
WARM_UP = 10  # frames left out of the whole-frame medians (first textures, caches)


def path(name):
    return os.path.join(out, name)


def stats(name):
    """Per-frame rows of a stats file as dicts of floats, or None when missing."""
    try:
        with open(path(name + ".txt")) as f:
            header = f.readline().split()
            return [dict(zip(header, map(float, line.split()))) for line in f if line.strip()]
    except (OSError, ValueError):
        return None


def column(rows, key, skip=0):
    return [r[key] for r in rows[skip:]] if rows else []


def median(values):
    return statistics.median(values) if values else float("nan")


def mean(values):
    return statistics.fmean(values) if values else float("nan")


def ratio(a, b):
    return a / b if b and b == b and a == a else float("nan")


def fmt(x, digits=0):
    return "n/a" if x != x else f"{x:,.{digits}f}"


ROUNDS = (1, 2, 3)  # the overhead runs, interleaved; each figure is the median of the rounds


def raw(scene, n, kind="raw"):
    """The median over the rounds of a raw step's mean, and its awake bodies."""
    means, awake = [], 0
    for rep in ROUNDS:
        try:
            with open(path(f"{kind}-{scene}-{n}-{rep}.txt")) as f:
                fields = dict(item.split("=") for item in f.read().split())
            means.append(float(fields["mean_us"]))
            awake = int(fields["awake"])
        except (OSError, KeyError, ValueError):
            continue
    return median(means), awake


def world_split(name):
    """Physics, hooks and publishing of an engine run: each the median over the
    rounds of the run's mean per frame."""
    rounds = [stats(f"{name}-{rep}") for rep in ROUNDS]
    rounds = [rows for rows in rounds if rows]
    return tuple(median([mean(column(rows, k)) for rows in rounds]) for k in COLUMNS[:3])


lines = []
emit = lines.append
scenes = ["pyramid", "container"]
sizes = [n for n in (100, 300, 1000, 3000) if os.path.exists(path(f"raw-pyramid-{n}-1.txt"))]
targets = []

emit("# Benchmark results")
emit("")
emit("Written by `bench/run.sh`; every figure of one table comes from the same run on the same "
     "machine. Times in microseconds unless marked.")
emit("")
try:
    with open(path("machine.txt")) as f:
        kernel, cpu, cores, love_version, mesa, build_type = (f.read().splitlines() + ["?"] * 6)[:6]
except OSError:
    kernel = cpu = cores = love_version = mesa = build_type = "?"
# The run's date: when it wrote its machine facts, its last step.
try:
    ran = datetime.datetime.fromtimestamp(os.path.getmtime(path("machine.txt")),
                                          datetime.timezone.utc)
except OSError:
    ran = datetime.datetime.now(datetime.timezone.utc)
emit(f"- Date: {ran:%Y-%m-%d %H:%M} UTC")
emit(f"- Machine: {cpu}, {cores} cores, {kernel}")
emit(f"- Build: {build_type}")
emit(f"- Renderer: Mesa llvmpipe ({mesa}) under xvfb-run, 1280 x 720; LÖVE {love_version}")
emit("")

emit("## 1. Engine overhead (headless, 300 frames of 1/30 s, `LP_NUM_THREADS=0`, "
     "medians of 3 interleaved rounds)")
emit("")
emit("World update = physics step + step hooks + publishing (poses, interpolation, moving "
     "detection, one `updateObjectProperties` call per awake object), the mean per frame from "
     "the engine's `--stats` counters. The software renderer draws inside present with "
     "`LP_NUM_THREADS=0`, so no drawing overlaps the physics step. Raw = the same scene stepped "
     "in the same patched Box2D by `qf_rawstep`.")
emit("")
emit("Raw cold = the raw step with the caches flushed before each step (`qf_rawstep --cold`), "
     "as a game's other work between two steps leaves them. The ratio is taken against the "
     "warm raw step.")
emit("")
emit("| scene | N | raw step | raw cold | engine physics | hooks | publishing | world update | "
     "ratio |")
emit("| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |")
for scene in scenes:
    for n in sizes:
        raw_us, _ = raw(scene, n)
        cold_us, _ = raw(scene, n, "rawcold")
        phys, hooks, pub = world_split(f"headless-{scene}-{n}")
        world = phys + hooks + pub
        r = ratio(world, raw_us)
        emit(f"| {scene} | {n} | {fmt(raw_us)} | {fmt(cold_us)} | {fmt(phys)} | {fmt(hooks)} | "
             f"{fmt(pub)} | {fmt(world)} | {fmt(r, 2)} |")
        if n == 1000:
            targets.append((f"world update ÷ raw step, {scene} 1000", "≤ 1.08", fmt(r, 2),
                            r <= 1.08))
emit("")
emit("The same runs at N = 1000 in a 320 × 180 window, where the software renderer has a "
     "sixteenth of the pixels to clear, draw and copy between two steps:")
emit("")
emit("| scene | engine physics | hooks | publishing | world update | ratio |")
emit("| --- | ---: | ---: | ---: | ---: | ---: |")
for scene in scenes:
    raw_us, _ = raw(scene, 1000)
    phys, hooks, pub = world_split(f"small-{scene}-1000")
    world = phys + hooks + pub
    emit(f"| {scene} | {fmt(phys)} | {fmt(hooks)} | {fmt(pub)} | {fmt(world)} | "
         f"{fmt(ratio(world, raw_us), 2)} |")
emit("")

emit("## 2. Whole frame against LÖVE (600 frames, one physics step a frame, medians)")
emit("")
emit("Both on the same X server. Our split comes from `--stats`; LÖVE's from `love.timer` "
     "around `World:update`, the drawing loop and `love.graphics.present` (its script work is "
     "inside its draw column). On both sides the draw column is the drawing calls, and the "
     "frame's batched vertices reach the driver in the present column: ours at the frame's end, "
     "LÖVE's in `love.graphics.present`.")
emit("")
emit("| scene | N | engine | physics | hooks | publishing | draw | present | frame | "
     "ratio to LÖVE |")
emit("| --- | ---: | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: |")
frame_cases = [(s, n) for s in scenes for n in (300, 1000)] + [("empty", 0)]
for scene, n in frame_cases:
    ours = stats(f"frame-ours-{scene}-{n}")
    theirs = stats(f"frame-love-{scene}-{n}")
    ours_frame = median(column(ours, "frame_us", WARM_UP))
    love_frame = median(column(theirs, "frame_us", WARM_UP))
    for label, rows, frame in (("Quillfire", ours, ours_frame), ("LÖVE", theirs, love_frame)):
        parts = [fmt(median(column(rows, k, WARM_UP))) for k in COLUMNS[:5]]
        r = fmt(ratio(ours_frame, love_frame), 2) if label == "Quillfire" else ""
        emit(f"| {scene} | {n or ''} | {label} | " + " | ".join(parts) + f" | {fmt(frame)} | {r} |")
    if n == 1000:
        r = ratio(ours_frame, love_frame)
        targets.append((f"frame ÷ LÖVE's, {scene} 1000", "≤ 0.8", fmt(r, 2), r <= 0.8))
emit("")


def fit(kind, size):
    """Sprites drawn within 16.7 ms and the cost a sprite, from a line through two counts."""
    points = []
    for name in sorted(os.listdir(out)):
        prefix = f"sprites-{kind}-{size}-"
        if name.startswith(prefix) and name.endswith(".txt"):
            n = int(name[len(prefix):-4])
            rows = stats(name[:-4])
            points.append((n, median(column(rows, "frame_us", WARM_UP)),
                           median(column(rows, "draw_us", WARM_UP))))
    points.sort()
    if len(points) < 2:
        return float("nan"), float("nan"), float("nan")
    (n1, f1, d1), (n2, f2, d2) = points[0], points[-1]
    per_sprite = (f2 - f1) / (n2 - n1)
    at60 = n1 + (16667 - f1) / per_sprite if per_sprite > 0 else float("nan")
    if at60 < 0:  # noise: the line says nothing below the smaller count
        at60 = float("nan")
    return at60, per_sprite, (d2 - d1) / (n2 - n1)


emit("## 3. Sprite throughput (300 frames a count, medians)")
emit("")
emit("Sprites a frame within 16.7 ms, from a straight line through the frame times at two "
     "counts; the submission cost is the slope of the draw column alone (for LÖVE, its drawing "
     "loop). Quillfire draws them with one `res.drawSprites` call a frame; the calls columns "
     "draw them with one `res.drawSprite` call a sprite.")
emit("")
emit("| sprite | Quillfire | Quillfire calls | LÖVE draw | LÖVE SpriteBatch | "
     "Quillfire frame µs/sprite | Quillfire submission µs/sprite | calls submission | "
     "LÖVE draw submission | SpriteBatch submission |")
emit("| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |")
for size in (32, 4):
    o, ob, os_ = fit("ours", size)
    c, _, cs = fit("ourscalls", size)
    l, _, ls = fit("love", size)
    b, _, bs = fit("lovebatch", size)
    emit(f"| {size} × {size} | {fmt(o)} | {fmt(c)} | {fmt(l)} | {fmt(b)} | {fmt(ob, 3)} | "
         f"{fmt(os_, 3)} | {fmt(cs, 3)} | {fmt(ls, 3)} | {fmt(bs, 3)} |")
    if size == 32:
        best = max(x for x in (l, b) if x == x) if (l == l or b == b) else float("nan")
        targets.append(("32 × 32 sprites at 60 fps ≥ LÖVE's best", f"≥ {fmt(best)}", fmt(o),
                        o >= best))
        targets.append(("submission a sprite", "≤ 0.15 µs", fmt(os_, 3), os_ <= 0.15))
emit("")

emit("## 4. Micro-benchmarks (Google Benchmark, CPU time)")
emit("")
try:
    with open(path("micro.json")) as f:
        micro = {b["name"]: b for b in json.load(f)["benchmarks"]}
except (OSError, ValueError, KeyError):
    micro = {}


def ns(name):
    b = micro.get(name)
    if not b:
        return float("nan")
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
    return b["cpu_time"] * scale


emit("| benchmark | time | note |")
emit("| --- | ---: | --- |")
raw_call, typed_call = ns("BM_NativeCallRaw"), ns("BM_NativeCallTyped")
emit(f"| raw lua_CFunction call | {fmt(raw_call, 1)} ns | |")
emit(f"| typed native through the trampoline | {fmt(typed_call, 1)} ns | "
     f"{fmt(ratio(typed_call, raw_call), 2)} × raw |")
targets.append(("typed native ÷ raw lua_CFunction", "≤ 2", fmt(ratio(typed_call, raw_call), 2),
                ratio(typed_call, raw_call) <= 2))
for n in (100, 1000):
    t = ns(f"BM_PublishObjects/{n}")
    emit(f"| publishing {n} objects (one frame) | {fmt(t / 1e3, 1)} µs | "
         f"{fmt(t / n / 1e3, 2)} µs an object |")
empty_hook = ns("BM_PublishObjectsEmptyHook/1000")
emit(f"| publishing 1000 objects, the hook empty | {fmt(empty_hook / 1e3, 1)} µs | "
     f"{fmt(empty_hook / 1000 / 1e3, 2)} µs an object: the engine's part |")
mix = ns("BM_MixBlock32Voices")
block_seconds = micro.get("BM_MixBlock32Voices", {}).get("blockSeconds", 1024 / 44100)
core = mix / 1e9 / block_seconds * 100
emit(f"| one mixer block of 32 voices (1024 frames, 44.1 kHz stereo) | {fmt(mix / 1e3, 1)} µs | "
     f"{fmt(core, 2)} % of one core |")
targets.append(("32 voices, share of one core", "≤ 1 %", fmt(core, 2) + " %", core <= 1))
emit(f"| label-cache hit | {fmt(ns('BM_LabelCacheHit'), 1)} ns | |")
emit("")


def startup(kind):
    values = []
    for i in range(1, 6):
        rows = stats(f"startup-{kind}-{i}")
        try:
            with open(path(f"startup-{kind}-{i}.start")) as f:
                start = int(f.read())
        except (OSError, ValueError):
            continue
        if rows:
            values.append((rows[0]["wall_us"] - start) / 1000)
    return median(values)


emit("## 5. Start-up to the first presented frame (median of 5 launches, ms)")
emit("")
emit("From just before the process is started to the end of its first present (the "
     "`wall_us` column of the first line).")
emit("")
headless, ours_x, love_x = startup("headless"), startup("ours"), startup("love")
emit("| | ms |")
emit("| --- | ---: |")
emit(f"| Quillfire headless | {fmt(headless)} |")
emit(f"| Quillfire on Xvfb | {fmt(ours_x)} |")
emit(f"| LÖVE, empty game, on Xvfb | {fmt(love_x)} |")
targets.append(("start-up headless", "≤ 300 ms", fmt(headless) + " ms", headless <= 300))
targets.append(("start-up on Xvfb ≤ LÖVE's", f"≤ {fmt(love_x)} ms", fmt(ours_x) + " ms",
                ours_x <= love_x))
emit("")

emit("## Targets")
emit("")
emit("| target | bar | measured | |")
emit("| --- | --- | --- | --- |")
for name, bar, value, met in targets:
    emit(f"| {name} | {bar} | {value} | {'met' if met else 'missed'} |")
emit("")

notes = os.path.join(os.path.dirname(os.path.abspath(__file__)), "PROFILE.md")
if os.path.exists(notes):
    with open(notes) as f:
        emit(f.read().rstrip())
    emit("")

with open(results, "w") as f:
    f.write("\n".join(lines))
