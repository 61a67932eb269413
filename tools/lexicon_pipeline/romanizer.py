"""Bengali-to-Banglish romanizer: the Latin spellings people type for a word.

A word is cut into segments (each consonant letter, vowel, inherent vowel and
sign); every segment kind offers Latin spellings with probabilities. The
probabilities start from hand-set priors and are re-estimated (EM over all
alignments) from human romanizations, so that the model learns how often
people write ভ as v, a final ে as ey or drop a silent inherent vowel. A beam
search then returns the most likely whole-word keys.

Whether an inherent vowel is spoken (কেমন kemon, করবো korbo, একটা ekta)
comes from the word's IPA pronunciation when one is known, otherwise from
syllable rules; the two cases are separate segment kinds.

Keys are written the way the engine's fuzzy normaliser folds typed text:
doubled b d f g l m n p r t collapse to one letter (typing "jonno" also
searches "jono"), so a generated key never needs its doubled twin.
"""

import collections

from bengali import INDEPENDENT_VOWELS, Unit, split_units

INHERENT = Unit.INHERENT
DOUBLE = "<double>"          # repeat the spelling of the letter before (jonno, aboshsho)
DOUBLE_FIRST = "<double1>"   # repeat its first character (uccho, abosso)

CONSONANT_PRIORS = {
    "ক": "k 1, c .05, q .02, kh .02",
    "খ": "kh 1, k .1",
    "গ": "g 1, gh .03",
    "ঘ": "gh .85, g .15",
    "ঙ": "ng 1, n .1",
    "চ": "ch .75, c .25",
    "ছ": "ch .55, s .2, c .15, chh .1",
    "জ": "j .85, z .15",
    "ঝ": "jh .7, j .2, z .1",
    "ঞ": "n 1, y .05",
    "ট": "t 1, tt .02",
    "ঠ": "th .85, t .15",
    "ড": "d 1, r .03",
    "ঢ": "dh .85, d .15",
    "ণ": "n 1",
    "ত": "t 1, th .03",
    "থ": "th .9, t .1",
    "দ": "d 1, dh .03",
    "ধ": "dh .85, d .15",
    "ন": "n 1",
    "প": "p 1",
    "ফ": "f .5, ph .5",
    "ব": "b 1, v .05, w .02",
    "ভ": "bh .6, v .4, b .03",
    "ম": "m 1",
    "য": "j .65, z .2, y .15",
    "র": "r 1",
    "ল": "l 1",
    "শ": "sh .6, s .4",
    "ষ": "sh .6, s .4",
    "স": "s .6, sh .4",
    "হ": "h 1",
    "\u09DC": "r .9, d .1, rh .02",
    "\u09DD": "rh .5, r .5",
    "\u09DF": "y .7, _ .3, w .03",
    "\u09CE": "t .9, th .1",
}
PAIR_PRIORS = {  # two-letter clusters not spelled letter by letter
    ("ক", "ষ", True): "kh .55, ksh .3, k .15",
    ("জ", "ঞ", True): "gy .5, g .5, gn .05",
    ("ক", "ষ", False): "kkh .35, kh .35, ksh .2, kk .1",
    ("জ", "ঞ", False): "gg .5, gy .3, gn .2, g .05",
}
PHALA_PRIORS = {  # second and later letters of a cluster
    "য": "<double> .5, y .25, _ .1, <double1> .05",
    "য-initial": "_ .55, y .45",
    "ব": "_ .45, w .3, <double> .15, b .1, <double1> .05",
    "ম": "m .85, _ .15",
}
VOWEL_PRIORS = {
    "\u09BE": "a .95, aa .05, ah .01",
    "\u09BF": "i .9, e .1, ee .02, y .01",
    "\u09C0": "i .8, ee .2, ii .02, e .02",
    "\u09C1": "u .85, o .1, oo .05",
    "\u09C2": "u .8, oo .2, o .02",
    "\u09C3": "ri .9, ree .05, ru .02, r .02",
    "\u09C7": "e .9, a .1, ey .03, ae .02, ee .01, i .01",
    "\u09C8": "oi .8, ai .2, oy .03, ei .02",
    "\u09CB": "o .95, oo .05, ow .02, u .01",
    "\u09CC": "ou .6, ow .2, au .2, o .02",
    "অ": "o .7, a .3",
    "আ": "a .95, aa .05",
    "ই": "i .9, e .1, ee .02, y .02",
    "ঈ": "i .8, ee .2",
    "উ": "u .9, oo .1, w .02",
    "ঊ": "u .9, oo .1",
    "ঋ": "ri .95, ree .05",
    "এ": "e .75, a .25, ae .02, ye .02",
    "ঐ": "oi .8, ai .2, oy .02",
    "ও": "o .9, w .1, wo .02",
    "ঔ": "ou .7, au .3",
    "open-e": "e .55, a .45, ae .02",
    "loan-a": "a .65, e .2, ya .15",
    "spoken": "o .75, a .25, _ .02, u .01",
    "silent": "_ .8, o .2, a .05",
    "\u0982": "ng .8, n .2, m .02",
    "\u0981": "_ .85, n .15",
    "\u0983": "_ .6, h .4",
}
# After another vowel the second vowel of a pair is often a glide.
AFTER_VOWEL_PRIORS = {
    "ই": "i .8, y .2, e .05",
    "ও": "o .6, w .4, wo .05",
    "এ": "e .8, ye .2, a .05",
}

