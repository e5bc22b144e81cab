#!/usr/bin/env python3
"""Turns the outputs of one scripts/bench run into one table.

Usage: report.py FIGURES_TSV OUT_DIR
OUT_DIR holds <exe>.json for each Google Benchmark executable, picture.txt,
present.txt, startup.txt, latency.txt, share-browser.txt and share-capacity.txt. Prints the table, writes bench-report.md and
bench-ratios.dat (label, ratio, target as a ratio, target met: 1, 0, -1 none) for the chart.
"""
import json
import math
import os
import re
import sys

SIZES = [(1920, 1080), (3840, 2160)]
UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load_json(out_dir):
    runs = {}
    for name in os.listdir(out_dir):
        if not name.endswith(".json"):
            continue
        # exe@size.json: a run on a screen of that size, the size added to
        # each name.
        exe, _, size = name[:-5].partition("@")
        tag = "@" + size if size else ""
        try:
            with open(os.path.join(out_dir, name)) as f:
                data = json.load(f)
        except (OSError, ValueError):
            continue
        for b in data.get("benchmarks", []):
            if b.get("error_occurred"):
                continue
            # Options fixed in the source (min_time, iterations) are not
            # part of the figure's name.
            name = re.sub(r"/(min_time|iterations|repeats):[^/]*", "", b.get("run_name", b["name"]))
            runs[exe + ":" + name + tag] = b
    return runs


def load_text(out_dir):
    """Figures the four printing benches give, keyed as in figures.tsv."""
    found = {}

    def read(name):
        try:
            with open(os.path.join(out_dir, name)) as f:
                return f.read()
        except OSError:
            return ""

    size = None
    last = None
    for line in read("picture.txt").splitlines():
        m = re.match(r"^(\d+) x (\d+)$", line.strip())
        if m:
            size = m.group(1) + "x" + m.group(2)
            continue
        m = re.match(r"^  (.*?)\s+([\d.]+) ms", line)
        if m and size:
            label = m.group(1).strip() or last
            last = label
            found.setdefault("picture:%s@%s" % (label, size), (float(m.group(2)), "ms"))
    present = read("present.txt")
    for m in re.finditer(r"(\d+x\d+): whole-screen present:.*?best ([\d.]+) ms.*?"
                         r"present best ([\d.]+) ms", present):
        found["present:whole@" + m.group(1)] = (float(m.group(2)), "ms")
        found["present:small@" + m.group(1)] = (float(m.group(3)), "ms")
    startup = read("startup.txt")
    for m in re.finditer(r"(\d+x\d+): start to shown beyond the pause: best (-?[\d.]+) ms",
                         startup):
        found["startup:time@" + m.group(1)] = (float(m.group(2)), "ms")
    for m in re.finditer(r"(\d+x\d+): resident memory ([\d.]+) MB", startup):
        found["startup:rss@" + m.group(1)] = (float(m.group(2)), "MB")
    latency = read("latency.txt")
    for m in re.finditer(r"(\d+x\d+): pen move to pixels, (no compositor|xcompmgr): "
                         r"median ([\d.]+) ms, p99 ([\d.]+) ms", latency):
        kind = "" if m.group(2) == "no compositor" else "composited "
        found["latency:%smedian@%s" % (kind, m.group(1))] = (float(m.group(3)), "ms")
        found["latency:%sp99@%s" % (kind, m.group(1))] = (float(m.group(4)), "ms")
    for m in re.finditer(r"(\d+x\d+): one 1x1 read-back round trip: median ([\d.]+) ms", latency):
        found["latency:round trip@" + m.group(1)] = (float(m.group(2)), "ms")
    for m in re.finditer(r"in chromium, +(\d+) page\(s\): median ([\d.]+) ms, p99 ([\d.]+) ms",
                         read("share-browser.txt")):
        found["share:browser median@" + m.group(1)] = (float(m.group(2)), "ms")
        found["share:browser p99@" + m.group(1)] = (float(m.group(3)), "ms")
    capacity = read("share-capacity.txt")
    m = re.search(r"before a gesture slows .*?: (?:at least )?(\d+)", capacity)
    if m:
        found["share:viewers held"] = (float(m.group(1)), "viewers")
    m = re.search(r"server memory per viewer at \d+ viewers: ([\d.]+) KB", capacity)
    if m:
        found["share:memory per viewer"] = (float(m.group(1)), "KB")
    return found


