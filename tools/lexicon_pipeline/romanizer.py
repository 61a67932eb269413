"""Bengali-to-Banglish romanizer: the Latin spellings people type for a word.

Each written unit (consonant cluster, vowel, sign) offers weighted Latin
spellings; a beam search returns the most likely whole-word keys. Whether an
inherent vowel is spoken (কেমন kemon, করবো korbo, একটা ekta) comes from the
word's IPA pronunciation when one is known, otherwise from syllable rules.

Keys are written the way the engine's fuzzy normaliser folds typed text:
doubled b d f g l m n p r t collapse to one letter (typing "jonno" also
searches "jono"), so a generated key never needs its doubled twin.
"""

import math

from bengali import INDEPENDENT_VOWELS, Unit, split_units

INHERENT = Unit.INHERENT

CONSONANT_OPTIONS = {
    "ক": [("k", 1.0)],
    "খ": [("kh", 1.0)],
    "গ": [("g", 1.0)],
    "ঘ": [("gh", 0.85), ("g", 0.15)],
    "ঙ": [("ng", 1.0)],
    "চ": [("ch", 0.75), ("c", 0.25)],
    "ছ": [("ch", 0.55), ("s", 0.2), ("c", 0.15), ("chh", 0.1)],
    "জ": [("j", 0.85), ("z", 0.15)],
    "ঝ": [("jh", 0.7), ("j", 0.2), ("z", 0.1)],
    "ঞ": [("n", 1.0)],
    "ট": [("t", 1.0)],
    "ঠ": [("th", 0.85), ("t", 0.15)],
    "ড": [("d", 1.0)],
    "ঢ": [("dh", 0.85), ("d", 0.15)],
    "ণ": [("n", 1.0)],
    "ত": [("t", 1.0)],
    "থ": [("th", 0.9), ("t", 0.1)],
    "দ": [("d", 1.0)],
    "ধ": [("dh", 0.85), ("d", 0.15)],
    "ন": [("n", 1.0)],
    "প": [("p", 1.0)],
    "ফ": [("f", 0.5), ("ph", 0.5)],
    "ব": [("b", 1.0)],
    "ভ": [("bh", 0.6), ("v", 0.4)],
    "ম": [("m", 1.0)],
    "য": [("j", 0.65), ("z", 0.2), ("y", 0.15)],
    "র": [("r", 1.0)],
    "ল": [("l", 1.0)],
    "শ": [("sh", 0.6), ("s", 0.4)],
    "ষ": [("sh", 0.6), ("s", 0.4)],
    "স": [("s", 0.6), ("sh", 0.4)],
    "হ": [("h", 1.0)],
    "\u09DC": [("r", 0.9), ("d", 0.1)],
    "\u09DD": [("rh", 0.5), ("r", 0.5)],
    "\u09DF": [("y", 0.7), ("", 0.3)],
    "\u09CE": [("t", 0.9), ("th", 0.1)],
}

# Two-letter clusters whose spelling is not the sum of their letters.
CLUSTER_OPTIONS_INITIAL = {
    ("ক", "ষ"): [("kh", 0.55), ("ksh", 0.3), ("k", 0.15)],
    ("জ", "ঞ"): [("gy", 0.5), ("g", 0.5)],
}
CLUSTER_OPTIONS_MEDIAL = {
    ("ক", "ষ"): [("kkh", 0.35), ("kh", 0.35), ("ksh", 0.2), ("kk", 0.1)],
    ("জ", "ঞ"): [("gg", 0.5), ("gy", 0.3), ("gn", 0.2)],
    ("ঙ", "গ"): [("ng", 0.6), ("ngg", 0.4)],
    ("ঙ", "ক"): [("nk", 0.5), ("ngk", 0.5)],
    ("ঞ", "চ"): [("nch", 0.75), ("nc", 0.25)],
    ("ঞ", "ছ"): [("nch", 0.75), ("nc", 0.25)],
    ("ঞ", "জ"): [("nj", 1.0)],
    ("হ", "ম"): [("hm", 0.6), ("mh", 0.4)],
}

