#!/usr/bin/env python3
"""Builds the lexicon source (engine/data/lexicon_source.tar.xz) from the word lists.

Usage: build_source.py [--data DIR] [--out FILE] [--bin FILE] [--tuning]

The archive holds one file, lexicon_source.tsv. Each of its lines is `word<TAB>frequency<TAB>keys`: keys are
comma-separated lower-case Latin keys, most likely first; a key followed by
"!" marks the record whose word must lead that key (tag bit 0). Lines come
in descending frequency, ties by word.
"""

import argparse
import collections
import io
import lzma
import os
import sys
import tarfile

import sources
from lexicon_bin import lexicon_bin_size, records_from_source, write_lexicon_bin
from romanizer import Romanizer
from spelling import are_variants, spells, variant_form

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
DEFAULT_DATA = os.path.normpath(os.path.join(REPO, "..", "shared", "data"))
DEFAULT_OUT = os.path.join(REPO, "engine", "data", "lexicon_source.tar.xz")
SOURCE_MEMBER = "lexicon_source.tsv"
ENGLISH_LOANS = os.path.join(HERE, "english_loans.tsv")

FREQUENCY_SCALE = 1e8          # probability 1e-8 (the rarest wordfreq bin) -> 1
UNLISTED_PROBABILITY = 1e-8    # attested words that no frequency list holds
MIN_SUBTITLE_COUNT = 3
WORD_TARGET = 170000           # plus every word with a human romanization
SIZE_BUDGET = 16000000         # lexicon.bin bytes; every application loads it whole
KEYS_PER_RUN = 8               # the engine reads at most 8 records of a key
GENERATED_KEYS = 12            # romanizer keys considered per word
FREQUENCY_WEIGHT = 0.25        # how much a word's frequency buys it extra keys
SHORT_FORM_WORDS = 3000        # the most frequent words also get chat short forms
CHAT_SPELLING_WORDS = 20000    # ... and the chat romanizer's best spellings
CHAT_SPELLINGS = 5
LEAD_RATIO = 5.0               # a leading word is this much more frequent than the key's others
LEAD_MIN_ATTESTATIONS = 2
LOAN_ATTESTATIONS = 3          # a curated loan key counts like a key typed three times, so it is trusted
ROMANIZER_PRIOR = 2.0          # the romanizer's spelling shares count like this many typed keys
UNMODELLED_LIKELIHOOD = 0.02   # chat spellings and short forms the romanizer did not propose
OUTRANKED_RATIO = 4.0          # a word leaves a key where a rarer word is this much likelier
# A word under a key that does not spell it (আর under "aro") leaves the key
# unless it is this much more frequent than every word the key spells; the
# engine keeps the words of the typed key ahead of other words by the same
# factor (kTypedKeyLeadFactor), chosen on the dev sentences' tuning quarter.
OTHER_SPELLING_RATIO = 12.0
CONVERSATIONAL_MIN_COUNT = 20  # subtitle occurrences a variant group needs to be reordered
VARIANT_KEYS = 3               # generated keys per word searched for its spelling variants
PLAN_ROUNDS = 6                # plans tried to fill the budget after pool sharing
BUDGET_SLACK = 40000           # a plan this close under the budget is kept
RECORD_BYTES = 28              # record plus its two index entries
HEADER_BYTES = 16
VOWELS = set("aeiou")


def combined_probability(word, wordfreq, subtitles, unilex):
    """wordfreq mixes five registers; the subtitle counts lift conversational
    words (tumi, tomar, eta) that the written registers under-rank."""
    wf = wordfreq.get(word, 0.0)
    os_ = subtitles.get(word, 0.0)
    if wf > 0.0:
        return max(wf, 0.5 * (wf + os_))
    return max(0.5 * os_, 0.5 * unilex.get(word, 0.0), UNLISTED_PROBABILITY)


