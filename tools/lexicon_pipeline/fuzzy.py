"""The engine's fuzzy spelling normaliser, for measuring lexicon searches in Python."""

from romanizer import collapse_doubles

WORD_MAPS = {}
for target, sources in {
    "battery": "battary batery batary battari batari batteri batarry",
    "somossha": "somossa somosha shomossa shomossha shomosya shomoshya somosya somoshya",
    "poriborton": "poribarton poribortan poribertan paribartan",
    "porishkar": "poriskar porizkar parishkar",
    "chair": "cheyar chear cheyear",
    "table": "tebil tabil teble",
    "control": "kontrol conrol kontrole",
    "computer": "compyuter computar compyutar kompiutar",
    "internet": "intarnet internit intenet enternet",
    "fan": "phan fyan",
    "mouse": "maus maush",
    "office": "ofis ofice ophis",
    "screenshot": "skrinshot skrinshat",
    "output": "outpot",
    "brain": "bren",
    "better": "betor betar",
    "powered": "powerd",
    "suggestion": "suggession sajeshon sajeson",
    "windows": "window",
    "tension": "tenshon",
    "bangladesh": "bangladeshi",
    "khushi": "khusi",
    "manush": "manish manosh",
    "shongeet": "shongit sangit",
    "sobuj": "shobuj",
    "hide": "hide haid",
    "unhide": "unhide",
    "buttone": "butone botone batone",
    "button": "buton baton",
    "conflict": "conflikt kanflikt konflikt",
    "swacchondo": "sachonnodo shachonnodo sachondo shachondo shacchondo shachchondo swachondo",
    "swacchondye": "sachonnodoe sachondye swachondye",
    "dictionary": "dicsonari diksonari dikshonari dicsionari diksionari",
}.items():
    for source in sources.split():
        WORD_MAPS[source] = target

SUFFIX_RULES = [
    ("ary", "ery"), ("ari", "ery"), ("eri", "ery"), ("arry", "ery"), ("ossa", "ossha"),
    ("osha", "ossha"), ("barton", "borton"), ("bortan", "borton"), ("bertan", "borton"),
    ("iskar", "ishkar"), ("arishkar", "orishkar"), ("eyar", "air"), ("ear", "air"),
    ("ontrol", "ontrol"),
]


def apply_rules(word):
    word = word.lower()
    if word in WORD_MAPS:
        return WORD_MAPS[word]
    if len(word) >= 3:
        for ending, replacement in SUFFIX_RULES:
            if word.endswith(ending):
                return word[:len(word) - len(ending)] + replacement
    collapsed = collapse_doubles(word)
    return collapsed if collapsed != word else ""


def normalize(word):
    lower = word.lower()
    result = [lower]
    first = apply_rules(lower)
    if not first or first == lower:
        return result
    result.append(first)
    second = apply_rules(first)
    if second and second != first and second != lower:
        result.append(second)
    return result
