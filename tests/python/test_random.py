"""Thousands of seeded random calls of the module: every field with numbers of every size, words,
NaN and the wrong types, copies, reports, sweeps, loads of designs, of damaged designs and of
garbage. Each call ends in a result or in one of the module's exceptions, never in a crash, and
the design holds together after it.

LUMIVARD_PY_SEED=N repeats the run with seed N; LUMIVARD_PY_CALLS sets the number of calls."""

import os
import pathlib
import random
import subprocess
import tempfile
import unittest
import warnings

import numpy as np

import lumivard

EXE = os.environ["LUMIVARD_EXE"]
CORPUS = sorted((pathlib.Path(__file__).resolve().parents[2] / "fuzz" / "corpus").glob("*.cfg"))
SMALL = [p for p in CORPUS if p.stat().st_size < 20000]
NAMES = ["StartE", "DE", "Num", "DX", "DY", "Length", "Type", "RotateAll", "Material", "Index",
         "LatticeC", "crystal.1.X", "crystal.2.Y", "crystal.3.Deg", "crystal.4.Energy",
         "crystal.5.Length", "crystal.40.X", "crystal.0.X", "Source.Distance", "Source.Size",
         "Source.Divergence", "Polarisation", "Temperature", "Bogus", "de", ""]
EXPECTED = (KeyError, ValueError, IndexError, TypeError, OSError)


def random_value(rng):
    kind = rng.randrange(12)
    if kind == 0:
        return rng.uniform(-1e4, 1e4)
    if kind == 1:
        return rng.choice([0, 1, 2, 3, 7, 8, -1, 12, 50])
    if kind == 2:
        return 10.0 ** rng.uniform(-320, 308) * rng.choice([-1, 1])
    if kind == 3:
        return rng.choice([float("nan"), float("inf"), -float("inf"), -0.0, 1e999 * 0])
    if kind == 4:
        return rng.choice(["", " ", "abc", "1e999", "nan", "0x10", "1,2,3", "2,2,0", "Si", "ge",
                           "７", "8000\n", "1;2", "-", "+.5", "1e-400", "\udcff", "sigma", "PI",
                           "unpolarised"])
    if kind == 5:
        return (rng.randint(-3, 5), rng.randint(-3, 5), rng.randint(-3, 5))
    if kind == 6:
        return rng.choice([None, True, object(), b"1", [1, [2]], {}])
    if kind == 7:
        return np.float32(rng.uniform(-100, 100))
    if kind == 8:
        return rng.randint(-(10 ** 30), 10 ** 30)
    if kind == 9:
        return str(rng.uniform(7000, 9000))
    if kind == 10:
        return rng.randint(1, 7)
    return rng.uniform(-30, 30)


def damaged(rng, data):
    lines = data.split(b"\n")
    for _ in range(rng.randint(1, 8)):
        i = rng.randrange(len(lines))
        what = rng.randrange(4)
        if what == 0:
            del lines[i]
        elif what == 1:
            lines[i] = lines[i][: rng.randrange(len(lines[i]) + 1)]
        elif what == 2:
            lines.insert(i, bytes(rng.randrange(256) for _ in range(rng.randrange(40))))
        else:
            lines[i] = lines[i].replace(b":", b": " + str(random_value(rng)).encode(), 1)
    return b"\n".join(lines[: rng.randint(0, len(lines))] if rng.random() < 0.2 else lines)


class RandomCalls(unittest.TestCase):
    def test_random_calls(self):
        seed = int(os.environ.get("LUMIVARD_PY_SEED", "20261206"))
        calls = int(os.environ.get("LUMIVARD_PY_CALLS", "3000"))
        rng = random.Random(seed)
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        scratch = pathlib.Path(folder.name)
        warnings.simplefilter("ignore", lumivard.LoadWarning)
        designs = [lumivard.Design()]
        outcomes = {}
        for call in range(calls):
            design = rng.choice(designs)
            action = rng.randrange(100)
            try:
                if action < 50:
                    design.set(rng.choice(NAMES), random_value(rng))
                elif action < 58:
                    design.set_many({rng.choice(NAMES): random_value(rng) for _ in range(3)})
                elif action < 63:
                    values = [random_value(rng) for _ in range(rng.randint(0, 12))]
                    table = lumivard.sweep(design, rng.choice(NAMES), values)
                    self.assertEqual({len(c) for c in table.values()}, {len(values)})
                elif action < 68:
                    rays = rng.choice([None, None, 1, 300, 0, -5, 10**9])
                    report = design.report(rays=rays, seed=rng.randrange(3))
                    self.assertEqual(len(report["crystals"]), len(design.crystals["no"]))
                    self.assertEqual(report["rays"] is None, rays is None)
                elif action < 71:
                    design.bands()
                elif action < 75:
                    designs.append(design.copy())
                elif action < 80:
                    designs.append(lumivard.load(rng.choice(SMALL)))
                elif action < 88:
                    path = scratch / f"damaged{call}.cfg"
                    path.write_bytes(damaged(rng, rng.choice(SMALL).read_bytes()))
                    designs.append(lumivard.load(path))
                elif action < 91:
                    path = scratch / f"garbage{call}.cfg"
                    path.write_bytes(bytes(rng.randrange(256) for _ in range(rng.randrange(400))))
                    designs.append(lumivard.load(path))
                elif action < 94:
                    path = scratch / f"saved{call}.cfg"
                    design.save(path)
                    self.assertEqual(path.read_bytes(), design.text.encode())
                    # Not every design comes back as it was saved (a file's design that misses
                    # crystal groups, values far beyond the texts' digits): as the program's.
                    again = subprocess.run([EXE, "--batch", str(path), "--save", "-"],
                                           capture_output=True, check=True).stdout
                    self.assertEqual(lumivard.load(path).text.encode(), again)
                elif action < 97:
                    lumivard.load(scratch / rng.choice(["missing.cfg", "", "."]))
                else:
                    design.focus, design.image, design.least_squares_focus, repr(design)
                outcome = "done"
            except EXPECTED as error:
                outcome = type(error).__name__
            outcomes[outcome] = outcomes.get(outcome, 0) + 1
            # The design holds together: a row and a centre per crystal, a crossing per pair.
            n = len(design.crystals["no"])
            self.assertEqual(design.centres.shape, (n, 2))
            self.assertEqual(design.crossings.shape, (n * (n - 1) // 2, 2))
            self.assertLessEqual(n, 1000)
            if len(designs) > 12:
                designs.pop(rng.randrange(1, len(designs)))
        # Every kind of outcome happened, so the calls reached what they were meant to.
        for outcome in ["done", "KeyError", "ValueError", "IndexError", "TypeError",
                        "FileNotFoundError"]:
            self.assertIn(outcome, outcomes)
        print(f"seed {seed}: {calls} calls, {sorted(outcomes.items())}")


if __name__ == "__main__":
    unittest.main()