VOWEL_OPTIONS = {
    "\u09BE": [("a", 0.95), ("aa", 0.05)],
    "\u09BF": [("i", 0.9), ("e", 0.1)],
    "\u09C0": [("i", 0.8), ("ee", 0.2)],
    "\u09C1": [("u", 0.85), ("o", 0.1), ("oo", 0.05)],
    "\u09C2": [("u", 0.8), ("oo", 0.2)],
    "\u09C3": [("ri", 1.0)],
    "\u09C7": [("e", 0.9), ("a", 0.1)],
    "\u09C8": [("oi", 0.8), ("ai", 0.2)],
    "\u09CB": [("o", 0.95), ("oo", 0.05)],
    "\u09CC": [("ou", 0.6), ("ow", 0.2), ("au", 0.2)],
    "অ": [("o", 0.7), ("a", 0.3)],
    "আ": [("a", 0.95), ("aa", 0.05)],
    "ই": [("i", 0.9), ("e", 0.1)],
    "ঈ": [("i", 0.8), ("ee", 0.2)],
    "উ": [("u", 0.9), ("oo", 0.1)],
    "ঊ": [("u", 0.9), ("oo", 0.1)],
    "ঋ": [("ri", 1.0)],
    "এ": [("e", 0.75), ("a", 0.25)],
    "ঐ": [("oi", 0.8), ("ai", 0.2)],
    "ও": [("o", 0.9), ("w", 0.1)],
    "ঔ": [("ou", 0.7), ("au", 0.3)],
}
# After another vowel the second vowel of a pair is often a glide.
VOWEL_OPTIONS_AFTER_VOWEL = {
    "ই": [("i", 0.8), ("y", 0.2)],
    "ও": [("o", 0.6), ("w", 0.4)],
    "এ": [("e", 0.8), ("ye", 0.2)],
}
OPEN_E_OPTIONS = [("e", 0.55), ("a", 0.45)]
SPOKEN_INHERENT = [("o", 0.75), ("a", 0.25)]
SILENT_INHERENT = [("", 0.8), ("o", 0.2)]
OPEN_E_LOAN_OPTIONS = {  # অ্যা: the open e of English loans
    "\u09BE": [("a", 0.65), ("e", 0.2), ("ya", 0.15)],
    INHERENT: [("a", 0.7), ("e", 0.3)],
}
MODIFIER_OPTIONS = {
    "\u0982": [("ng", 0.8), ("n", 0.2)],
    "\u0981": [("", 0.85), ("n", 0.15)],
    "\u0983": [("", 0.6), ("h", 0.4)],
}

COLLAPSIBLE = set("bdfglmnprt")
ASPIRATE_BEFORE_H = set("bcdgkprst")


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


def _double(roman):
    return roman[0] + roman if roman else roman


def _cluster_options(cluster, word_initial):
    """Weighted spellings of a consonant cluster, as a list of option lists."""
    parts = []
    i = 0
    while i < len(cluster):
        pair = tuple(cluster[i:i + 2])
        table = CLUSTER_OPTIONS_INITIAL if (word_initial and i == 0) else CLUSTER_OPTIONS_MEDIAL
        if len(pair) == 2 and pair in table:
            parts.append(table[pair])
            i += 2
            continue
        letter = cluster[i]
        if i == 0 or letter not in "যবমর":
            parts.append(CONSONANT_OPTIONS[letter])
        elif letter == "য":
            parts.append("YA" if not word_initial else [("", 0.55), ("y", 0.45)])
        elif letter == "ব":
            parts.append(CONSONANT_OPTIONS["ব"] if cluster[i - 1] == "ম" else "BA")
        elif letter == "ম":
            parts.append([("m", 0.85), ("", 0.15)])
        else:
            parts.append([("r", 1.0)])
        i += 1
    return _expand_cluster(parts)