def figure(key, runs, texts):
    """(value, unit) of one figure key, or None when the run did not give it."""
    if key in texts:
        return texts[key]
    key, _, counter = key.partition("#")
    b = runs.get(key)
    if b is None:
        return None
    if counter:
        v = b.get(counter)
        return None if v is None else (v / 1000.0 if counter.endswith("_us") else v, "ms")
    return (b["real_time"] * UNIT_MS[b.get("time_unit", "ns")], "ms")


def fmt(value, unit):
    if value is None:
        return "n/a"
    if unit == "ms" and abs(value) < 0.001:
        return "%.0f ns" % (value * 1e6)
    if unit == "ms" and abs(value) < 0.1:
        return "%.2f µs" % (value * 1000)
    return ("%.3g" % value if abs(value) < 100 else "%.0f" % value) + " " + unit


def rows(figures_tsv, runs, texts):
    out = []
    with open(figures_tsv) as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            label, sizes, fig, base, target = line.rstrip("\n").split("\t")
            for w, h in SIZES if sizes == "S" else [(None, None)]:
                def sub(s):
                    return s if w is None else s.replace("{w}", str(w)).replace("{h}", str(h))
                value = figure(sub(fig), runs, texts)
                baseline = figure(sub(base), runs, texts) if base != "-" else None
                row = {"label": label, "size": "" if w is None else "%dx%d" % (w, h),
                       "value": value, "baseline": baseline,
                       "base_name": sub(base).partition(":")[2].split("@")[0] or "-"}
                ratio = value[0] / baseline[0] if value and baseline and baseline[0] > 0 else None
                row["ratio"] = ratio
                # The target, as text and as a ratio to the baseline (or to
                # itself when there is no baseline) for the chart.
                row["target"], row["target_ratio"], row["meets"] = "-", None, None
                m = re.match(r"^<(.*?)\s*(x|ms|MB)$", target)
                if m and value:
                    img = (w or 1920) * (h or 1080) * 4 / 1048576.0
                    limit = eval(m.group(1).replace("{img}", repr(img)), {"__builtins__": {}})
                    if m.group(2) == "x":
                        row["target"] = "< %gx" % limit
                        row["target_ratio"] = limit
                        row["meets"] = ratio is not None and ratio < limit
                    else:
                        shown = "%.0f" % limit if limit >= 10 else "%g" % limit
                        row["target"] = "< %s %s" % (shown, m.group(2))
                        row["meets"] = value[0] < limit
                        if baseline:
                            row["target_ratio"] = limit / baseline[0]
                        else:
                            row["ratio"] = value[0] / limit
                            row["target_ratio"] = 1.0
                            row["base_name"] = "(the target)"
                out.append(row)
    return out


def table(rs):
    head = ["Figure", "Size", "Value", "Target", "Met", "Baseline", "Baseline value", "Ratio"]
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for r in rs:
        met = "" if r["meets"] is None else ("yes" if r["meets"] else "**no**")
        lines.append("| " + " | ".join([
            r["label"], r["size"] or "-", fmt(*(r["value"] or (None, ""))), r["target"], met,
            r["base_name"], fmt(*(r["baseline"] or (None, ""))) if r["baseline"] else "-",
            "%.2fx" % r["ratio"] if r["ratio"] is not None else "-"]) + " |")
    return "\n".join(lines)


def main():
    figures_tsv, out_dir = sys.argv[1], sys.argv[2]
    rs = rows(figures_tsv, load_json(out_dir), load_text(out_dir))
    text = table(rs)
    print(text)
    with open(os.path.join(out_dir, "bench-report.md"), "w") as f:
        f.write("# Benchmark report\n\nRatio: the figure divided by its baseline, "
                "measured in the same run (where no baseline exists, by its target).\n\n")
        f.write(text + "\n")
    with open(os.path.join(out_dir, "bench-ratios.dat"), "w") as f:
        for r in rs:
            if r["ratio"] is None or r["ratio"] <= 0:
                continue
            name = r["label"] + (" " + r["size"] if r["size"] else "")
            if r["base_name"] == "(the target)":
                name += " (to its target)"
            t = r["target_ratio"] if r["target_ratio"] else math.nan
            met = -1 if r["meets"] is None else int(r["meets"])
            f.write('"%s" %g %g %d\n' % (name.replace('"', "'"), r["ratio"], t, met))


if __name__ == "__main__":
    main()
