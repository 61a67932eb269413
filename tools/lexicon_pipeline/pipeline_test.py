"""Tests of the lexicon pipeline on small fixtures (no word lists needed).

Run: python3 -m unittest discover -s tools/lexicon_pipeline -p "*_test.py"
"""

import collections
import os
import tempfile
import unittest

import sources


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
