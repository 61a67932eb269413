#!/usr/bin/env python3
"""Writes the development sets as engine_eval pair files, and measures them.

Usage: dev_sets.py OUT_DIR [--data DIR] [--engine-eval PATH --lexicon PATH] [--tuning]

The measured sets built nothing in lexicon.bin:
- dakshina_dev_lexicon.tsv: Dakshina's dev lexicon (words lemma-disjoint
  from the train lexicon), weighted by attestations;
- dakshina_dev_sentences.tsv: the words of the measured half of the aligned
  Dakshina dev sentences (the other half gives keys, see sources.py);
- banglatlit_val.tsv: BanglaTLit's validation sentences whose Banglish and
  Bengali have equal word counts, paired word by word.

--tuning measures instead dakshina_tuning_sentences.tsv, the words of the
dev sentences' tuning quarter, with a lexicon built by build_source.py
--tuning: the set on which the engine's ranking constants are chosen.

With --engine-eval the engine is measured on each set (each word typed alone,
key by key) and the figures are printed as a table.
"""

import argparse
import os
import re
import subprocess
import sys

import sources
from build_source import DEFAULT_DATA

DAKSHINA_LEXICON = "dakshina_dev_lexicon.tsv"
DAKSHINA_SENTENCES = "dakshina_dev_sentences.tsv"
BANGLATLIT = "banglatlit_val.tsv"
TUNING_SENTENCES = "dakshina_tuning_sentences.tsv"
SET_NAMES = {
    DAKSHINA_LEXICON: "Dakshina dev lexicon (weighted by attestations)",
    DAKSHINA_SENTENCES: "Dakshina dev sentence words, measured half",
    BANGLATLIT: "BanglaTLit validation words",
    TUNING_SENTENCES: "Dakshina dev sentence words, tuning quarter",
}


def write_lines(path, lines):
    with open(path, "w", encoding="utf-8") as handle:
        handle.writelines(lines)


def sentence_lines(data_dir, part):
    return ["%s\t%s\n" % pair for sentence in sources.dev_sentences_of(data_dir, (part,)) for pair in sentence]


def write_sets(data_dir, out_dir, tuning):
    """Writes the pair files; returns their paths (the tuning set alone with `tuning`)."""
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(data_dir, "dakshina", "bn.translit.sampled.dev.tsv"), encoding="utf-8") as handle:
        lexicon_lines = handle.readlines()
    tlit_lines = ["%s\t%s\n" % pair for pair in sources.read_banglatlit_pairs(data_dir)]
    sets = ((TUNING_SENTENCES, sentence_lines(data_dir, sources.TUNING_PART)),) if tuning else (
        (DAKSHINA_LEXICON, lexicon_lines),
        (DAKSHINA_SENTENCES, sentence_lines(data_dir, sources.MEASURED_PART)),
        (BANGLATLIT, tlit_lines))
    paths = {}
    for name, lines in sets:
        paths[name] = os.path.join(out_dir, name)
        write_lines(paths[name], lines)
    return paths


FIGURE = re.compile(r"^(top-1 accuracy|top-5 accuracy|pairs|latency p50|latency p99|latency max)\s+([0-9.]+)")


def measure(engine_eval, lexicon, path):
    """engine_eval's figures for one pair file, by name."""
    output = subprocess.run([engine_eval, "--lexicon", lexicon, path], check=True,
                            capture_output=True, text=True).stdout
    figures = {}
    for line in output.splitlines():
        match = FIGURE.match(line)
        if match:
            figures[match.group(1)] = float(match.group(2))
    return figures


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out_dir")
    parser.add_argument("--data", default=DEFAULT_DATA)
    parser.add_argument("--engine-eval", help="engine_eval binary (a Release build for timings)")
    parser.add_argument("--lexicon", help="lexicon.bin to measure with")
    parser.add_argument("--tuning", action="store_true", help="the tuning set alone")
    args = parser.parse_args(argv)
    paths = write_sets(args.data, args.out_dir, args.tuning)
    if not args.engine_eval:
        for name, path in paths.items():
            print("%s: %s" % (SET_NAMES[name], path))
        return 0
    if not args.lexicon:
        parser.error("--engine-eval needs --lexicon")
    print("| dev set | pairs | top-1 | top-5 | p50 us | p99 us | max us |")
    print("|---|---|---|---|---|---|---|")
    for name, path in paths.items():
        f = measure(args.engine_eval, args.lexicon, path)
        print("| %s | %d | %.3f | %.3f | %.1f | %.1f | %.0f |" % (
            SET_NAMES[name], f["pairs"], f["top-1 accuracy"] / 100, f["top-5 accuracy"] / 100,
            f["latency p50"], f["latency p99"], f["latency max"]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
