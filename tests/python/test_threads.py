# Calls from several threads at once give what the same calls give one after another.
from concurrent.futures import ThreadPoolExecutor

import pandas as pd

from conftest import DEMO, relperm


def test_calls_from_threads_give_the_sequential_results(three_regions):
    frame = pd.read_csv(three_regions)
    db = relperm.Database(DEMO)
    data_sets = db.sets("Water-Oil Data")[:4]
    calls = []
    for i in range(6):
        calls.append(lambda i=i: relperm.tables(frame, delta_s=0.01 * (1 + i % 3)))
        calls.append(lambda i=i: relperm.generate(fluids="Water-Oil-Gas", correlation="Corey",
                                                  swc=15 + i, sorw=25, sorg=10,
                                                  sgc=5)["gas"].tolist())
        calls.append(lambda i=i: relperm.fit(data_sets[i % 4], ("corey", "let")[i % 2]))
        calls.append(lambda: db.count("Gas-Oil Data", lithology=1))
        calls.append(lambda: relperm.run(["generate", "--swc", "x"]))
        calls.append(lambda: relperm.check(relperm.tables(three_regions, family=2)))
    expected = [call() for call in calls]
    with ThreadPoolExecutor(max_workers=8) as pool:
        for _ in range(3):
            assert list(pool.map(lambda call: call(), calls)) == expected


def test_refusals_in_threads_stay_with_their_call():
    def refused(spacing):
        try:
            relperm.generate(correlation="Corey", swc=20, spacing=spacing)
        except ValueError as error:
            return str(error)
        return None

    spacings = [5, 0, 2.5, 0.5] * 8
    expected = [refused(spacing) for spacing in spacings]
    assert expected[0] is None and expected[1] and expected[3] and expected[1] != expected[3]
    with ThreadPoolExecutor(max_workers=4) as pool:
        assert list(pool.map(refused, spacings)) == expected
