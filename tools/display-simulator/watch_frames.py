#!/usr/bin/env python3
"""Follows the display simulator's report log and prints each sensor frame a display received, decoded."""
import argparse
import os
import sys
import time

REPORT_ID = 0x07


def describe(data):
    if len(data) < 8 or data[0] != REPORT_ID or any(d > 9 for d in data[1:4] + data[5:8]):
        return None
    if not any(data[1:8]):
        return "blank (LED off, or no readings yet)"
    shown = data[1] * 100 + data[2] * 10 + data[3]
    level, unit = data[4] >> 4, data[4] & 0x0F
    second = data[5] * 100 + data[6] * 10 + data[7]
    unit_text = {0: "C", 1: "F"}.get(unit, "?")
    return f"{shown:3d} {unit_text}  level {level:2d}/10  second {second:03d}"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("log", help="the file named by DISPLAYSIM_LOG")
    parser.add_argument("--seconds", type=float, default=0, help="stop after this long (0: until interrupted)")
    args = parser.parse_args()

    deadline = time.monotonic() + args.seconds if args.seconds > 0 else None
    offset = 0
    pending = ""
    while deadline is None or time.monotonic() < deadline:
        if os.path.exists(args.log):
            with open(args.log, "r", encoding="ascii", errors="replace") as log:
                log.seek(offset)
                pending += log.read()
                offset = log.tell()
        *lines, pending = pending.split("\n")
        for line in lines:
            fields = line.split()
            if len(fields) < 5 or fields[2] != "send" or fields[3] != "65":
                continue
            text = describe(list(bytes.fromhex(fields[4])))
            if text is not None:
                stamp = time.strftime("%H:%M:%S", time.localtime(int(fields[0]) / 1000))
                print(f"{stamp}  {fields[1]:<10} {text}", flush=True)
        time.sleep(0.2)


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit(0)
