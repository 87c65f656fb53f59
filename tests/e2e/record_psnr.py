#!/usr/bin/env python3
# PSNR of a compressed recording's decoded frames against the camera's own
# frames, both as full-range YUV 4:2:0 (yuvj420p, what a JPEG holds): over
# all three planes, as ffmpeg's psnr filter averages them. Decoded frame k
# belongs to the k-th non-empty video packet, whose time stamp is the
# camera's frame number. Fails when a frame is below MIN_DB.
# Usage: record_psnr.py REF.yuv GOT.yuv PTS.csv NAME WIDTH HEIGHT MIN_DB
import math
import sys

ref_path, got_path, pts_path, name = sys.argv[1:5]
width, height, min_db = int(sys.argv[5]), int(sys.argv[6]), float(sys.argv[7])
ref = open(ref_path, 'rb').read()
got = open(got_path, 'rb').read()
size = width * height + 2 * ((width + 1) // 2) * ((height + 1) // 2)
pts = [int(l.split(',')[0]) for l in open(pts_path) if l.strip() and int(l.split(',')[1]) > 0]
if len(got) != len(pts) * size or not pts or len(ref) < (max(pts) + 1) * size:
    print("FAIL %s: %d frames decoded for %d packets, %d reference frames"
          % (name, len(got) // size, len(pts), len(ref) // size))
    sys.exit(1)


def psnr(a, b):
    mse = sum((x - y) * (x - y) for x, y in zip(a, b)) / len(a)
    return 100.0 if mse == 0 else 10 * math.log10(255 * 255 / mse)


scores = [psnr(got[k * size:(k + 1) * size], ref[p * size:(p + 1) * size]) for k, p in enumerate(pts)]
worst = min(scores)
line = "%s: %d frames, PSNR %.1f dB on average, %.1f dB at the worst" % (
    name, len(scores), sum(scores) / len(scores), worst)
if worst < min_db:
    print("FAIL %s (wanted at least %.0f dB)" % (line, min_db))
    sys.exit(1)
print("ok   " + line)
