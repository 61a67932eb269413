#!/usr/bin/env python3
"""Proxy accuracy of lexicon.bin on the development sets.

Usage: evaluate.py LEXICON_BIN [--data DIR]

For every (Banglish, Bengali) pair: is the word under the typed key, and at
which rank of the key's run (frequency order)? "exact" reads the typed key
alone (the engine's roman search, 8 records); "fuzzy" also reads the
normaliser's variants of the key as the engine's fuzzy search does (5
records). Both ignore the phonetic parser, which adds further candidates.
"""

import argparse
import collections
import sys

import sources
from build_source import DEFAULT_DATA
from fuzzy import normalize
from lexicon_bin import read_lexicon_bin


class Lexicon:
    def __init__(self, records):
        self.runs = collections.defaultdict(list)
        self.words = set()
        for word, key, frequency, tag in records:
            self.runs[key].append((word, frequency, tag))
            self.words.add(word)

    def search(self, key, limit):
        run = self.runs.get(key, [])[:limit]
        return sorted(run, key=lambda entry: -entry[1])

    def search_fuzzy(self, key, limit):
        result = self.search(key, limit)
        if len(result) >= limit:
            return result
        seen = {entry[0] for entry in result}
        for variant in normalize(key)[1:]:
            if len(result) >= limit:
                break
            if variant == key:
                continue
            for entry in self.search(variant, limit):
                if len(result) >= limit:
                    break
                if entry[0] not in seen:
                    result.append(entry)
                    seen.add(entry[0])
        result.sort(key=lambda entry: -entry[1])
        return result[:limit]

    def ordered(self, key, fuzzy):
        """Words in the order the engine would show them: tagged words first."""
        entries = self.search_fuzzy(key, 5) if fuzzy else self.search(key, 8)
        lead = [e[0] for e in self.search(key, 8) if e[2] & 1]
        rest = [e[0] for e in entries if e[0] not in lead]
        return lead + rest


def score(lexicon, pairs):
    totals = collections.Counter()
    for word, roman, weight in pairs:
        totals["n"] += weight
        totals["known"] += weight * (word in lexicon.words)
        for mode in ("exact", "fuzzy"):
            order = lexicon.ordered(roman, mode == "fuzzy")
            if word in order:
                rank = order.index(word)
                totals[mode + "1"] += weight * (rank == 0)
                totals[mode + "5"] += weight * (rank < 5)
    n = float(totals["n"]) or 1.0
    return {"pairs": totals["n"], "word known": totals["known"] / n,
            "exact top1": totals["exact1"] / n, "exact top5": totals["exact5"] / n,
            "fuzzy top1": totals["fuzzy1"] / n, "fuzzy top5": totals["fuzzy5"] / n}


def evaluation_sets(data_dir):
    return {
        "dakshina dev lexicon (attestation-weighted)":
            [(w, r, a) for w, r, a in sources.read_dakshina_lexicon(data_dir, "dev")],
        "dakshina dev sentence words, measured half":
            [(w, r, 1) for w, r in sources.read_dakshina_aligned(data_dir, (sources.MEASURED_PART,))],
        "banglatlit validation words":
            [(w, r, 1) for w, r in sources.read_banglatlit_pairs(data_dir)],
    }


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("lexicon")
    parser.add_argument("--data", default=DEFAULT_DATA)
    args = parser.parse_args(argv)
    lexicon = Lexicon(read_lexicon_bin(args.lexicon))
    for name, pairs in evaluation_sets(args.data).items():
        result = score(lexicon, pairs)
        print("%-50s %s" % (name, "  ".join(
            "%s %.3f" % (k, v) if isinstance(v, float) else "%s %d" % (k, v) for k, v in result.items())))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