def collect_attested(train_rows, aligned_pairs):
    attested = collections.defaultdict(collections.Counter)
    for word, roman, count in train_rows:
        attested[word][roman] += count
    for word, roman in aligned_pairs:
        attested[word][roman] += 1
    return attested


def add_english_loans(attested, loans, probability):
    """English spellings of loan words are keys of their most frequent
    Bengali spelling (please -> প্লিজ, link -> লিংক); returns those (word,
    key) pairs."""
    pairs = []
    for key, spellings in loans:
        word = max(spellings, key=lambda w: (probability(w), w))
        attested[word][key] += LOAN_ATTESTATIONS
        pairs.append((word, key))
    return pairs


def choose_words(wordfreq, subtitle_counts, attested, probability):
    candidates = set(wordfreq)
    candidates.update(w for w, c in subtitle_counts.items() if c >= MIN_SUBTITLE_COUNT)
    ranked = sorted(candidates, key=lambda w: (-probability(w), w))[:WORD_TARGET]
    chosen = set(ranked)
    chosen.update(attested)
    return sorted(chosen, key=lambda w: (-probability(w), w))


def train_romanizer(train_rows, pronunciations):
    romanizer = Romanizer()
    romanizer.train([(word, pronunciations.get(word), roman, count) for word, roman, count in train_rows])
    return romanizer


def short_forms(key):
    """Chat spellings without vowels between consonants, the last letter
    kept: all of them (amar -> amr, bhalo -> bhlo, kemon -> kmn) and only
    the first (kemon -> kmon, korbo -> krbo, tomar -> tmar)."""
    inner = [i for i in range(1, len(key) - 1)
             if key[i] in VOWELS and key[i - 1] not in VOWELS and key[i + 1] not in VOWELS]
    if not inner:
        return []
    every = "".join(ch for i, ch in enumerate(key) if i not in inner)
    first = key[:inner[0]] + key[inner[0] + 1:]
    return list(dict.fromkeys([every, first]))


class KeyPlan:
    """The keys of every word: human-attested keys (most attested first), the
    romanizer's best key, chat short forms of the most frequent words, then
    further romanizer keys, best value first, while lexicon.bin stays within
    SIZE_BUDGET. A further key's value is its share of the word's spelling
    probability, weighted by the word's frequency to the FREQUENCY_WEIGHT."""

    def __init__(self, words):
        self.keys_of = {word: [] for word in words}
        self.pool_texts = set(words)
        self.size = HEADER_BYTES + sum(len(w.encode("utf-8")) for w in words)

    def add(self, word, key):
        if key in self.keys_of[word]:
            return
        self.keys_of[word].append(key)
        self.size += RECORD_BYTES
        if key not in self.pool_texts:
            self.pool_texts.add(key)
            self.size += len(key)

    def cost(self, word, key):
        if key in self.keys_of[word]:
            return 0
        return RECORD_BYTES + (0 if key in self.pool_texts else len(key))


STRONG_GENERATED = 2           # a word's best generated keys claim those keys
CLAIMED_KEY_ATTESTATIONS = 3


def claimed_keys(words, attested, generated):
    """key -> words whose own spelling it clearly is: one of the word's best
    generated keys, or a key attested more than once for it."""
    claims = collections.defaultdict(set)
    for word in words:
        for key, _ in generated[word][:STRONG_GENERATED]:
            claims[key].add(word)
        for roman, count in attested.get(word, {}).items():
            if count >= 2:
                claims[roman].add(word)
    return claims


def trusted_attested_keys(word, attested, generated, claims):
    """Attested keys, most attested first, without the likely slips: a key
    seen fewer than CLAIMED_KEY_ATTESTATIONS times that is another word's
    clear spelling and none of this word's generated spellings is dropped
    (ও under "to", করে under "koren": slips of the sentence alignment)."""
    spellings = {key for key, _ in generated}
    trusted = []
    for roman, count in sorted(attested.get(word, {}).items(), key=lambda item: (-item[1], item[0])):
        if count >= CLAIMED_KEY_ATTESTATIONS or roman in spellings or not (claims.get(roman, set()) - {word}):
            trusted.append(roman)
    return trusted


