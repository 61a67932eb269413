"""Tests of the lexicon pipeline's dev-sentence split, own-spelling rule and
variant ordering, on small fixtures (no word lists needed).

Run: python3 -m unittest discover -s tools/lexicon_pipeline -p "*_test.py"
"""

import collections
import os
import tempfile
import unittest

import build_source
import sources
from spelling import are_variants, spells


# word -> IPA as unilex writes it; words without an entry have none.
IPA = {
    "হল": "hɔl", "হলো": "ho.lo", "কোন": "kon", "কোনো": "ko.no", "আর": "ar", "আরো": "a.ro",
    "আরও": "ar.o", "তার": "tar", "তারা": "ta.ra", "মনে": "mo.ne", "মানে": "ma.ne",
    "করব": "kor.bo", "করবো": "kor.bo", "দিব": "di.bo", "দিবো": "di.bo", "ভাই": "bʰai̯",
    "এস": "es", "তৈরি": "toi̯.ri", "তৈরী": "toi̯.ri", "টারা": "ʈa.ra",
}


class OwnSpellingTest(unittest.TestCase):
    def test_a_key_spells_the_words_whose_letters_it_types(self):
        # (key, word, spells the word's own letters, reaches it with other inherent vowels)
        cases = [
            ("holo", "হলো", True, True),
            ("holo", "হল", False, True),      # হল says hɔl: the final o is হলো's
            ("hol", "হল", True, True),
            ("kono", "কোনো", True, True),
            ("kono", "কোন", False, True),
            ("aro", "আরো", True, True),
            ("aro", "আরও", True, True),
            ("aro", "আর", False, True),
            ("tara", "তারা", True, True),
            ("tara", "তার", False, True),
            ("mane", "মানে", True, True),
            ("mane", "মনে", False, True),      # an inherent vowel typed a
            ("mone", "মনে", True, True),
            ("korbo", "করব", True, True),      # করব says kor.bo
            ("korbo", "করবো", True, True),
            ("jonno", "জন্য", True, True),      # no IPA: said after a conjunct
            ("jono", "জন্য", True, True),       # doubled letters fold as in the engine
            ("vai", "ভাই", True, True),
            ("bhai", "ভাই", True, True),
            ("s", "এস", False, False),         # a letter's name: not the parser's reading
            ("ma", "মে", False, False),         # a vowel typed for another vowel
        ]
        for key, word, own, loose in cases:
            with self.subTest(key=key, word=word):
                self.assertEqual(spells(key, word, IPA.get(word)), own)
                self.assertEqual(spells(key, word, IPA.get(word), loose=True), loose)

    def test_spelling_variants_of_one_word_share_a_key_and_their_letters(self):
        cases = [
            ("দিব", "দিবো", "dibo", True),
            ("করব", "করবো", "korbo", True),
            ("আরো", "আরও", "aro", True),
            ("তৈরি", "তৈরী", "toiri", True),
            ("হল", "হলো", "holo", False),      # হল says hɔl: two words
            ("কোন", "কোনো", "kono", False),
            ("তারা", "টারা", "tara", False),   # one key, other consonants
        ]
        for first, second, key, variants in cases:
            with self.subTest(first=first, second=second):
                self.assertEqual(are_variants(first, second, [key], IPA.get), variants)


def runs_of(records):
    """(placed, runs) as assign_records builds them, from (word, keys) pairs."""
    placed = {word: list(keys) for word, keys in records}
    runs = collections.defaultdict(list)
    for word, keys in records:
        for key in keys:
            runs[key].append(word)
    return placed, runs