COLLAPSIBLE = set("bdfglmnprt")
ASPIRATE_BEFORE_H = set("bcdgkprst")


def _parse_priors(text):
    options = {}
    for item in text.split(","):
        spelling, weight = item.split()
        options["" if spelling == "_" else spelling] = float(weight)
    return options


def collapse_doubles(key):
    """The doubled-letter fold of the engine's fuzzy normaliser."""
    out = []
    i = 0
    while i < len(key):
        ch = key[i]
        out.append(ch)
        j = i + 1
        while (j < len(key) and key[j] == ch and ch in COLLAPSIBLE
               and not (ch in ASPIRATE_BEFORE_H and j + 1 < len(key) and key[j + 1] == "h")):
            j += 1
        i = j
    return "".join(out)


IPA_VOWELS = {"ɔ": "o", "o": "o", "a": "a", "æ": "E", "e": "e", "i": "i", "u": "u", "ɛ": "E", "ə": "o"}
SLOT_CLASS = {
    "\u09BE": "a", "আ": "a", "\u09BF": "i", "\u09C0": "i", "ই": "i", "ঈ": "i",
    "\u09C1": "u", "\u09C2": "u", "উ": "u", "ঊ": "u", "\u09C3": "i", "ঋ": "i",
    "\u09C7": "e", "এ": "e", "\u09CB": "o", "ও": "o", "অ": "o",
    "\u09C8": "oi", "ঐ": "oi", "\u09CC": "ou", "ঔ": "ou",
}


def _slot_cost(slot_class, ipa_class):
    if slot_class == ipa_class or (slot_class == "e" and ipa_class == "E"):
        return 0.0
    if slot_class == "a" and ipa_class == "E":
        return 0.3
    return 1.0


def align_with_ipa(units, ipa, rules):
    """Spoken inherent vowels and open e vowels, by aligning the written vowel
    slots with the IPA vowels; None when the IPA does not fit the spelling.
    Where two alignments fit equally well, the syllable rules decide."""
    slots = []
    for index, unit in enumerate(units):
        if unit.vowel == INHERENT and unit.cluster[0] not in INDEPENDENT_VOWELS:
            slots.append((index, "inherent"))
        elif unit.vowel in SLOT_CLASS:
            slots.append((index, SLOT_CLASS[unit.vowel]))
    vowels = [IPA_VOWELS[ch] for ch in ipa if ch in IPA_VOWELS]
    infinity = float("inf")
    n, m = len(slots), len(vowels)
    cost = [[infinity] * (m + 1) for _ in range(n + 1)]
    back = [[None] * (m + 1) for _ in range(n + 1)]
    cost[0][0] = 0.0

    def relax(i, j, value, origin):
        if value < cost[i][j]:
            cost[i][j] = value
            back[i][j] = origin

    for i in range(n + 1):
        for j in range(m + 1):
            here = cost[i][j]
            if here == infinity:
                continue
            if j < m:  # a vowel the spelling lacks (a glide)
                relax(i, j + 1, here + 0.8, (i, j, None))
            if i == n:
                continue
            kind = slots[i][1]
            rule_spoken = rules.get(slots[i][0], True)
            skip = (0.1 if rule_spoken else 0.02) if kind == "inherent" else 1.0
            relax(i + 1, j, here + skip, (i, j, "silent"))
            if j < m:
                if kind == "inherent":
                    step = 0.0 if vowels[j] == "o" else (0.6 if vowels[j] in "aE" else 1.2)
                    step += 0.0 if rule_spoken else 0.08
                elif len(kind) == 2:
                    step = _slot_cost(kind[0], vowels[j]) + 0.3
                else:
                    step = _slot_cost(kind, vowels[j])
                relax(i + 1, j + 1, here + step, (i, j, vowels[j]))
                if len(kind) == 2 and j + 1 < m:
                    step = _slot_cost(kind[0], vowels[j]) + _slot_cost(kind[1], vowels[j + 1])
                    relax(i + 1, j + 2, here + step, (i, j, vowels[j]))
    if cost[n][m] > 1.6:
        return None
    spoken, open_e = {}, set()
    i, j = n, m
    while (i, j) != (0, 0):
        pi, pj, what = back[i][j]
        if pi != i:
            unit_index, kind = slots[pi]
            if kind == "inherent":
                spoken[unit_index] = what not in (None, "silent")
            elif kind == "e" and what == "E":
                open_e.add(unit_index)
        i, j = pi, pj
    return spoken, open_e


