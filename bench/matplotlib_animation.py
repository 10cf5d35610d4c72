#!/usr/bin/python3
"""The playback movie the way a matplotlib user writes one, for comparison
with `cosmophase --save-animation`.

Usage: /usr/bin/python3 bench/matplotlib_animation.py OUT.mp4 [SIDE] [FRAMES] [EXPORT]

Draws the phase plane's layers once (dotted grid, the 20 x 20 direction
field with square heads, the stable and unstable manifolds, the family
curve, the run's trajectory, the three equilibria) in a figure of about the
size that `--save-animation --size SIDE` writes (default 720), then moves
the marker with set_data, FRAMES times (default 600), through the run
uniformly in elapsed time as Play does, and writes H.264 (yuv420p,
x264's veryfast preset, as the program uses) through FFMpegWriter.

Needs Debian's python3-matplotlib and the ffmpeg program (bench only: the
project itself needs neither). The run and the curves come from
cosmophase-export (EXPORT, default build/tools/export/cosmophase-export).
"""

import csv
import io
import subprocess
import sys
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.animation import FFMpegWriter  # noqa: E402
from matplotlib.collections import LineCollection  # noqa: E402

HERE = Path(__file__).resolve().parent


def export(tool, *arguments):
    text = subprocess.run([tool, *arguments], check=True, capture_output=True, text=True).stdout
    return list(csv.DictReader(io.StringIO(text)))


def field_arrows():
    """Segments and heads as the plot lays them out: 5 x 5 sites in each
    unit cell, the field with z4 = w2 = 0, longer ones cut to length 1."""
    sites = [(i + a / 6, j + b / 6) for i in range(-2, 2) for j in range(-2, 2)
             for a in range(1, 6) for b in range(1, 6)]
    z2, w0 = np.array(sites).T
    dx = -(z2 + 4 / 3) * 3 * w0
    dy = -(w0 * w0 + w0 / 3 + z2 / 6)
    length = np.hypot(dx, dy)
    scale = np.where(length > 1, length, 1)
    dx, dy = dx / scale / 7, dy / scale / 7
    tails = np.stack([z2 - dx / 2, w0 - dy / 2], axis=1)
    heads = np.stack([z2 + dx / 2, w0 + dy / 2], axis=1)
    return np.stack([tails, heads], axis=1), heads


def main():
    out = sys.argv[1]
    side = int(sys.argv[2]) if len(sys.argv) > 2 else 720
    frames = int(sys.argv[3]) if len(sys.argv) > 3 else 600
    tool = sys.argv[4] if len(sys.argv) > 4 else str(HERE.parent / "build/tools/export/cosmophase-export")

    samples = export(tool, "samples")
    times = np.array([float(r["time_years"]) for r in samples])
    z2 = np.array([float(r["z2"]) for r in samples])
    w0 = np.array([float(r["w0"]) for r in samples])
    curves = {}
    for row in export(tool, "curves"):
        curves.setdefault(row["curve"], []).append((float(row["z2"]), float(row["w0"])))

    dpi = 100
    margin = 72  # about the axes' labels around the plot
    figure = plt.figure(figsize=((side + margin) / dpi, (side + margin / 3) / dpi), dpi=dpi)
    axes = figure.add_axes([margin / (side + margin), (margin / 3) / (side + margin / 3) * 0.5,
                            side / (side + margin), side / (side + margin / 3)])
    axes.set_xlim(-2, 2)
    axes.set_ylim(-2, 2)
    axes.set_xlabel("z2")
    axes.set_ylabel("w0")
    for v in np.arange(-1.5, 2, 0.5):
        axes.axvline(v, color="0.7", linestyle=":", linewidth=1)
        axes.axhline(v, color="0.7", linestyle=":", linewidth=1)
    segments, heads = field_arrows()
    axes.add_collection(LineCollection(segments, colors="lime", linewidths=2))
    axes.plot(heads[:, 0], heads[:, 1], "s", color="lime", markersize=4)
    colours = {"stable": "darkgreen", "unstable": "cyan", "family": "yellow"}
    for name, points in curves.items():
        colour = next((c for key, c in colours.items() if name.startswith(key)), "grey")
        xy = np.array(points)
        axes.plot(xy[:, 0], xy[:, 1], color=colour, linewidth=2)
    axes.plot(z2, w0, color="blue", linewidth=2)
    axes.plot([0, -4 / 3, -4 / 3], [0, 1 / 3, -2 / 3], "o", color="red", markersize=5)
    (marker,) = axes.plot([z2[0]], [w0[0]], "o", color="blue", markersize=7)

    writer = FFMpegWriter(fps=30, codec="libx264", extra_args=["-pix_fmt", "yuv420p", "-preset", "veryfast"])
    with writer.saving(figure, out, dpi):
        for k in range(frames):
            percent = 100 * k / (frames - 1)
            index = min(int(np.searchsorted(times, percent / 100 * times[-1])), len(times) - 1)
            marker.set_data([z2[index]], [w0[index]])
            writer.grab_frame()


if __name__ == "__main__":
    main()
