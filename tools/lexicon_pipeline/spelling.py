"""Whether a Latin key spells a Bengali word's own letters.

A key spells a word when every written vowel is typed with its own letters
(া a, ো o, ি i or e, ...), the inherent vowel with o or not at all, and the
consonants with any of their usual Latin letters (ভ bh or v, শ sh or s). A
word that reaches the key only otherwise, through an inherent vowel typed as
a (মনে under "mane", the letters of মানে) or a final o that the word does
not say (আর under "aro", the letters of আরো; হল under "holo", of হলো), is
under a key of a different spelling. The final inherent vowel counts as
typed only where the word says it (করব kor.bo: "korbo"), as its IPA shows,
or, without one, where the syllable rules keep it (জন্য).

Two words are spelling variants of one word when they differ only in a
long or short i or u (তৈরি, তৈরী) or in a final o written or left to the
inherent vowel (দিব, দিবো; আরো, আরও), and one key spells both: হল (hɔl) and
হলো (ho.lo), কোন and কোনো share no key and stay two words.
"""

import re

from bengali import CONSONANTS, HASANT
from romanizer import DOUBLE, DOUBLE_FIRST, _spelling, collapse_doubles, segment_kinds

OWN_CONSONANTS = {
    "ক": "k c q", "খ": "kh", "গ": "g", "ঘ": "gh g", "ঙ": "ng", "চ": "ch c", "ছ": "ch chh s c",
    "জ": "j z", "ঝ": "jh j z", "ঞ": "n", "ট": "t", "ঠ": "th t", "ড": "d", "ঢ": "dh d",
    "ণ": "n", "ত": "t", "থ": "th t", "দ": "d", "ধ": "dh d", "ন": "n", "প": "p",
    "ফ": "f ph", "ব": "b", "ভ": "bh v", "ম": "m", "য": "j z y", "র": "r", "ল": "l",
    "শ": "sh s", "ষ": "sh s", "স": "s sh", "হ": "h", "\u09DC": "r", "\u09DD": "rh r",
    "\u09DF": "y _", "\u09CE": "t",
}
OWN_PAIRS = {
    ("ক", "ষ", True): "kh ksh", ("ক", "ষ", False): "kkh kh ksh",
    ("জ", "ঞ", True): "gy g", ("জ", "ঞ", False): "gg gy g",
}
OWN_PHALAS = {
    "য": "<double> y", "য-initial": "_ y", "ব": "_ w <double> b", "ম": "m _",
}
OWN_VOWELS = {
    "\u09BE": "a", "\u09BF": "i e", "\u09C0": "i ee", "\u09C1": "u", "\u09C2": "u oo",
    "\u09C3": "ri", "\u09C7": "e", "\u09C8": "oi ai", "\u09CB": "o", "\u09CC": "ou ow au",
    "অ": "o a", "আ": "a", "ই": "i e", "ঈ": "i ee", "উ": "u", "ঊ": "u oo", "ঋ": "ri",
    "এ": "e a", "ঐ": "oi", "ও": "o w", "ঔ": "ou au", "open-e": "e a", "loan-a": "a e ya",
    "spoken": "o _", "silent": "o _", "\u0982": "ng n", "\u0981": "_", "\u0983": "_ h",
}
OWN_GLIDES = {"ই": "i y", "ও": "o w", "এ": "e ye"}
LOOSE_INHERENT = ["o", "a", ""]  # how the engine's parser reads an inherent vowel
IPA_LETTERS = re.compile(r"[^a-zɔæɛəʃʈɖŋɡʒ]")


def _options(text):
    return ["" if option == "_" else option for option in text.split()]


def _says_final_vowel(word, ipa):
    """Whether the word says the inherent vowel of its last letter."""
    if ipa:
        sounds = IPA_LETTERS.sub("", ipa.split()[0] if ipa.split() else ipa)
        return sounds[-1:] in ("o", "ɔ")
    # without IPA: spoken after a conjunct (জন্য, বিকল্প), silent otherwise
    return len(word) > 2 and word[-2] == HASANT


def _segment_options(word, ipa, loose=False):
    """Per segment of the word, the texts that spell it letter by letter;
    `loose` also lets every inherent vowel be typed o, a or not at all."""
    kinds = segment_kinds(word, ipa)
    final_said = _says_final_vowel(word, ipa)
    options = []
    for kind in kinds:
        if kind[0] == "letter":
            options.append(_options(OWN_CONSONANTS[kind[1]]))
        elif kind[0] == "pair":
            options.append(_options(OWN_PAIRS[kind[1:]]))
        elif kind[0] == "phala":
            options.append(_options(OWN_PHALAS[kind[1]]))
        elif kind[0] == "glide":
            options.append(_options(OWN_GLIDES[kind[1]]))
        elif kind[1] in ("spoken", "silent") and loose:
            options.append(LOOSE_INHERENT)
        elif kind[1] in ("spoken", "silent") and kind[2]:
            options.append(["o", ""] if final_said else [""])
        else:
            options.append(_options(OWN_VOWELS[kind[1]]))
    return options


def spells(key, word, ipa=None, loose=False):
    """True when the key (doubled letters folded as the engine folds them)
    spells the word's own letters; with `loose`, also when it does so but
    for how its inherent vowels are typed, as the engine's parser reads
    them (তার from "tara", আর from "aro")."""
    target = collapse_doubles(key)
    states = {("", "")}  # (text so far, spelling of the last segment)
    for segment in _segment_options(word, ipa, loose):
        grown = set()
        for text, previous in states:
            for option in segment:
                added = _spelling(option, previous)
                if option in (DOUBLE, DOUBLE_FIRST) and not added:
                    continue
                text_after = text + added
                if target.startswith(collapse_doubles(text_after)):
                    grown.add((text_after, added))
        if not grown:
            return False
        states = grown
    return any(collapse_doubles(text) == target for text, _ in states)


_LENGTH_FOLD = str.maketrans("\u09C0\u09C2ঈঊ", "\u09BFুইউ")
_FINAL_O = ("\u09CB", "ও")


def variant_form(word):
    """The form spelling variants of one word share: long i and u folded to
    short, a final o after a consonant dropped."""
    folded = word.translate(_LENGTH_FOLD)
    if len(folded) > 1 and folded.endswith(_FINAL_O) and folded[-2] in CONSONANTS:
        folded = folded[:-1]
    return folded


def are_variants(first, second, keys, ipa_of):
    """True when the two words are spellings of one word: the same variant
    form, and one of `keys` spells both."""
    return (first != second and variant_form(first) == variant_form(second)
            and any(spells(key, first, ipa_of(first)) and spells(key, second, ipa_of(second))
                    for key in keys))