def spoken_by_rule(units):
    """Syllable rules for the inherent vowel: kept word-initially, in
    conjuncts and before a final consonant; dropped word-finally and between
    a vowel and a consonant that carries a vowel sign (ekta, korte, amra)."""
    spoken = {}
    count = len(units)
    for index, unit in enumerate(units):
        if unit.vowel != INHERENT or unit.cluster[0] in INDEPENDENT_VOWELS:
            continue
        if unit.modifiers or index == 0 or count == 1:
            spoken[index] = True
        elif index == count - 1:
            spoken[index] = len(unit.cluster) > 1
        elif len(unit.cluster) > 1:
            spoken[index] = True
        else:
            nxt = units[index + 1]
            previous_spoken = units[index - 1].vowel != INHERENT or spoken.get(index - 1, True)
            next_has_sign = nxt.vowel not in (INHERENT, None) and len(nxt.cluster) == 1 \
                and nxt.cluster[0] not in INDEPENDENT_VOWELS
            spoken[index] = not (previous_spoken and next_has_sign)
    return spoken


def _cluster_kinds(cluster, word_initial):
    kinds = []
    i = 0
    while i < len(cluster):
        pair = (cluster[i], cluster[i + 1] if i + 1 < len(cluster) else "", word_initial and i == 0)
        if pair in PAIR_PRIORS:
            kinds.append(("pair",) + pair)
            i += 2
            continue
        letter = cluster[i]
        if i > 0 and letter == "য":
            kinds.append(("phala", "য-initial" if word_initial else "য"))
        elif i > 0 and letter == "ব" and cluster[i - 1] != "ম":
            kinds.append(("phala", "ব"))
        elif i > 0 and letter == "ম":
            kinds.append(("phala", "ম"))
        else:
            kinds.append(("letter", letter, word_initial and i == 0))
        i += 1
    return kinds


def segment_kinds(word, ipa):
    """The segment kinds of a word, in writing order."""
    units = split_units(word)
    rules = spoken_by_rule(units)
    alignment = align_with_ipa(units, ipa, rules) if ipa else None
    if alignment is None:
        spoken, open_e = rules, set()
    else:
        spoken, open_e = alignment
        for index, value in rules.items():
            spoken.setdefault(index, value)
    kinds = []
    previous_vowel = False
    last = len(units) - 1
    for index, unit in enumerate(units):
        first = unit.cluster[0]
        final = index == last
        if first in INDEPENDENT_VOWELS:
            if len(unit.cluster) > 1:
                kinds.append(("vowel", "loan-a", final))
            elif index in open_e:
                kinds.append(("vowel", "open-e", final))
            elif previous_vowel and first in AFTER_VOWEL_PRIORS:
                kinds.append(("glide", first, final))
            else:
                kinds.append(("vowel", first, final))
        else:
            kinds.extend(_cluster_kinds(unit.cluster, index == 0))
            if unit.vowel == INHERENT:
                kinds.append(("vowel", "spoken" if spoken.get(index, True) else "silent", final, index == 0))
            elif unit.vowel is not None:
                kinds.append(("vowel", "open-e" if index in open_e else unit.vowel, final))
        for modifier in unit.modifiers:
            kinds.append(("vowel", modifier, final))
        previous_vowel = unit.vowel is not None and not (unit.vowel == INHERENT and not spoken.get(index, True))
    return kinds


