"""Marvolenti from Python: image stacks, spectra and the analyser's area runs.

The numbers are those of the program: every function calls its core library. Maps come back
as numpy arrays of shape (H, W), or (references, H, W) for the maps of each reference, each
cell as the program's map holds it (0 where no block of the run wrote, NaN where a block's fit
was not defined).
"""

from ._core import (Stack, element_maps, lcf_map, normalize, ra_map, read_spectrum,
                    shift_map)

__all__ = ["Stack", "element_maps", "lcf_map", "normalize", "ra_map", "read_spectrum",
           "shift_map"]
