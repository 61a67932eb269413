"""Reads the lexicon source and writes lexicon.bin (for measuring without the C++ build).

File layout: "BNGL", version 2, record count N, string pool size P (uint32
little-endian each); the string pool; N records of 20 bytes (word offset u32,
word length u16, key offset u32, key length u16, frequency u32, tag u16,
reserved u16); the word index and the key index (N uint32 record numbers
each, ordered by plain byte comparison of the word or the key). Within a
run of equal keys the records stand by descending frequency, ties by word
bytes, because the engine takes the first records of a run.
The C++ build step (tools/lexicon_build) writes the same bytes.
"""

import struct

MAGIC = b"BNGL"
VERSION = 2
TAG_LEADS_KEY = 1


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


def write_lexicon_bin(records, path):
    """Writes the same bytes as the C++ build step: records in key-run order,
    each distinct text once in the pool in order of first use, indexes
    stable-sorted by text."""
    records = sorted(records, key=key_run_order)
    pool = bytearray()
    offsets = {}

    def pooled(text):
        if text not in offsets:
            offsets[text] = len(pool)
            pool.extend(text)
        return offsets[text]

    table = bytearray()
    for word, key, frequency, tag in records:
        word_bytes, key_bytes = word.encode("utf-8"), key.encode("ascii")
        word_offset = pooled(word_bytes)
        key_offset = pooled(key_bytes)
        table += struct.pack("<IHIHIHH", word_offset, len(word_bytes),
                             key_offset, len(key_bytes), frequency, tag, 0)
    numbers = range(len(records))
    word_index = sorted(numbers, key=lambda i: records[i][0].encode("utf-8"))
    roman_index = sorted(numbers, key=lambda i: records[i][1].encode("ascii"))
    with open(path, "wb") as handle:
        handle.write(MAGIC + struct.pack("<III", VERSION, len(records), len(pool)))
        handle.write(pool)
        handle.write(table)
        handle.write(struct.pack("<%dI" % len(records), *word_index))
        handle.write(struct.pack("<%dI" % len(records), *roman_index))
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