def plan_keys(words, frequency, attested, generated, chat_spellings, budget):
    plan = KeyPlan(words)
    claims = claimed_keys(words, attested, generated)
    further = []
    for rank, word in enumerate(words):
        for roman in trusted_attested_keys(word, attested, generated[word], claims):
            plan.add(word, roman)
        spellings = [key for key, _ in generated[word]]
        if spellings:
            plan.add(word, spellings[0])
        if rank < SHORT_FORM_WORDS:
            for key in spellings[:2]:
                for short in short_forms(key):
                    plan.add(word, short)
        for key in chat_spellings.get(word, []):
            plan.add(word, key)
        total = sum(p for _, p in generated[word]) or 1.0
        weight = frequency[word] ** FREQUENCY_WEIGHT / total
        further.extend((-p * weight, word, key) for key, p in generated[word][1:])
    further.sort()
    for _, word, key in further:
        if plan.size + plan.cost(word, key) <= budget:
            plan.add(word, key)
    return plan.keys_of


def assign_records(words, keys_of, loans):
    """Places each word under its keys while the key's run has room; curated
    loans claim their English key first, then frequent words claim first. A
    word that finds no room keeps its first key, behind the run, so that the
    engine still knows the word and its frequency."""
    runs = collections.defaultdict(list)
    for word, key in loans:
        if key in keys_of.get(word, []) and word not in runs[key]:
            runs[key].append(word)
    placed = {}
    for word in words:
        chosen = [key for key in keys_of[word] if word in runs[key] or len(runs[key]) < KEYS_PER_RUN]
        if not chosen:
            chosen = keys_of[word][:1]
        for key in chosen:
            if word not in runs[key]:
                runs[key].append(word)
        placed[word] = chosen
    return placed, runs


def key_likelihood(word, key, attested, generated):
    """How likely a writer of the word types the key: the romanizer's share
    of the word's spellings, corrected by what people were seen typing."""
    shares = dict(generated.get(word, []))
    romanized = shares.get(key, 0.0) / (sum(shares.values()) or 1.0)
    counts = attested.get(word, {})
    typed = sum(counts.values())
    likelihood = (counts.get(key, 0) + ROMANIZER_PRIOR * romanized) / (typed + ROMANIZER_PRIOR)
    return max(likelihood, UNMODELLED_LIKELIHOOD)


def drop_outranked_records(placed, runs, frequency, likelihood, loans):
    """The engine orders a key's words by frequency alone, so a frequent word
    under a key people seldom type for it (একটি under "ektu", আর under "aro")
    stands before the word the key spells. Such a record leaves the key when
    a rarer word of the run is OUTRANKED_RATIO times likelier to be meant
    (frequency times the key's likelihood); a word keeps its last key."""
    loan_pairs = set(loans)
    for key, run in runs.items():
        ordered = sorted(run, key=lambda w: -frequency[w])
        best_after = 0.0
        for word in reversed(ordered):
            meant = frequency[word] * likelihood(word, key)
            outranked = best_after > OUTRANKED_RATIO * meant
            if outranked and (word, key) not in loan_pairs and len(placed[word]) > 1:
                placed[word].remove(key)
                run.remove(word)
            best_after = max(best_after, meant)
    return placed, runs


