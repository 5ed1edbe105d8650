"""The Python module against the program's own command line: the same reports, crystal tables,
refusals, sweeps and files, bit for bit; and the exceptions a script gets instead of a crash."""

import copy
import csv
import errno
import io
import json
import math
import os
import pathlib
import pickle
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import _thread

import numpy as np

import lumivard

EXE = os.environ["LUMIVARD_EXE"]
CORPUS = sorted((pathlib.Path(__file__).resolve().parents[2] / "fuzz" / "corpus").glob("*.cfg"))


def batch(*args):
    """The program's batch run: (exit status, standard output, the error line)."""
    done = subprocess.run([EXE, "--batch", *args], capture_output=True, check=False)
    return done.returncode, done.stdout, done.stderr.decode().strip()


def csv_columns(data):
    """A CSV table of the program as columns of floats (NaN for an empty cell)."""
    rows = list(csv.reader(io.StringIO(data.decode())))
    return {name: np.array([float(r[k]) if r[k] else math.nan for r in rows[1:]])
            for k, name in enumerate(rows[0])}


def same_bits(a, b):
    """Equal doubles to the bit, NaN where the other is NaN (the CSV writes every NaN as nan)."""
    a, b = np.asarray(a, dtype=float), np.asarray(b, dtype=float)
    nan = np.isnan(a) & np.isnan(b)
    same = (a.view(np.int64) == b.view(np.int64)) | nan
    return a.shape == b.shape and bool(same.all())


def canonical(report):
    """JSON text that tells 1 from 1.0 and 0.0 from -0.0."""
    return json.dumps(report, sort_keys=True)


# (a design of fuzz/corpus or None for the default one, the --set changes)
DESIGNS = [(None, [])] + [(path, []) for path in CORPUS] + [
    (None, [("DE", "-5"), ("Num", "20"), ("Material", "Ge"), ("Index", "2,2,0")]),
    (CORPUS[0], [("RotateAll", "12.5"), ("crystal.2.Deg", "30"), ("crystal.1.Length", "-3")]),
    (None, [("Source.Divergence", "100"), ("Source.Size", "20"), ("Source.Distance", "2500"),
            ("Polarisation", "0.25"), ("Temperature", "40")]),
]

# The properties that read the panels and the source, and where the report has them.
PROPERTIES = [("material", "panels", "material"), ("lattice_constant", "panels", "latticeConstant"),
              ("spacing", "panels", "spacing"), ("type", "panels", "type"),
              ("rotate_all", "panels", "rotateAll"), ("rotate_all_deg", "panels", "rotateAllDeg"),
              ("start_energy", "panels", "startEnergy"), ("energy_step", "panels", "deltaEnergy"),
              ("dx", "panels", "dx"), ("dy", "panels", "dy"), ("length", "panels", "length"),
              ("comment", "panels", "comment"), ("source_distance", "source", "distance"),
              ("source_size", "source", "size"), ("source_divergence", "source", "divergence_urad"),
              ("polarisation", "source", "polarisation"),
              ("polarisation_degree", "source", "polarisationDegree"),
              ("temperature", "source", "temperature_C")]


def design_of(path, settings):
    design = lumivard.Design() if path is None else lumivard.load(path)
    design.set_many(settings)
    return design


def batch_args(path, settings):
    args = ["-" if path is None else str(path)]
    for name, value in settings:
        args += ["--set", f"{name}={value}"]
    return args


