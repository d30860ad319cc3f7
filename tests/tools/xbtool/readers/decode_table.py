#!/usr/bin/python3
"""Writes a plain copy of an encrypted table and its memo file, decoded with the key by the
published transform (byte i of a block XOR ((i mod 256) OR key[i mod key length])), so that
readers that know nothing of the key can read it:
    decode_table.py TABLE MEMO|- KEY OUT_TABLE OUT_MEMO|-"""
import struct
import sys


def transform(data, key):
    return bytes(b ^ ((i % 256) | key[i % len(key)]) for i, b in enumerate(data))


table_path, memo_path, key, out_table, out_memo = sys.argv[1:6]
key = key.encode("latin-1")
table = bytearray(open(table_path, "rb").read())
version, header_length, record_length = table[0], *struct.unpack_from("<HH", table, 8)
area = 32 + header_length - 33 - (263 if version == 0x30 else 0)
table[32:area] = transform(table[32:area], key)
table[15] = 0
fields, offset = [], 1
for at in range(32, area, 32):
    if table[at] == 0x0D:
        break
    kind, length, decimals = chr(table[at + 11]), table[at + 16], table[at + 17]
    if kind == "C":
        length += 256 * decimals
    fields.append((kind, offset, length))
    offset += length
memo = bytearray(open(memo_path, "rb").read()) if memo_path != "-" else None
records = (len(table) - header_length) // record_length
for n in range(records):
    at = header_length + n * record_length
    table[at:at + record_length] = transform(table[at:at + record_length], key)
    for kind, offset, length in fields:
        if memo is None or kind not in "MGB" or (version == 0x30 and kind == "B"):
            continue
        raw = table[at + offset:at + offset + length]
        block = struct.unpack("<i", raw)[0] if version == 0x30 else int(raw.strip() or b"0")
        if block == 0:
            continue
        if version in (0x30, 0xF5):
            start = block * struct.unpack_from(">H", memo, 6)[0]
            size = struct.unpack_from(">I", memo, start + 4)[0]
            memo[start + 8:start + 8 + size] = transform(memo[start + 8:start + 8 + size], key)
        elif version == 0x8B:
            start = block * struct.unpack_from("<I", memo, 20)[0]
            size = struct.unpack_from("<I", memo, start + 4)[0] - 8
            memo[start + 8:start + 8 + size] = transform(memo[start + 8:start + 8 + size], key)
        else:  # 0x83: a length before the text; the plain layout has none
            start = block * 512
            size = struct.unpack_from("<I", memo, start)[0]
            text = transform(memo[start + 4:start + 4 + size], key)
            memo[start:start + size + 6] = text + b"\x1a\x1a" + bytes(4)
open(out_table, "wb").write(table)
if memo is not None:
    open(out_memo, "wb").write(memo)
