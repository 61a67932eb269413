"""Readers for the input lists of the lexicon (see the data folder's SOURCES.md).

Every reader canonicalises Bengali words and skips entries that are no
Bengali word; counts of entries that canonicalise to one word are merged.
"""

import csv
import hashlib
import os
import re
import unicodedata

from bengali import clean_word

ROMAN_KEY = re.compile(r"^[a-z]+$")


def _path(data_dir, *parts):
    return os.path.join(data_dir, *parts)


def read_wordfreq(data_dir):
    """word -> probability (10^(-centibels/100)), merged by sum."""
    result = {}
    with open(_path(data_dir, "wordfreq", "large_bn.tsv"), encoding="utf-8") as handle:
        next(handle)
        for line in handle:
            parts = line.rstrip("\n").split("\t")
            if len(parts) != 2:
                continue
            word = clean_word(parts[0])
            if word is None:
                continue
            try:
                probability = 10.0 ** (-int(parts[1]) / 100.0)
            except ValueError:
                continue
            result[word] = result.get(word, 0.0) + probability
    return result


def read_subtitle_counts(data_dir):
    """word -> probability from the OpenSubtitles counts, total tokens as divisor."""
    counts = {}
    total = 0
    with open(_path(data_dir, "frequencywords", "bn_full.txt"), encoding="utf-8") as handle:
        for line in handle:
            parts = line.split()
            if len(parts) != 2 or not parts[1].isdigit():
                continue
            count = int(parts[1])
            total += count
            word = clean_word(parts[0])
            if word is not None:
                counts[word] = counts.get(word, 0) + count
    return {word: count / total for word, count in counts.items()}, counts


def read_unilex_frequency(data_dir):
    """word -> probability (the list counts per billion tokens)."""
    result = {}
    with open(_path(data_dir, "unilex", "frequency_bn.txt"), encoding="utf-8") as handle:
        for line in handle:
            parts = line.rstrip("\n").split("\t")
            if len(parts) != 2 or line.startswith("#"):
                continue
            word = clean_word(parts[0])
            if word is None:
                continue
            try:
                result[word] = result.get(word, 0.0) + float(parts[1]) / 1e9
            except ValueError:
                continue
    return result


def read_unilex_pronunciations(data_dir):
    """word -> IPA with syllable dots (the first pronunciation listed)."""
    result = {}
    with open(_path(data_dir, "unilex", "pronunciation_bn.txt"), encoding="utf-8") as handle:
        for line in handle:
            parts = line.rstrip("\n").split("\t")
            if len(parts) < 2 or line.startswith("#") or parts[0] == "Form":
                continue
            word = clean_word(parts[0])
            if word is not None and word not in result:
                result[word] = parts[1]
    return result


def read_dakshina_lexicon(data_dir, split):
    """List of (word, roman key, attestations) from a Dakshina lexicon split."""
    rows = []
    name = "bn.translit.sampled.%s.tsv" % split
    with open(_path(data_dir, "dakshina", name), encoding="utf-8") as handle:
        for line in handle:
            parts = line.rstrip("\n").split("\t")
            if len(parts) != 3:
                continue
            word = clean_word(parts[0])
            roman = parts[1].strip().lower()
            if word is None or not ROMAN_KEY.match(roman):
                continue
            try:
                attestations = int(parts[2])
            except ValueError:
                attestations = 1
            rows.append((word, roman, attestations))
    return rows


# The aligned dev sentences are split once, by sentence, into a half whose
# romanizations may become keys and a half that is only measured: figures on
# words whose keys came from the same sentences would measure memory. The key
# half is split again: its tuning quarter is left out of the keys of a tuning
# build (build_source.py --tuning), so that the engine's ranking constants are
# chosen on words whose keys that build has not seen, never on measured ones.
# Each sentence's Bengali text is hashed with this seed, so the split does not
# depend on the file's order and repeated sentences fall on one side.
DEV_SENTENCE_SPLIT_SEED = "qorva dev sentences 2026"
KEY_PART = "keys"
TUNING_PART = "tuning"
MEASURED_PART = "measured"


def read_dakshina_aligned_sentences(data_dir):
    """The aligned dev sentences as lists of raw (native, roman) word pairs."""
    sentences = []
    current = []
    with open(_path(data_dir, "dakshina", "bn.romanized.dev.aligned.tsv"), encoding="utf-8") as handle:
        for line in handle:
            parts = line.rstrip("\n").split("\t")
            if len(parts) != 2:
                continue
            if parts[0] == "</s>":
                sentences.append(current)
                current = []
            else:
                current.append((parts[0], parts[1]))
    if current:
        sentences.append(current)
    return sentences


def dev_sentence_part(sentence, seed=DEV_SENTENCE_SPLIT_SEED):
    """MEASURED_PART for half the sentences; KEY_PART or TUNING_PART for the rest."""
    text = " ".join(native for native, _ in sentence)
    digest = hashlib.sha256((seed + "\n" + text).encode("utf-8")).digest()
    if digest[0] % 2 == 1:
        return MEASURED_PART
    return TUNING_PART if digest[1] % 2 == 1 else KEY_PART


def dev_sentences_of(data_dir, parts):
    return [s for s in read_dakshina_aligned_sentences(data_dir) if dev_sentence_part(s) in parts]


def read_dakshina_aligned(data_dir, parts=(KEY_PART, TUNING_PART)):
    """List of (word, roman key) word pairs of the aligned dev sentences of the given parts."""
    pairs = []
    for sentence in dev_sentences_of(data_dir, parts):
        for native, roman in sentence:
            word = clean_word(native)
            roman = roman.strip().lower()
            if word is not None and ROMAN_KEY.match(roman):
                pairs.append((word, roman))
    return pairs


def _is_edge_mark(ch):
    """Punctuation, symbols and emoji around a token (vowel signs are kept)."""
    return unicodedata.category(ch)[0] in "PSZC"


def _strip_token(token):
    start, end = 0, len(token)
    while start < end and _is_edge_mark(token[start]):
        start += 1
    while end > start and _is_edge_mark(token[end - 1]):
        end -= 1
    return token[start:end]


def read_banglatlit_pairs(data_dir):
    """Word pairs (word, roman) of the validation sentences whose token counts agree."""
    pairs = []
    path = _path(data_dir, "banglatlit", "BanglaTLiT_val.csv")
    with open(path, encoding="utf-8", newline="") as handle:
        for row in csv.DictReader(handle):
            roman_tokens = row["text_transliterated"].split()
            bengali_tokens = row["text_bengali"].split()
            if len(roman_tokens) != len(bengali_tokens):
                continue
            for roman, bengali in zip(roman_tokens, bengali_tokens):
                roman = _strip_token(roman).lower()
                word = clean_word(_strip_token(bengali))
                if word is not None and ROMAN_KEY.match(roman):
                    pairs.append((word, roman))
    return pairs


def read_english_loans(path):
    """(English key, [Bengali spellings]) from the curated loan-word list."""
    loans = []
    with open(path, encoding="utf-8") as handle:
        for line in handle:
            if line.startswith("#") or not line.strip():
                continue
            key, spellings = line.rstrip("\n").split("\t")
            words = [w for w in (clean_word(s) for s in spellings.split("|")) if w is not None]
            if ROMAN_KEY.match(key) and words:
                loans.append((key, words))
    return loans
