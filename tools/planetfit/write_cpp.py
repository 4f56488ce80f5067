#!/usr/bin/python3
"""Write src/astro/planet_tables.cpp from the fitted rows in tables.py, without fitting again.

Usage: python3 tools/planetfit/write_cpp.py [--out FILE]

CI writes the file elsewhere and compares it with the committed one, so the C++ tables can never
drift from the rows fit.py recorded.
"""

import argparse
import importlib.util
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from cpp_tables import CPP_PATH, write_cpp  # noqa: E402


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=CPP_PATH)
    ap.add_argument("--py", default=os.path.join(here, "tables.py"))
    args = ap.parse_args()
    module_spec = importlib.util.spec_from_file_location("fitted_tables", args.py)
    fitted = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(fitted)
    write_cpp(args.out, fitted.TABLES)


if __name__ == "__main__":
    main()
