# Type stubs of the relperm extension module (python/module.cpp).
import os
from typing import Any, Mapping, Sequence, Union

import numpy as np
import numpy.typing as npt

__version__: str

_Path = Union[str, "os.PathLike[str]"]
_Number = Union[int, float, str]

def run(args: Sequence[str]) -> tuple[int, bytes, bytes]: ...
def generate(
    *,
    fluids: str = ...,
    correlation: str = ...,
    wettability: str = ...,
    formation: str = ...,
    title: str = ...,
    porosity: _Number = ...,
    permeability: _Number = ...,
    swc: _Number = ...,
    sorw: _Number = ...,
    sorg: _Number = ...,
    sgc: _Number = ...,
    krg_sorg: _Number = ...,
    spacing: _Number = ...,
    run: _Path = ...,
) -> dict[str, npt.NDArray[np.float64]]: ...

class DataSet:
    @property
    def system(self) -> str: ...
    @property
    def match(self) -> int: ...
    @property
    def header(self) -> dict[str, Union[str, float, None]]: ...
    @property
    def points(self) -> npt.NDArray[np.float64]: ...
    @property
    def columns(self) -> list[str]: ...

class Database:
    def __init__(self, folder: _Path) -> None: ...
    @property
    def folder(self) -> os.PathLike[str]: ...
    def sets(
        self,
        system: str,
        *,
        location: _Number = ...,
        method: _Number = ...,
        lithology: _Number = ...,
        wettability: _Number = ...,
        search_percent: bool = ...,
        tolerance: _Number = ...,
        swc: _Number = ...,
        sor: _Number = ...,
        sgc: _Number = ...,
    ) -> list[DataSet]: ...
    def count(
        self,
        system: str,
        *,
        location: _Number = ...,
        method: _Number = ...,
        lithology: _Number = ...,
        wettability: _Number = ...,
        search_percent: bool = ...,
        tolerance: _Number = ...,
        swc: _Number = ...,
        sor: _Number = ...,
        sgc: _Number = ...,
    ) -> int: ...

def fit(data_set: DataSet, model: str, weight: str = "kr") -> dict[str, float]: ...
def recommend(
    database: Database,
    system: str,
    model: str,
    *,
    weight: str = ...,
    max_rms: _Number = ...,
    location: _Number = ...,
    method: _Number = ...,
    lithology: _Number = ...,
    wettability: _Number = ...,
    search_percent: bool = ...,
    tolerance: _Number = ...,
    swc: _Number = ...,
    sor: _Number = ...,
    sgc: _Number = ...,
) -> list[dict[str, Any]]: ...
def tables(
    parameters: Union[_Path, Any, Sequence[Mapping[str, Any]]],
    family: Union[int, None] = None,
    delta_s: Union[float, None] = None,
    slgof: bool = False,
    int_param_wo: Union[float, Sequence[float], None] = None,
    int_param_go: Union[float, Sequence[float], None] = None,
    sheet: Union[str, None] = None,
) -> str: ...
def check(path_or_text: _Path) -> list[dict[str, Union[str, int]]]: ...