class OtherSpellingTest(unittest.TestCase):
    FREQUENCY = {"আর": 734990, "আরো": 79440, "আরও": 77629, "এস": 16982, "স": 20000,
                 "তার": 588844, "তারা": 244245, "না": 1000000}

    def drop(self, records, loans=()):
        placed, runs = runs_of(records)
        return build_source.drop_other_spellings(placed, runs, self.FREQUENCY, IPA.get, list(loans))

    def test_a_word_the_key_does_not_spell_leaves_it_unless_far_more_frequent(self):
        placed, runs = self.drop([("আর", ["ar", "aro"]), ("আরো", ["aro"]), ("আরও", ["aro", "arw"]),
                                  ("তার", ["tar", "tara"]), ("তারা", ["tara"])])
        self.assertEqual(runs["aro"], ["আরো", "আরও"])
        self.assertEqual(placed["আর"], ["ar"])
        self.assertEqual(runs["tara"], ["তারা"])

        self.FREQUENCY = dict(self.FREQUENCY, **{"আর": 12 * 79440})
        placed, runs = self.drop([("আর", ["ar", "aro"]), ("আরো", ["aro"])])
        self.assertEqual(runs["aro"], ["আর", "আরো"])

    def test_a_word_keeps_its_last_key_its_loan_key_and_keys_the_parser_does_not_read(self):
        placed, runs = self.drop([("আর", ["aro"]), ("আরো", ["aro"])])
        self.assertEqual(placed["আর"], ["aro"])
        placed, runs = self.drop([("আর", ["ar", "aro"]), ("আরো", ["aro"])], loans=[("আর", "aro")])
        self.assertEqual(placed["আর"], ["ar", "aro"])
        placed, runs = self.drop([("এস", ["es", "s"]), ("স", ["s"])])
        self.assertEqual(runs["s"], ["এস", "স"])


class ConversationalOrderTest(unittest.TestCase):
    def test_variants_take_their_order_from_the_subtitle_counts(self):
        frequency = {"দিব": 4677, "দিবো": 5370, "করব": 20417, "করবো": 16982, "কম": 9}
        subtitles = {"দিব": 609, "দিবো": 338, "করব": 1714, "করবো": 2189}
        build_source.order_variants_by_conversation([["দিব", "দিবো"], ["করব", "করবো"]], frequency, subtitles)
        self.assertEqual(frequency, {"দিব": 5370, "দিবো": 4677, "করব": 16982, "করবো": 20417, "কম": 9})

    def test_too_few_subtitle_counts_leave_the_order(self):
        frequency = {"তৈরি": 81287, "তৈরী": 18620}
        build_source.order_variants_by_conversation([["তৈরি", "তৈরী"]], frequency, {"তৈরী": 19})
        self.assertEqual(frequency, {"তৈরি": 81287, "তৈরী": 18620})

    def test_variant_groups_hold_only_variants_sharing_a_key(self):
        generated = {w: [(k, 1.0)] for w, k in
                     [("দিব", "dibo"), ("দিবো", "dibo"), ("হল", "hol"), ("হলো", "holo"), ("আর", "ar"),
                      ("আরো", "aro"), ("আরও", "aro")]}
        groups = build_source.variant_groups(sorted(generated), generated, IPA.get)
        self.assertEqual(groups, [["আরও", "আরো"], ["দিব", "দিবো"]])


class DevSentenceSplitTest(unittest.TestCase):
    def test_measured_sentences_give_no_keys_and_the_split_follows_the_sentence(self):
        sentences = [[("আর", "ar")] * length for length in range(1, 41)]
        sentences.append(sentences[3])  # a repeated sentence falls on the same side
        with tempfile.TemporaryDirectory() as data:
            os.makedirs(os.path.join(data, "dakshina"))
            with open(os.path.join(data, "dakshina", "bn.romanized.dev.aligned.tsv"), "w",
                      encoding="utf-8") as handle:
                for sentence in sentences:
                    handle.writelines("%s\t%s\n" % pair for pair in sentence + [("</s>", "</s>")])
            parts = collections.Counter(sources.dev_sentence_part(s) for s in sentences)
            measured = sources.dev_sentences_of(data, (sources.MEASURED_PART,))
            built = sources.dev_sentences_of(data, (sources.KEY_PART, sources.TUNING_PART))
            tuning_build = sources.read_dakshina_aligned(data, (sources.KEY_PART,))

        self.assertEqual(len(measured) + len(built), len(sentences))
        self.assertFalse(set(map(tuple, measured)) & set(map(tuple, built)))
        self.assertTrue(all(parts[p] > 0 for p in (sources.KEY_PART, sources.TUNING_PART,
                                                   sources.MEASURED_PART)))
        self.assertEqual(len(tuning_build),
                         sum(len(s) for s in sentences if sources.dev_sentence_part(s) == sources.KEY_PART))


if __name__ == "__main__":
    unittest.main()