def _expand_cluster(parts):
    """Combines the letters' options; the ya- and ba-phala forms double the
    letter before them (jonno, sotto, bishshash), so they depend on its spelling."""
    combos = [("", 1.0)]
    for part in parts:
        grown = []
        for text, weight in combos:
            if part in ("YA", "BA"):
                last = _last_letter(text)
                doubled = text[:len(text) - len(last)] + last[:1] + last
                if part == "YA":
                    options = [(doubled, 0.6), (text + "y", 0.3), (text, 0.1)]
                else:
                    options = [(text, 0.45), (text + "w", 0.35), (doubled, 0.2)]
                grown.extend((option, weight * option_weight) for option, option_weight in options)
            else:
                grown.extend((text + option, weight * option_weight) for option, option_weight in part)
        combos = _merge(grown)
    return combos


def _last_letter(text):
    """The spelling of the last consonant: an aspirate pair counts as one letter."""
    if len(text) >= 2 and text[-1] == "h" and text[-2] in "bcdgjkprst":
        return text[-2:]
    return text[-1:] if text else ""


def _merge(options):
    merged = {}
    for text, weight in options:
        merged[text] = merged.get(text, 0.0) + weight
    return sorted(merged.items(), key=lambda item: -item[1])[:12]


IPA_VOWELS = {"ɔ": "o", "o": "o", "a": "a", "æ": "E", "e": "e", "i": "i", "u": "u", "ɛ": "E", "ə": "o"}
SLOT_CLASS = {
    "\u09BE": "a", "আ": "a", "\u09BF": "i", "\u09C0": "i", "ই": "i", "ঈ": "i",
    "\u09C1": "u", "\u09C2": "u", "উ": "u", "ঊ": "u", "\u09C3": "i", "ঋ": "i",
    "\u09C7": "e", "এ": "e", "\u09CB": "o", "ও": "o", "অ": "o",
    "\u09C8": "oi", "ঐ": "oi", "\u09CC": "ou", "ঔ": "ou",
}


def _ipa_vowels(ipa):
    """The IPA's vowel symbols as classes, in order; glides are kept."""
    return [IPA_VOWELS[ch] for ch in ipa if ch in IPA_VOWELS]


def _slot_cost(slot_class, ipa_class):
    if slot_class == ipa_class:
        return 0.0
    if slot_class == "e" and ipa_class == "E":
        return 0.0
    if slot_class == "a" and ipa_class == "E":
        return 0.3
    return 1.0


def align_with_ipa(units, ipa, rules):
    """Spoken inherent vowels and open e vowels by aligning the written vowel
    slots with the IPA vowels; None when the IPA does not fit the spelling.
    Where two alignments fit equally well, the syllable rules decide."""
    slots = []
    for index, unit in enumerate(units):
        if unit.vowel == INHERENT and unit.cluster[0] not in INDEPENDENT_VOWELS:
            slots.append((index, "inherent"))
        elif unit.vowel in SLOT_CLASS:
            slots.append((index, SLOT_CLASS[unit.vowel]))
    vowels = _ipa_vowels(ipa)
    infinity = float("inf")
    n, m = len(slots), len(vowels)
    cost = [[infinity] * (m + 1) for _ in range(n + 1)]
    back = [[None] * (m + 1) for _ in range(n + 1)]
    cost[0][0] = 0.0
    for i in range(n + 1):
        for j in range(m + 1):
            here = cost[i][j]
            if here == infinity:
                continue
            if j < m and here + 0.8 < cost[i][j + 1]:  # a vowel the spelling lacks (glide)
                cost[i][j + 1] = here + 0.8
                back[i][j + 1] = (i, j, None)
            if i == n:
                continue
            kind = slots[i][1]
            rule_spoken = rules.get(slots[i][0], True)
            skip = (0.1 if rule_spoken else 0.02) if kind == "inherent" else 1.0
            if here + skip < cost[i + 1][j]:
                cost[i + 1][j] = here + skip
                back[i + 1][j] = (i, j, "silent")
            if j < m:
                if kind == "inherent":
                    step = 0.0 if vowels[j] == "o" else (0.6 if vowels[j] in "aE" else 1.2)
                    step += 0.0 if rule_spoken else 0.08
                elif len(kind) == 2:
                    step = _slot_cost(kind[0], vowels[j]) + 0.3
                else:
                    step = _slot_cost(kind, vowels[j])
                if here + step < cost[i + 1][j + 1]:
                    cost[i + 1][j + 1] = here + step
                    back[i + 1][j + 1] = (i, j, vowels[j])
                if len(kind) == 2 and j + 1 < m:
                    step = _slot_cost(kind[0], vowels[j]) + _slot_cost(kind[1], vowels[j + 1])
                    if here + step < cost[i + 1][j + 2]:
                        cost[i + 1][j + 2] = here + step
                        back[i + 1][j + 2] = (i, j, vowels[j])
    if cost[n][m] > 1.6:
        return None
    spoken, open_e = {}, set()
    i, j = n, m
    while (i, j) != (0, 0):
        pi, pj, what = back[i][j]
        if pi != i:
            unit_index, kind = slots[pi]
            if kind == "inherent":
                spoken[unit_index] = what is not None and what != "silent"
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