def _priors_of(kind):
    if kind[0] == "letter":
        return CONSONANT_PRIORS[kind[1]]
    if kind[0] == "pair":
        return PAIR_PRIORS[kind[1:]]
    if kind[0] == "phala":
        return PHALA_PRIORS[kind[1]]
    if kind[0] == "glide":
        return AFTER_VOWEL_PRIORS[kind[1]]
    return VOWEL_PRIORS[kind[1]]


def _spelling(option, previous):
    """The text an option adds, given the spelling of the letter before it."""
    if option == DOUBLE:
        return previous
    if option == DOUBLE_FIRST:
        return previous[:1]
    return option


class Romanizer:
    """Segment-kind spelling probabilities and the key search over them."""

    def __init__(self):
        self.tables = {}

    def options(self, kind):
        table = self.tables.get(kind)
        if table is None:
            priors = _parse_priors(_priors_of(kind))
            total = sum(priors.values())
            table = {spelling: weight / total for spelling, weight in priors.items()}
            self.tables[kind] = table
        return table

    def romanize(self, word, ipa=None, limit=6, beam=48):
        """Up to `limit` (key, probability) pairs, most likely first."""
        hypotheses = [("", "", 1.0)]  # text, spelling of the last segment, probability
        for kind in segment_kinds(word, ipa):
            grown = []
            for text, previous, weight in hypotheses:
                for option, probability in self.options(kind).items():
                    added = _spelling(option, previous)
                    if option in (DOUBLE, DOUBLE_FIRST) and not added:
                        continue
                    grown.append((text + added, added, weight * probability))
            grown.sort(key=lambda item: -item[2])
            hypotheses = grown[:beam]
        keys = collections.defaultdict(float)
        for text, _, weight in hypotheses:
            key = collapse_doubles(text)
            if key and key.isascii() and key.isalpha():
                keys[key] += weight
        return sorted(keys.items(), key=lambda item: (-item[1], item[0]))[:limit]

    def train(self, examples, iterations=3):
        """Re-estimates the tables from (word, ipa, roman, weight) examples by
        expectation maximisation over all segmentations of each roman text."""
        prepared = [(segment_kinds(word, ipa), roman, weight) for word, ipa, roman, weight in examples]
        for _ in range(iterations):
            counts = collections.defaultdict(lambda: collections.defaultdict(float))
            for kinds, roman, weight in prepared:
                self._expected_counts(kinds, roman, weight, counts)
            for kind, table in counts.items():
                priors = self.options(kind)
                # a little prior mass keeps rare spellings reachable
                smoothed = {s: table.get(s, 0.0) + 0.5 * p for s, p in priors.items()}
                total = sum(smoothed.values())
                self.tables[kind] = {s: v / total for s, v in smoothed.items()}

    def _expected_counts(self, kinds, roman, weight, counts):
        n, length = len(kinds), len(roman)
        steps = []  # per segment: list of (start, end, option, probability)
        forward = [collections.defaultdict(float) for _ in range(n + 1)]
        forward[0][0] = 1.0
        for i, kind in enumerate(kinds):
            table = self.options(kind)
            previous_table = self.options(kinds[i - 1]) if i > 0 else {}
            edges = []
            for start, mass in forward[i].items():
                previous = _previous_spelling(roman, start, previous_table)
                for option, probability in table.items():
                    added = _spelling(option, previous)
                    if option in (DOUBLE, DOUBLE_FIRST) and not added:
                        continue
                    end = start + len(added)
                    if end <= length and roman.startswith(added, start):
                        forward[i + 1][end] += mass * probability
                        edges.append((start, end, option, probability))
            steps.append(edges)
        total = forward[n].get(length, 0.0)
        if total <= 0.0:
            return
        backward = [collections.defaultdict(float) for _ in range(n + 1)]
        backward[n][length] = 1.0
        for i in range(n - 1, -1, -1):
            for start, end, option, probability in steps[i]:
                if backward[i + 1].get(end):
                    share = forward[i][start] * probability * backward[i + 1][end]
                    backward[i][start] += probability * backward[i + 1][end]
                    counts[kinds[i]][option] += weight * share / total


def _previous_spelling(roman, end, previous_table):
    """The longest spelling of the previous segment that ends at `end`."""
    best = ""
    for option in previous_table:
        if option and option[0] != "<" and len(option) > len(best) and roman.endswith(option, 0, end):
            best = option
    return best
