"""The engine's spelling skeleton (engine/roman_skeleton.cpp), which orders
lexicon.bin's skeleton index: the consonant outline of a Latin spelling."""

VOWEL_LETTERS = set("aeiouwy")
OUTLINE_LETTERS = {"c": "k", "q": "k", "f": "p", "v": "b", "z": "j", "x": "ks"}


def skeleton(roman):
    outline = []
    for i, letter in enumerate(roman.lower()):
        if letter in VOWEL_LETTERS:
            if i == 0:
                outline.append("a")
            continue
        if letter == "h" and i > 0:
            continue
        for mapped in OUTLINE_LETTERS.get(letter, letter):
            if not outline or outline[-1] != mapped:
                outline.append(mapped)
    return "".join(outline)
