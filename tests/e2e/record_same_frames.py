#!/usr/bin/env python3
# Compares the decoded video frames of a recording with the camera's own
# frames: decoded frame k belongs to the k-th non-empty video packet, whose
# time stamp is the camera's frame number; a dropped frame (an empty packet)
# decodes to nothing.
# Usage: record_same_frames.py REF.raw GOT.raw PTS.csv NAME WIDTH HEIGHT
import sys

ref_path, got_path, pts_path, name = sys.argv[1:5]
width, height = int(sys.argv[5]), int(sys.argv[6])
ref = open(ref_path, 'rb').read()
got = open(got_path, 'rb').read()
size = width * height * 3
pts = [int(l.split(',')[0]) for l in open(pts_path) if l.strip() and int(l.split(',')[1]) > 0]
if len(got) != len(pts) * size or not pts:
    print("FAIL %s: %d frames decoded for %d packets" % (name, len(got) // size, len(pts)))
    sys.exit(1)
if len(ref) < (max(pts) + 1) * size:
    print("FAIL %s: reference frames end before frame %d" % (name, max(pts)))
    sys.exit(1)
bad = [p for k, p in enumerate(pts) if got[k * size:(k + 1) * size] != ref[p * size:(p + 1) * size]]
if bad:
    print("FAIL %s: frames differ from the camera's at numbers %s" % (name, bad[:10]))
    sys.exit(1)
print("ok   %s: all %d decoded frames equal the camera's frames of their numbers" % (name, len(pts)))
