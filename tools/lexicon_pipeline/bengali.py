"""Bengali text helpers: canonical form, word validity and syllable units.

The canonical form matches what the engine writes for its candidates, so
that lexicon words and candidate texts compare byte for byte.
"""

HASANT = "\u09CD"
NUKTA = "\u09BC"
ZERO_WIDTH = ("\u200C", "\u200D", "\u200B", "\uFEFF")

_NUKTA_FORMS = {"\u09A1": "\u09DC", "\u09A2": "\u09DD", "\u09AF": "\u09DF"}
_TWO_PART_VOWEL_SIGNS = {"\u09BE": "\u09CB", "\u09D7": "\u09CC"}

INDEPENDENT_VOWELS = set("অআইঈউঊঋএঐওঔ")
CONSONANTS = set("কখগঘঙচছজঝঞটঠডঢণতথদধনপফবভমযরলশষসহ\u09DC\u09DD\u09DF\u09CE")
VOWEL_SIGNS = set("\u09BE\u09BF\u09C0\u09C1\u09C2\u09C3\u09C7\u09C8\u09CB\u09CC")
MODIFIERS = set("\u0981\u0982\u0983")
ASSAMESE_LETTERS = set("\u09F0\u09F1")


def canonicalize(text):
    """Composes nukta letters and two-part vowel signs, drops zero-width marks."""
    for mark in ZERO_WIDTH:
        text = text.replace(mark, "")
    out = []
    i = 0
    while i < len(text):
        ch = text[i]
        nxt = text[i + 1] if i + 1 < len(text) else ""
        if nxt == NUKTA and ch in _NUKTA_FORMS:
            out.append(_NUKTA_FORMS[ch])
            i += 2
            continue
        if ch == "\u09C7" and nxt in _TWO_PART_VOWEL_SIGNS:
            out.append(_TWO_PART_VOWEL_SIGNS[nxt])
            i += 2
            continue
        out.append(ch)
        i += 1
    return "".join(out)


def is_valid_word(word):
    """True for a well-formed Bengali word in canonical form.

    Stricter than the engine's own sequence check: every character is a
    Bengali letter or sign, vowel signs and hasant follow consonants, a hasant
    joins two consonants, and signs never stand at the start.
    """
    if not word:
        return False
    previous = ""
    for index, ch in enumerate(word):
        if ch in CONSONANTS:
            if ch == "\u09CE" and index == 0:
                return False
        elif ch in INDEPENDENT_VOWELS:
            if previous == HASANT:
                return False
        elif ch in VOWEL_SIGNS:
            if previous not in CONSONANTS or previous == "\u09CE":
                return False
        elif ch == HASANT:
            if previous in ("অ", "এ") and word[index + 1:index + 2] == "য":
                pass  # the written form of the vowel in app, act
            elif previous not in CONSONANTS or previous == "\u09CE":
                return False
            if index + 1 >= len(word) or word[index + 1] not in CONSONANTS:
                return False
        elif ch in MODIFIERS:
            if index == 0 or previous == HASANT or previous == ch:
                return False
        else:
            return False
        previous = ch
    return True


def clean_word(raw):
    """The canonical word for a raw list entry, or None when it is no Bengali word."""
    if any(ch in ASSAMESE_LETTERS for ch in raw):
        return None
    word = canonicalize(raw.strip())
    return word if is_valid_word(word) else None


class Unit:
    """One written syllable: a consonant cluster or an independent vowel,
    its vowel (a vowel sign, the inherent vowel, or none after a final
    hasant or khanda ta) and the modifiers after it."""

    __slots__ = ("cluster", "vowel", "modifiers")

    INHERENT = "inherent"

    def __init__(self, cluster, vowel, modifiers):
        self.cluster = cluster
        self.vowel = vowel
        self.modifiers = modifiers

    @property
    def is_vowel_unit(self):
        return self.cluster and self.cluster[0] in INDEPENDENT_VOWELS

    def __repr__(self):
        return "Unit(%r,%r,%r)" % ("".join(self.cluster), self.vowel, self.modifiers)


def split_units(word):
    """Splits a valid word into units; the cluster is a list of letters."""
    units = []
    i = 0
    n = len(word)
    while i < n:
        ch = word[i]
        if ch in INDEPENDENT_VOWELS:
            cluster = [ch]
            vowel = ch
            i += 1
            if word[i:i + 2] == HASANT + "য":
                # অ্যা and এ্যা spell the open e of English loans (app, act)
                cluster.append("য")
                i += 2
                if i < n and word[i] in VOWEL_SIGNS:
                    vowel = word[i]
                    i += 1
        else:
            cluster = [ch]
            i += 1
            while i + 1 < n and word[i] == HASANT and word[i + 1] in CONSONANTS:
                cluster.append(word[i + 1])
                i += 2
            if i < n and word[i] in VOWEL_SIGNS:
                vowel = word[i]
                i += 1
            elif ch == "\u09CE" and len(cluster) == 1:
                vowel = None
            else:
                vowel = Unit.INHERENT
        modifiers = []
        while i < n and word[i] in MODIFIERS:
            modifiers.append(word[i])
            i += 1
        units.append(Unit(cluster, vowel, modifiers))
    return units
