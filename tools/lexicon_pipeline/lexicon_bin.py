"""Reads the lexicon source and writes lexicon.bin (for measuring without the C++ build).

File layout: "BNGL", version 2, record count N, string pool size P (uint32
little-endian each); the string pool; N records of 20 bytes (word offset u32,
word length u16, key offset u32, key length u16, frequency u32, tag u16,
reserved u16); the word index and the key index (N uint32 record numbers
each, ordered by plain byte comparison of the word or the key); then the
skeleton index: "SKEL", version 1, count M, M record numbers ordered by the
skeleton of their keys (skeleton.py), most frequent first, one per word and
skeleton. Within a
run of equal keys the records stand by descending frequency, ties by word
bytes, because the engine takes the first records of a run.
The C++ build step (tools/lexicon_build) writes the same bytes.
"""

import struct

from skeleton import skeleton

MAGIC = b"BNGL"
VERSION = 2
TAG_LEADS_KEY = 1
SKELETON_MAGIC = b"SKEL"
SKELETON_VERSION = 1


def records_from_source(lines):
    """(word, key, frequency, tag) for every key of every source line."""
    records = []
    for line in lines:
        word, frequency, keys = line.rstrip("\n").split("\t")
        for key in keys.split(","):
            tag = TAG_LEADS_KEY if key.endswith("!") else 0
            records.append((word, key.rstrip("!"), int(frequency), tag))
    return records


def key_run_order(record):
    """Equal keys by descending frequency, ties by word bytes."""
    word, key, frequency, _ = record
    return (key.encode("ascii"), -frequency, word.encode("utf-8"))


def lay_string_pool(texts):
    """(pool bytes, offset of each text) as the C++ writer lays them: a text
    that starts another text lies inside it (byte order puts such texts next
    to each other), then a text that ends another (the same over reversed
    texts); the texts left ("roots") follow each other in order of first use
    (`texts` lists the distinct texts in that order)."""
    host = {t: (t, 0) for t in texts}
    order = sorted(texts)
    for shorter, longer in reversed(list(zip(order, order[1:]))):
        if longer.startswith(shorter):
            host[shorter] = host[longer]
    order = sorted((t for t in texts if host[t][0] == t), key=lambda t: t[::-1])
    for shorter, longer in reversed(list(zip(order, order[1:]))):
        if longer.endswith(shorter):
            root, offset = host[longer]
            host[shorter] = (root, offset + len(longer) - len(shorter))
    pool = bytearray()
    root_offsets = {}
    for text in texts:
        if host[text][0] == text:
            root_offsets[text] = len(pool)
            pool.extend(text)

    def offset_of(text):
        offset = 0
        while host[text][0] != text:
            text, step = host[text]
            offset += step
        return offset + root_offsets[text]

    return pool, {text: offset_of(text) for text in texts}


def skeleton_order(records):
    """Record numbers of the skeleton index: by skeleton bytes, then descending
    frequency, then word bytes; one record for each word of a skeleton."""
    skeletons = [skeleton(key).encode("ascii") for _, key, _, _ in records]
    numbers = sorted((i for i in range(len(records)) if skeletons[i]),
                     key=lambda i: (skeletons[i], -records[i][2], records[i][0].encode("utf-8")))
    kept, seen = [], set()
    for i in numbers:
        if (skeletons[i], records[i][0]) not in seen:
            seen.add((skeletons[i], records[i][0]))
            kept.append(i)
    return kept


def skeleton_section(numbers):
    if not numbers:
        return b""
    return SKELETON_MAGIC + struct.pack("<II%dI" % len(numbers), SKELETON_VERSION, len(numbers), *numbers)


def skeleton_section_size(records):
    return len(skeleton_section(skeleton_order(records)))


def lexicon_bin_size(records):
    """Bytes of the file that write_lexicon_bin would write."""
    texts = list(dict.fromkeys(t for word, key, _, _ in records for t in (word.encode("utf-8"), key.encode("ascii"))))
    pool, _ = lay_string_pool(texts)
    return 16 + len(pool) + 28 * len(records) + skeleton_section_size(records)


def write_lexicon_bin(records, path):
    """Writes the same bytes as the C++ build step: records in key-run order,
    the string pool laid by lay_string_pool, indexes stable-sorted by text."""
    records = sorted(records, key=key_run_order)
    encoded = [(word.encode("utf-8"), key.encode("ascii")) for word, key, _, _ in records]
    texts = list(dict.fromkeys(text for pair in encoded for text in pair))
    pool, offsets = lay_string_pool(texts)
    table = bytearray()
    for (word_bytes, key_bytes), (_, _, frequency, tag) in zip(encoded, records):
        table += struct.pack("<IHIHIHH", offsets[word_bytes], len(word_bytes),
                             offsets[key_bytes], len(key_bytes), frequency, tag, 0)
    numbers = range(len(records))
    word_index = sorted(numbers, key=lambda i: records[i][0].encode("utf-8"))
    roman_index = sorted(numbers, key=lambda i: records[i][1].encode("ascii"))
    with open(path, "wb") as handle:
        handle.write(MAGIC + struct.pack("<III", VERSION, len(records), len(pool)))
        handle.write(pool)
        handle.write(table)
        handle.write(struct.pack("<%dI" % len(records), *word_index))
        handle.write(struct.pack("<%dI" % len(records), *roman_index))
        handle.write(skeleton_section(skeleton_order(records)))
        return handle.tell()


def read_lexicon_bin(path):
    """(word, key, frequency, tag) records in key-index order; checks the layout."""
    with open(path, "rb") as handle:
        data = handle.read()
    if data[:4] != MAGIC:
        raise ValueError("not a lexicon file")
    version, count, pool_size = struct.unpack_from("<III", data, 4)
    if version != VERSION or 16 + pool_size + 28 * count > len(data):
        raise ValueError("bad lexicon header")
    pool = data[16:16 + pool_size]
    table = 16 + pool_size
    records = []
    for i in range(count):
        wo, wl, ko, kl, frequency, tag, _ = struct.unpack_from("<IHIHIHH", data, table + 20 * i)
        records.append((pool[wo:wo + wl].decode("utf-8"), pool[ko:ko + kl].decode("ascii"), frequency, tag))
    roman_index = struct.unpack_from("<%dI" % count, data, table + 24 * count)
    word_index = struct.unpack_from("<%dI" % count, data, table + 20 * count)
    words = [records[i][0].encode("utf-8") for i in word_index]
    keys = [records[i][1].encode("ascii") for i in roman_index]
    if words != sorted(words) or keys != sorted(keys):
        raise ValueError("lexicon index out of order")
    return [records[i] for i in roman_index]