def _unit_segments(units, spoken, open_e):
    """Option lists in writing order for the whole word."""
    segments = []
    previous_vowel = False
    for index, unit in enumerate(units):
        first = unit.cluster[0]
        if first in INDEPENDENT_VOWELS:
            if len(unit.cluster) > 1:
                segments.append(OPEN_E_LOAN_OPTIONS.get(unit.vowel, OPEN_E_LOAN_OPTIONS[INHERENT]))
            elif index in open_e:
                segments.append(OPEN_E_OPTIONS)
            elif previous_vowel and first in VOWEL_OPTIONS_AFTER_VOWEL:
                segments.append(VOWEL_OPTIONS_AFTER_VOWEL[first])
            else:
                segments.append(VOWEL_OPTIONS[first])
        else:
            segments.append(_cluster_options(unit.cluster, index == 0))
            if unit.vowel == INHERENT:
                segments.append(SPOKEN_INHERENT if spoken.get(index, True) else SILENT_INHERENT)
            elif unit.vowel is None:
                pass
            elif index in open_e:
                segments.append(OPEN_E_OPTIONS)
            else:
                segments.append(VOWEL_OPTIONS[unit.vowel])
        for modifier in unit.modifiers:
            segments.append(MODIFIER_OPTIONS[modifier])
        previous_vowel = unit.vowel is not None and not (unit.vowel == INHERENT and not spoken.get(index, True))
    return segments


def romanize(word, ipa=None, limit=6, beam=48):
    """Up to `limit` (key, probability) pairs, most likely first."""
    units = split_units(word)
    if not units:
        return []
    rules = spoken_by_rule(units)
    alignment = align_with_ipa(units, ipa, rules) if ipa else None
    if alignment is None:
        spoken, open_e = rules, set()
    else:
        spoken, open_e = alignment
        for index, value in rules.items():
            spoken.setdefault(index, value)
    hypotheses = [("", 1.0)]
    for options in _unit_segments(units, spoken, open_e):
        grown = [(text + option, weight * option_weight)
                 for text, weight in hypotheses for option, option_weight in options]
        grown.sort(key=lambda item: -item[1])
        hypotheses = grown[:beam]
    keys = {}
    for text, weight in hypotheses:
        key = collapse_doubles(text)
        if key and key.isascii() and key.isalpha():
            keys[key] = keys.get(key, 0.0) + weight
    ranked = sorted(keys.items(), key=lambda item: (-item[1], item[0]))
    return ranked[:limit]


def log_probability(weight):
    return math.log(weight) if weight > 0 else -99.0