class SameNumbers(unittest.TestCase):
    def test_report_and_table_as_the_command_line_writes_them(self):
        for path, settings in DESIGNS:
            with self.subTest(design=path and path.name, settings=settings):
                status, out, err = batch(*batch_args(path, settings), "--json", "-")
                self.assertEqual(status, 0, err)
                design = design_of(path, settings)
                self.assertEqual(canonical(design.report()), canonical(json.loads(out)))

                status, out, err = batch(*batch_args(path, settings), "--csv", "-")
                expected = csv_columns(out)
                table = design.crystals
                self.assertEqual(list(table), list(expected))
                self.assertEqual(table["no"].dtype, np.int64)
                for name, column in table.items():
                    self.assertTrue(same_bits(column, expected[name]), name)

                report = design.report()
                for name, part, key in PROPERTIES:
                    where = report["panels"] if part == "panels" else report["bands"]["source"]
                    self.assertEqual(getattr(design, name), where[key], name)
                # None, as the report's null, with fewer than two crystals that reflect.
                focus = report["readouts"]["focus"]
                self.assertEqual(design.focus, focus and (focus["x"], focus["y"]))
                lsq = report["bands"]["focus"]["leastSquares"]
                self.assertEqual(design.least_squares_focus, lsq and (lsq["x"], lsq["y"]))
                bands = design.bands()
                self.assertEqual(len(design.crossings), len(table["no"]) * (len(table["no"]) - 1) // 2)
                for key, values in bands["crystals"].items():
                    rows = [c[key] for c in report["bands"]["crystals"]]
                    if isinstance(values, np.ndarray) and values.dtype == float:
                        self.assertTrue(same_bits(values, [math.nan if v is None else v for v in rows]))
                    else:
                        self.assertEqual(list(values), rows, key)

    def test_rays_as_the_command_line_traces_them(self):
        path, settings = DESIGNS[-1]
        design = design_of(path, settings)
        self.assertIsNone(design.report()["rays"])
        for rays, seed in [(4000, 1), (4000, 9), (1, 2**53)]:
            with self.subTest(rays=rays, seed=seed):
                status, out, err = batch(*batch_args(path, settings), "--json", "-",
                                         "--rays", str(rays), "--seed", str(seed))
                self.assertEqual(status, 0, err)
                self.assertEqual(canonical(design.report(rays=rays, seed=seed)),
                                 canonical(json.loads(out)))
        for rays, seed, error in [(0, 1, ValueError), (10**8 + 1, 1, ValueError),
                                  (10, -1, ValueError), (10, 2**53 + 1, ValueError),
                                  (True, 1, TypeError), (1.5, 1, TypeError), (10, "1", TypeError)]:
            with self.subTest(rays=rays, seed=seed), self.assertRaises(error):
                design.report(rays=rays, seed=seed)

    def test_sweep_as_the_command_line_runs_it(self):
        # (design, --set changes, name, from, to, step): panels on threads, the rest in order.
        sweeps = [(None, [("Num", "20")], "DE", -0.5, -15, -0.5),
                  (CORPUS[4], [], "StartE", 7000, 9000, 125),
                  (CORPUS[1], [], "Type", 1, 7, 1),
                  (CORPUS[2], [], "crystal.3.Length", 1, 20, 0.37),
                  (None, [("Source.Size", "20")], "Source.Divergence", 0, 300, 50)]
        for path, settings, name, start, stop, step in sweeps:
            with self.subTest(name=name):
                status, out, err = batch(*batch_args(path, settings), "--csv", "-",
                                         "--sweep", f"{name}={start}:{stop}:{step}")
                self.assertEqual(status, 0, err)
                expected = csv_columns(out)
                design = design_of(path, settings)
                before, history = design.text, design.focus_history
                table = lumivard.sweep(design, name, lumivard.sweep_values(start, stop, step))
                self.assertEqual(list(table), list(expected))
                for column, values in table.items():
                    self.assertTrue(same_bits(values, expected[column]), column)
                self.assertEqual(design.text, before)
                self.assertTrue(same_bits(design.focus_history, history))

    def test_set_types_numbers_as_the_sweep_does(self):
        # A float with 15 significant digits, an int as it is, NumPy's scalars alike.
        for value, text in [(0.1 + 0.2, "0.3"), (-15.0, "-15"), (7, "7"), (np.int64(12), "12"),
                            (np.float32(2.5), "2.5"), ("  8e3 ", "  8e3 ")]:
            with self.subTest(value=value):
                design = lumivard.Design()
                design.set("StartE", value)
                self.assertIn(f"# Start Energy       : {text}\n", design.text)


class Refusals(unittest.TestCase):
    # (name, value, exception): the message is the command line's, the design unchanged.
    REFUSED = [("DE", "abc", ValueError), ("Num", "2.7", ValueError), ("StartE", "nan", ValueError),
               ("StartE", float("inf"), ValueError), ("Type", 8, ValueError),
               ("Material", "Cu", ValueError), ("Index", "1,1", ValueError),
               ("Index", (1, "x", 1), ValueError), ("crystal.3.Deg", "", ValueError),
               ("Bogus", "1", KeyError), ("crystal.0.X", "1", KeyError),
               ("crystal.11.X", "1", IndexError), ("Source.Distance", 0, ValueError),
               ("Source.Divergence", -1, ValueError), ("Polarisation", "circular", ValueError),
               ("Temperature", -300, ValueError)]

    def test_refused_as_by_the_command_line(self):
        for name, value, error in self.REFUSED:
            with self.subTest(name=name, value=value):
                design = lumivard.Design()
                before = design.text
                with self.assertRaises(error) as caught:
                    design.set(name, value)
                text = value if isinstance(value, str) else \
                    ",".join(map(str, value)) if isinstance(value, tuple) else str(value)
                status, _, err = batch("-", "--set", f"{name}={text}")
                self.assertEqual(status, 1)
                self.assertEqual(f"lumivard: {caught.exception.args[0]}", err)
                self.assertEqual(design.text, before)

    def test_set_many_is_all_or_nothing(self):
        design = lumivard.Design()
        design.set("DE", -7)
        before, history = design.text, design.focus_history
        with self.assertRaises(IndexError):
            # Crystal 15 is there only once Num has been made 20, before it is refused.
            design.set_many({"Num": 20, "crystal.15.X": 3, "Type": 5, "crystal.25.X": 1})
        self.assertEqual(design.text, before)
        self.assertTrue(same_bits(design.focus_history, history))
        design.set_many([("Num", 20), ("crystal.15.X", 3)])
        self.assertEqual(len(design.crystals["no"]), 20)
        self.assertEqual(design.crystals["x"][14], 3)

    def test_wrong_types(self):
        design = lumivard.Design()
        for call in [lambda: design.set("DE", True), lambda: design.set("DE", None),
                     lambda: design.set(3, "1"), lambda: design.set_many([("DE",)]),
                     lambda: lumivard.sweep(design, "DE", "-5"),
                     lambda: lumivard.sweep(design, "DE", [object()])]:
            with self.assertRaises(TypeError):
                call()

    def test_sweep_refuses_before_it_runs(self):
        design = lumivard.Design()
        for name, values, error in [("DE", [-1, -2, "x"], ValueError), ("Bogus", [1], KeyError),
                                    ("Material", ["Si"], ValueError),
                                    ("crystal.11.X", [1, 2], IndexError),
                                    ("DE", [1, math.nan], ValueError)]:
            with self.subTest(name=name, values=values), self.assertRaises(error):
                lumivard.sweep(design, name, values)
        for start, stop, step in [(0, 1, 0), (0, 1, -1), (0, 20000, 1)]:
            with self.assertRaises(ValueError):
                lumivard.sweep_values(start, stop, step)
        self.assertEqual(lumivard.sweep(design, "DE", [])["coverage"].shape, (0,))


class Files(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.dir = pathlib.Path(self.folder.name)

    def test_round_trip_byte_for_byte(self):
        for path, settings in DESIGNS:
            with self.subTest(design=path and path.name, settings=settings):
                design = design_of(path, settings)
                first, second = self.dir / "first.cfg", self.dir / "second.cfg"
                design.save(first)
                self.assertEqual(design.file, str(first))
                _, saved, _ = batch(*batch_args(path, settings), "--save", "-")
                self.assertEqual(first.read_bytes(), saved)
                self.assertEqual(design.text.encode(), saved)
                lumivard.load(first).save(second)
                self.assertEqual(second.read_bytes(), saved)
                self.assertEqual(lumivard.loads(design.text).text, design.text)
                self.assertEqual(pickle.loads(pickle.dumps(design)).text, design.text)

    def test_copies_are_independent(self):
        design = lumivard.load(CORPUS[0])
        for twin in [design.copy(), copy.copy(design), copy.deepcopy(design)]:
            self.assertEqual(twin.report(), design.report())
            twin.set("DE", -1)
            self.assertNotEqual(twin.text, design.text)
        self.assertIn("type", repr(design))

    def test_files_that_cannot_be_used(self):
        garbage = self.dir / "garbage.cfg"
        garbage.write_bytes(b"\x00\xffnot a design\n")
        # (call, exception, errno or None)
        cases = [(lambda: lumivard.load(self.dir / "missing.cfg"), FileNotFoundError, errno.ENOENT),
                 (lambda: lumivard.load(self.dir), IsADirectoryError, errno.EISDIR),
                 (lambda: lumivard.load(garbage), ValueError, None),
                 (lambda: lumivard.loads(""), ValueError, None),
                 (lambda: lumivard.Design().save(self.dir / "no" / "x.cfg"), FileNotFoundError,
                  errno.ENOENT),
                 (lambda: lumivard.Design().save(self.dir), IsADirectoryError, errno.EISDIR)]
        for call, error, number in cases:
            with self.subTest(error=error.__name__), self.assertRaises(error) as caught:
                call()
            if number is not None:
                self.assertEqual(caught.exception.errno, number)
                self.assertTrue(caught.exception.filename)
        status, _, err = batch(str(garbage))
        self.assertEqual((status, err), (2, f"lumivard: {garbage} holds no design"))
        with self.assertRaises(ValueError) as caught:
            lumivard.load(garbage)
        self.assertEqual(f"lumivard: {caught.exception}", err)

    def test_lines_a_load_cannot_follow_are_a_warning(self):
        text = lumivard.Design().text.replace("# Start Energy       : 8000", "# Start Energy       : x")
        with self.assertWarnsRegex(lumivard.LoadWarning, r"line 16 \(# Start Energy\): not a number"):
            lumivard.loads(text)


class Interpreter(unittest.TestCase):
    def test_links_no_gui_library(self):
        libraries = subprocess.run(["ldd", lumivard.__file__], capture_output=True, text=True,
                                   check=True).stdout
        self.assertIn("libQt5Core", libraries)
        for gui in ["libQt5Gui", "libQt5Widgets", "libQt5Svg", "libQt5PrintSupport"]:
            self.assertNotIn(gui, libraries)

    def test_needs_no_application_object(self):
        # Qt says so on standard error when something needs a QCoreApplication and finds none.
        script = ("import lumivard, tempfile, os\n"
                  f"d = lumivard.load({str(CORPUS[6])!r})\n"
                  "d.save(os.path.join(tempfile.mkdtemp(), 'x.cfg')); d.report(); d.bands()\n"
                  "lumivard.sweep(d, 'DE', range(-40, -1)); lumivard.sweep(d, 'Type', [1, 2])\n"
                  "assert not any('libQt5Gui' in line for line in open('/proc/self/maps'))\n")
        done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                              check=False)
        self.assertEqual((done.returncode, done.stderr), (0, ""))

    def test_other_threads_run_and_ctrl_c_stops_a_sweep(self):
        design = lumivard.Design()
        design.set("Num", 100)
        values = lumivard.sweep_values(-0.1, -60, -0.1)
        ticks, running = [], threading.Event()
        running.set()

        def count():
            while running.is_set():
                ticks.append(time.monotonic())
                time.sleep(0.001)

        counter = threading.Thread(target=count)
        counter.start()
        begin = time.monotonic()
        lumivard.sweep(design, "DE", values)
        end = time.monotonic()
        running.clear()
        counter.join()
        inside = [t for t in ticks if begin + 0.05 < t < end - 0.05]
        self.assertGreater(end - begin, 0.2)
        self.assertTrue(inside, "no other thread ran while the sweep did")

        threading.Timer(0.1, _thread.interrupt_main).start()
        begin = time.monotonic()
        with self.assertRaises(KeyboardInterrupt):
            lumivard.sweep(design, "DE", np.tile(values, 20))
        self.assertLess(time.monotonic() - begin, 5)

    def test_pictures_as_the_command_line_draws_them(self):
        design = design_of(CORPUS[6], [("DE", "-40")])
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        here = pathlib.Path(folder.name)
        for window, suffix, size in [("overall", "png", (360, 240)), ("crystals", "svg", None),
                                     ("focus", "png", None), ("imaging", "svg", (200, 300)),
                                     ("overall", "pdf", None)]:
            with self.subTest(window=window, suffix=suffix, size=size):
                mine, theirs = here / f"mine.{suffix}", here / f"theirs.{suffix}"
                lumivard.render(design, window, mine, size=size)
                args = ["--size", "x".join(map(str, size))] if size else []
                # English, as the module draws them (the Japanese titles go into SVG and PDF).
                done = subprocess.run([EXE, "-e", "--batch", str(CORPUS[6]), "--set", "DE=-40",
                                       *args, "--image", f"{window}={theirs}"], check=False)
                self.assertEqual(done.returncode, 0)
                if suffix == "pdf":  # it holds the time it was made
                    self.assertTrue(mine.read_bytes().startswith(b"%PDF"))
                else:
                    self.assertEqual(mine.read_bytes(), theirs.read_bytes())
        # A window opens at 900 x 600: the PNG's header says so.
        lumivard.render(design, "overall", here / "big.png")
        header = (here / "big.png").read_bytes()[16:24]
        self.assertEqual((int.from_bytes(header[:4], "big"), int.from_bytes(header[4:], "big")),
                         (900, 600))
        for args, error in [(("side", here / "x.png"), ValueError),
                            (("overall", here / "x.jpg"), ValueError),
                            (("overall", here / "x.png", (0, 10)), ValueError),
                            (("overall", here / "x.png", "big"), TypeError),
                            (("overall", here / "no" / "x.png"), FileNotFoundError)]:
            with self.subTest(args=args), self.assertRaises(error):
                lumivard.render(design, *args)

    def test_help_names_units(self):
        for thing in [lumivard, lumivard.Design, lumivard.load, lumivard.sweep,
                      lumivard.sweep_values, lumivard.render] + [getattr(lumivard.Design, name)
                                                for name in dir(lumivard.Design)
                                                if not name.startswith("_")]:
            with self.subTest(thing=getattr(thing, "__name__", thing)):
                self.assertGreater(len(thing.__doc__ or ""), 20)
        for unit in ["eV", "degrees", "Angstrom", "length unit", "microradians"]:
            self.assertIn(unit, lumivard.__doc__)


if __name__ == "__main__":
    unittest.main()
