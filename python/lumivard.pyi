"""Lumivard's designs of flat X-ray analyser crystal arrays, from Python.

Energies in eV, angles in degrees (widths of reflection curves in microradians), lattice constants
and spacings in Angstrom, positions and lengths in the design's length unit.
"""

import os
from typing import Any, Iterable, Mapping, Sequence, SupportsFloat, SupportsIndex, Union

import numpy as np
import numpy.typing as npt

__version__: str

# A value typed into a field: a str as it is, an int in decimal, a float with 15 significant
# digits; Index also takes (h, k, l).
Value = Union[str, int, float, SupportsIndex, SupportsFloat, Sequence[Union[str, int, float]]]
PathLike = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]

class LoadWarning(UserWarning):
    """A design file held lines a load could not follow; the design loaded as far as it could."""

class Design:
    """A design: the panels, every crystal, and the focus and image histories."""

    def __init__(self) -> None:
        """The default design: Si 1 1 1, ten type-3 crystals from 8000 eV in steps of -15 eV."""
    def copy(self) -> Design:
        """An independent copy with the same design, histories and file."""
    def __copy__(self) -> Design: ...
    def __deepcopy__(self, memo: dict[int, Any]) -> Design: ...
    def save(self, path: PathLike) -> None:
        """Writes the design file, whole or not at all; OSError when it cannot."""
    @property
    def text(self) -> str:
        """The design file as save() writes it."""
    @property
    def file(self) -> str | None:
        """The design file last loaded or saved (absolute), None when none."""
    def set(self, name: str, value: Value) -> None:
        """Types value into the field name and presses Return, as --set NAME=VALUE.

        KeyError for an unknown name, ValueError for a refused value, IndexError for a crystal
        the design does not have (the command line's messages); TypeError for other values.
        """
    def set_many(
        self, edits: Mapping[str, Value] | Iterable[tuple[str, Value]]
    ) -> None:
        """Several set() changes in order, all or nothing."""
    @property
    def material(self) -> str | None:
        """"Si" or "Ge"; None for a file's material outside the list."""
    @property
    def lattice_constant(self) -> float:
        """Angstrom."""
    @property
    def index(self) -> tuple[float, float, float]:
        """Miller indices (h, k, l)."""
    @property
    def spacing(self) -> float:
        """The lattice spacing d the crystals are laid out with, Angstrom."""
    @property
    def type(self) -> int:
        """The arrangement type, 1 to 7."""
    @property
    def rotate_all(self) -> bool: ...
    @property
    def rotate_all_deg(self) -> float:
        """Degrees."""
    @property
    def start_energy(self) -> float:
        """E0, eV."""
    @property
    def energy_step(self) -> float:
        """dE, eV."""
    @property
    def count(self) -> int:
        """Num of C. as the layout reads it (at most 1000)."""
    @property
    def dx(self) -> float: ...
    @property
    def dy(self) -> float: ...
    @property
    def length(self) -> float: ...
    @property
    def comment(self) -> str: ...
    @property
    def source_distance(self) -> float:
        """Source.Distance: from crystal 1's centre upstream, design length unit."""
    @property
    def source_size(self) -> float:
        """Source.Size: FWHM across the beam, design length unit."""
    @property
    def source_divergence(self) -> float:
        """Source.Divergence: FWHM, microradians (0: a parallel beam)."""
    @property
    def polarisation(self) -> str:
        """"sigma", "pi", "unpolarised" or the degree, as set() takes it."""
    @property
    def polarisation_degree(self) -> float:
        """1 sigma, -1 pi, 0 unpolarised."""
    @property
    def temperature(self) -> float:
        """Of the crystals, degrees C."""
    @property
    def crystals(self) -> dict[str, npt.NDArray[np.float64] | npt.NDArray[np.int64]]:
        """The crystal table of --csv: no, x, y, angle_deg, energy_eV, length, in_beam_centre,
        beam_width, start_x, start_y, end_x, end_y."""
    @property
    def focus(self) -> tuple[float, float] | None:
        """The focus read-out; None with fewer than two crystals that reflect."""
    @property
    def image(self) -> tuple[float, float] | None:
        """The image point read-out; None with fewer than two crystals that reflect."""
    @property
    def least_squares_focus(self) -> tuple[float, float] | None:
        """The point nearest to the reflected centre lines of the reflecting crystals."""
    @property
    def crossings(self) -> npt.NDArray[np.float64]:
        """(n (n - 1) / 2, 2): the crossing of every pair's reflected centre rays."""
    @property
    def centres(self) -> npt.NDArray[np.float64]:
        """(n, 2): the middle of every crystal's surface."""
    @property
    def focus_history(self) -> npt.NDArray[np.float64]:
        """(m, 2): every focus since the design was made."""
    @property
    def image_history(self) -> npt.NDArray[np.float64]:
        """(m, 2): every image point since the design was made."""
    def report(self, rays: int | None = None, seed: int = 1) -> dict[str, Any]:
        """The JSON report of --json (with --rays RAYS --seed SEED) as a dict."""
    def bands(self) -> dict[str, Any]:
        """report()["bands"] with lists of objects turned into dicts of columns."""
    def __getstate__(self) -> str: ...
    def __setstate__(self, text: str) -> None: ...

def load(path: PathLike) -> Design:
    """Loads a design file; FileNotFoundError, OSError, ValueError (no design)."""

def loads(text: str) -> Design:
    """The Design a design file with this text holds; ValueError when it holds none."""

def sweep(
    design: Design, name: str, values: Iterable[Value]
) -> dict[str, npt.NDArray[np.float64]]:
    """The --sweep table: value, focus_x, focus_y, image_x, image_y, lsq_focus_x, lsq_focus_y,
    lsq_rms, coverage, largest_gap_eV, reflecting, effective_coverage, effective_largest_gap_eV;
    one row per value. design is not changed."""

def sweep_values(start: float, stop: float, step: float) -> npt.NDArray[np.float64]:
    """The values of --sweep NAME=START:STOP:STEP."""

def render(
    design: Design, window: str, path: PathLike, size: tuple[int, int] | None = None
) -> None:
    """The picture of a plot window (overall, crystals, focus, imaging) at its default view, as
    --image draws it: PNG, SVG or PDF by the suffix. Loads QtGui on its first call."""
