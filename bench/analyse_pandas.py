#!/usr/bin/env python3
"""What a person would otherwise write with pandas for `vane analyse` on the process benchmark's
data: read both files, put the recordings into 10-minute bins, match each bin with the wind row
whose ten minutes hold it and count the bins per wind class of 0.5. Only for comparing time and
memory; it leaves out Vane's checks and is no reference for its numbers. Both styles of wind
file make_analyse_data writes are read, told apart by their header.

    analyse_pandas.py RECORDINGS WIND_FILE
"""
import sys

import numpy as np
import pandas as pd


def read_wind(wind_file):
    with open(wind_file, encoding="utf-8") as file:
        logger_style = file.readline().startswith("Datum;")
    if logger_style:
        wind = pd.read_csv(wind_file, sep=";", decimal=",")
        wind["Datum"] = pd.to_datetime(wind["Datum"], format="%d.%m.%Y %H:%M")
        return wind
    wind = pd.read_csv(wind_file)
    wind["Datum"] = pd.to_datetime(wind["timestamp"], format="%Y-%m-%dT%H:%M:%S")
    return wind.rename(columns={"wind_speed": "Wind"})


def main(recordings_file, wind_file):
    wind = read_wind(wind_file)
    recordings = pd.read_csv(recordings_file, header=None, names=["time"])
    recordings["time"] = pd.to_datetime(recordings["time"], format="%Y-%m-%dT%H:%M:%S")
    bins = recordings["time"].dt.ceil("10min").drop_duplicates().to_frame("bin")
    matched = pd.merge_asof(
        bins.sort_values("bin"),
        wind.sort_values("Datum"),
        left_on="bin",
        right_on="Datum",
        direction="forward",
        tolerance=pd.Timedelta("10min"),
    )
    classes = np.floor(matched["Wind"] * 2) / 2
    counts = classes.value_counts().sort_index()
    sys.stdout.write(counts.to_csv(sep="\t", header=False))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