def drop_other_spellings(placed, runs, frequency, ipa_of, loans):
    """A word under a key that spells it only with other inherent vowels
    (আর under "aro", মনে under "mane") leaves the key unless it is
    OTHER_SPELLING_RATIO times more frequent than every word the key spells,
    so that the word the letters spell comes first; the engine's parser still
    reads it from those letters, behind the typed key's words. A curated loan
    keeps its English key and a word its last key."""
    loan_pairs = set(loans)
    for key, run in runs.items():
        own = [word for word in run if spells(key, word, ipa_of(word))]
        if not own:
            continue
        spelled = max(frequency[word] for word in own)
        for word in [w for w in run if w not in own and spells(key, w, ipa_of(w), loose=True)]:
            if ((word, key) not in loan_pairs and len(placed[word]) > 1
                    and frequency[word] < OTHER_SPELLING_RATIO * spelled):
                placed[word].remove(key)
                run.remove(word)
    return placed, runs


def variant_groups(words, generated, ipa_of):
    """Groups of spelling variants of one word (দিব and দিবো, তৈরি and
    তৈরী), each sorted, in the order of their first word."""
    by_form = collections.defaultdict(list)
    for word in words:
        by_form[variant_form(word)].append(word)
    groups = []
    for form in sorted(by_form):
        group = []
        for word in by_form[form]:
            keys = [key for key, _ in generated[word][:VARIANT_KEYS]]
            if any(are_variants(word, other, keys + [k for k, _ in generated[other][:VARIANT_KEYS]], ipa_of)
                   for other in by_form[form] if other != word):
                group.append(word)
        if len(group) > 1:
            groups.append(sorted(group))
    return groups


def order_variants_by_conversation(groups, frequency, subtitle_counts):
    """Within a group of spelling variants the spelling people use in
    conversation (the subtitle counts) comes first, not the one news and
    encyclopaedia text prefer: the group's frequencies are handed out again
    in the order of the subtitle counts."""
    for group in groups:
        if sum(subtitle_counts.get(w, 0) for w in group) < CONVERSATIONAL_MIN_COUNT:
            continue
        values = sorted((frequency[w] for w in group), reverse=True)
        spoken = sorted(group, key=lambda w: (-subtitle_counts.get(w, 0), -frequency[w], w))
        for word, value in zip(spoken, values):
            frequency[word] = value


def leading_words(runs, frequency, attested, loans):
    """(word, key) pairs whose word must lead the key: a curated loan under
    its English key unless people typed that key at least as often for
    another word (please, bro), else a human-attested key whose word
    outweighs every other word under it."""
    lead = set()
    for word, key in loans:
        run = runs.get(key, [])
        typed = attested.get(word, {}).get(key, 0)
        if word in run and all(attested.get(other, {}).get(key, 0) < typed for other in run if other != word):
            lead.add((word, key))
    led_keys = {key for _, key in lead}
    for key, run in runs.items():
        if key in led_keys:
            continue
        run = sorted(run, key=lambda w: -frequency[w])
        best = run[0]
        if attested.get(best, {}).get(key, 0) < LEAD_MIN_ATTESTATIONS:
            continue
        runner_up = frequency[run[1]] if len(run) > 1 else 0
        if frequency[best] >= LEAD_RATIO * runner_up:
            lead.add((best, key))
    return lead


