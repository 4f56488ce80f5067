#!/usr/bin/python3
"""Side-by-side figures: the engine (bench_astro) against the same work done by PyEphem.

    /usr/bin/python3 bench/pyephem_astro.py [path/to/bench_astro]

PyEphem (Debian python3-ephem) does, for Tokyo:
  - seven bodies: Sun, Moon, Mercury to Saturn computed for an observer (topocentric RA/Dec and
    azimuth/altitude), one instant;
  - one day of events: rise, transit, setting and lower transit of the Sun and the Moon, by its
    root finding.
bench_astro does the engine's counterparts (BM_SevenBodies, BM_TodaysDataDay, which also finds
the transits of Mars, Jupiter and Saturn). Both run here, one after the other, and the ratios
are printed. Both sides are timed in CPU time of the process, which a busy shared machine
disturbs far less than wall-clock time.
"""
import json
import os
import subprocess
import sys
import time
import timeit

import ephem


def observer(date):
    o = ephem.Observer()
    o.lon = "139.3667"
    o.lat = "35.5667"
    o.elevation = 0
    o.date = date
    return o


def seven_bodies_us():
    bodies = [ephem.Sun(), ephem.Moon(), ephem.Mercury(), ephem.Venus(), ephem.Mars(), ephem.Jupiter(),
              ephem.Saturn()]
    state = {"d": ephem.Date("2005/1/1 12:00")}
    o = observer(state["d"])

    def run():
        state["d"] += ephem.minute
        o.date = state["d"]
        for b in bodies:
            b.compute(o)
            b.az, b.alt  # noqa: B018  (computed with the body)

    n = 2000
    return min(timeit.repeat(run, number=n, repeat=5, timer=time.process_time)) / n * 1e6


def day_events_us():
    sun, moon = ephem.Sun(), ephem.Moon()
    state = {"d": ephem.Date("2005/1/1 00:00") - 9 * ephem.hour}
    o = observer(state["d"])

    def run():
        state["d"] += 1
        for b in (sun, moon):
            for fn in (o.next_rising, o.next_transit, o.next_setting, o.next_antitransit):
                try:
                    fn(b, start=state["d"])
                except (ephem.AlwaysUpError, ephem.NeverUpError):
                    pass

    n = 200
    return min(timeit.repeat(run, number=n, repeat=5, timer=time.process_time)) / n * 1e6


def engine(path):
    out = subprocess.run([path, "--benchmark_format=json", "--benchmark_repetitions=3",
                          "--benchmark_report_aggregates_only=true"], check=True, capture_output=True, text=True)
    figures = {}
    for b in json.loads(out.stdout)["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]
        figures[b["run_name"]] = b["cpu_time"] * scale
    return figures


def main():
    # The folder `./build.sh test` builds into.
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "bench", "bench_astro")
    path = sys.argv[1] if len(sys.argv) > 1 else default
    py_set = seven_bodies_us()
    py_day = day_events_us()
    ours = engine(path)
    print("PyEphem %s" % ephem.__version__)
    for name, value in sorted(ours.items()):
        print("  engine %-22s %9.3f us" % (name, value))
    print("seven bodies: engine %.2f us, PyEphem %.1f us, %.1fx faster" %
          (ours["BM_SevenBodies"], py_set, py_set / ours["BM_SevenBodies"]))
    print("one day list: engine %.1f us, PyEphem Sun+Moon events %.1f us, %.2fx" %
          (ours["BM_TodaysDataDay"], py_day, py_day / ours["BM_TodaysDataDay"]))


if __name__ == "__main__":
    main()
