#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_compute_key: worked keys and awkward names."""
import os
import struct
import sys

SEEDS = {
    "perez": (1980, 1, 15, "PEREZ", "LOPEZ", "JUAN"),
    "particles": (1990, 6, 30, "DE LA ROSA", "MARTINEZ", "LUIS"),
    "particle_needs_space": (1990, 1, 1, "DE LA", "PAZ", "ANA"),
    "maria_de_los": (1988, 8, 8, "ROBLES", "FARIAS", "MARIA DE LOS ANGELES"),
    "jose_maria": (1985, 2, 28, "LOPEZ", "GARCIA", "JOSE MARIA ANTONIO"),
    "yen": (1970, 7, 7, "NU\u00a5EZ", "RUIZ", "PEDRO"),
    "enye": (1970, 7, 7, "NU\u00d1EZ", "RUIZ", "PEDRO"),
    "apostrophe": (1970, 7, 7, "O'BRIEN", "RUIZ", "PEDRO"),
    "accent": (1980, 1, 15, "P\u00c9REZ", "LOPEZ", "JUAN"),
    "inconvenient": (1970, 7, 7, "PUENTE", "TAPIA", "OSCAR"),
    "short": (2001, 1, 1, "LI", "WU", "J CARLOS"),
    "emptied": (1990, 1, 1, "DE LOS ", "", "ANA"),
    "blank_given": (1990, 1, 1, "PEREZ", "LOPEZ", "   "),
    "ampersand": (1980, 1, 15, "&ARA", "LOPEZ", "JUAN"),
    "late_vowel": (1980, 1, 15, "B" * 32767 + "A", "RUIZ", "PEDRO"),
}


def encode(year, month, day, ap, am, nm):
    date = struct.pack("<HBB", year - 1601, month - 1, day - 1)
    return date + "\uffff".join((ap, am, nm)).encode("utf-16-le")


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, seed in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(encode(*seed))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "compute_key"))