def build(data_dir, key_parts):
    wordfreq = sources.read_wordfreq(data_dir)
    subtitles, subtitle_counts = sources.read_subtitle_counts(data_dir)
    unilex = sources.read_unilex_frequency(data_dir)
    pronunciations = sources.read_unilex_pronunciations(data_dir)
    train_rows = sources.read_dakshina_lexicon(data_dir, "train")
    attested = collect_attested(train_rows, sources.read_dakshina_aligned(data_dir, key_parts))
    romanizer = train_romanizer(train_rows, pronunciations)

    def probability(word):
        return combined_probability(word, wordfreq, subtitles, unilex)

    loans = add_english_loans(attested, sources.read_english_loans(ENGLISH_LOANS), probability)

    words = choose_words(wordfreq, subtitle_counts, attested, probability)
    frequency = {w: max(1, int(round(probability(w) * FREQUENCY_SCALE))) for w in words}
    generated = {w: romanizer.romanize(w, pronunciations.get(w), limit=GENERATED_KEYS) for w in words}
    order_variants_by_conversation(variant_groups(words, generated, pronunciations.get), frequency,
                                   subtitle_counts)
    words.sort(key=lambda w: (-frequency[w], w))
    # The trained model follows the careful Wikipedia-style romanizations it
    # learned from; the untrained priors favour chat habits (ase, kisu, vai).
    chat = Romanizer()
    chat_spellings = {w: [k for k, _ in chat.romanize(w, pronunciations.get(w), limit=CHAT_SPELLINGS)]
                      for w in words[:CHAT_SPELLING_WORDS]}
    # The plan counts every distinct text in full, but the pool stores a text
    # that starts or ends another inside it: plan again with the bytes that
    # sharing saved until the file fills its budget.
    budget = SIZE_BUDGET
    for _ in range(PLAN_ROUNDS):
        lines = source_lines(words, frequency, attested, generated, chat_spellings, loans, budget,
                             pronunciations.get)
        size = lexicon_bin_size(records_from_source(lines))
        print("plan budget %d -> lexicon.bin %d bytes" % (budget, size), file=sys.stderr)
        if SIZE_BUDGET - BUDGET_SLACK <= size <= SIZE_BUDGET:
            break
        budget += SIZE_BUDGET - size - BUDGET_SLACK // 2
    if size > SIZE_BUDGET:
        raise RuntimeError("lexicon.bin would take %d bytes" % size)
    return lines


def source_lines(words, frequency, attested, generated, chat_spellings, loans, budget, ipa_of):
    keys_of = plan_keys(words, frequency, attested, generated, chat_spellings, budget)
    words = [w for w in words if keys_of[w]]
    placed, runs = assign_records(words, keys_of, loans)
    placed, runs = drop_outranked_records(
        placed, runs, frequency, lambda word, key: key_likelihood(word, key, attested, generated), loans)
    placed, runs = drop_other_spellings(placed, runs, frequency, ipa_of, loans)
    lead = leading_words(runs, frequency, attested, loans)
    lines = []
    for word in words:
        marked = [key + ("!" if (word, key) in lead else "") for key in placed[word]]
        lines.append("%s\t%d\t%s\n" % (word, frequency[word], ",".join(marked)))
    return lines


def write_source(lines, path):
    """A tar.xz holding SOURCE_MEMBER, so that CMake alone can unpack it;
    fixed metadata keeps the archive byte-identical between reruns."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = "".join(lines).encode("utf-8")
    info = tarfile.TarInfo(SOURCE_MEMBER)
    info.size = len(data)
    info.mtime = 0
    info.mode = 0o644
    with tarfile.open(path, "w:xz", preset=9 | lzma.PRESET_EXTREME, format=tarfile.USTAR_FORMAT) as archive:
        archive.addfile(info, io.BytesIO(data))


def read_source(path):
    with tarfile.open(path, "r:xz") as archive:
        return archive.extractfile(SOURCE_MEMBER).read().decode("utf-8").splitlines(keepends=True)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=DEFAULT_DATA)
    parser.add_argument("--out", default=DEFAULT_OUT)
    parser.add_argument("--bin", help="also write lexicon.bin here")
    parser.add_argument("--tuning", action="store_true",
                        help="leave the dev sentences' tuning quarter out of the keys (for tuning the engine)")
    args = parser.parse_args(argv)
    key_parts = (sources.KEY_PART,) if args.tuning else (sources.KEY_PART, sources.TUNING_PART)
    lines = build(args.data, key_parts)
    write_source(lines, args.out)
    records = sum(line.count(",") + 1 for line in lines)
    print("words %d, records %d, source %s (%d bytes)"
          % (len(lines), records, args.out, os.path.getsize(args.out)))
    if args.bin:
        size = write_lexicon_bin(records_from_source(lines), args.bin)
        print("lexicon.bin %s (%d bytes)" % (args.bin, size))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
