#!/usr/bin/env python3
"""An LZHUF packer written from the format's description, independent of the client's decoder
and of the C++ packer in tools/host, so that the decoder is tested on a stream that its own
code did not make. Python 3 standard library only.

    tools/lzhuf_pack.py

writes tests/data/lzhuf_plain.bin (a reproducible plain text) and tests/data/lzhuf_packed.bin
(its skin stream: the 32-bit little-endian plain size, then the LZHUF bits), and prints how
many symbols it coded and how often the adaptive tree was rebuilt.

The format: LZSS over a 4096-byte ring whose first 4036 bytes start as spaces, the first write
at position 4036; matches of 3 to 60 bytes. Symbols 0 to 255 are bytes, 256 to 313 match
lengths 3 to 60, coded by an adaptive Huffman tree of 627 nodes (root 626) that is rebuilt
with halved leaf counts whenever the root's count has reached 0x8000. A match's distance back
from the write position, less one (0 to 4095), follows its length: its upper 6 bits by a
fixed prefix code of 3 to 8 bits, its lower 6 bits plain. Bits go out most significant first;
the last byte is filled up with zero bits.
"""
import os
import random
import struct
import sys

RING = 4096
LONGEST = 60
SHORTEST = 3
PREFILL = RING - LONGEST          # ring bytes that start as spaces; the first write goes here
SYMBOLS = 256 + LONGEST - SHORTEST + 1
NODES = 2 * SYMBOLS - 1
ROOT = NODES - 1
COUNT_LIMIT = 0x8000


class AdaptiveTree:
    """The coder's Huffman tree. Node positions are ordered by count (the sentinel after the
    last keeps searches in bounds); son[n] is the first of n's two children, which stand side
    by side, or a leaf's symbol + NODES."""

    def __init__(self):
        self.count = [0] * (NODES + 1)
        self.son = [0] * NODES
        self.parent = [0] * (NODES + SYMBOLS)
        for symbol in range(SYMBOLS):
            self.count[symbol] = 1
            self.son[symbol] = symbol + NODES
        for node in range(SYMBOLS, NODES):
            first = 2 * (node - SYMBOLS)
            self.count[node] = self.count[first] + self.count[first + 1]
            self.son[node] = first
        self.count[NODES] = 0xFFFF
        for node in range(NODES):
            self.adopt(node)
        self.parent[ROOT] = 0
        self.rebuilds = 0

    def adopt(self, node):
        child = self.son[node]
        self.parent[child] = node
        if child < NODES:
            self.parent[child + 1] = node

    def path(self, symbol):
        """The bits that lead from the root to the symbol's leaf, root first."""
        bits = []
        node = self.parent[symbol + NODES]
        while node != ROOT:
            up = self.parent[node]
            bits.append(node - self.son[up])
            node = up
        return bits[::-1]

    def count_symbol(self, symbol):
        if self.count[ROOT] == COUNT_LIMIT:
            self.rebuild()
        node = self.parent[symbol + NODES]
        while True:
            self.count[node] += 1
            # The counts must stay in order: a node that now outweighs the nodes after it
            # trades places with the last of them, taking its subtree along.
            last = node
            while self.count[last + 1] < self.count[node]:
                last += 1
            if last != node:
                self.count[node], self.count[last] = self.count[last], self.count[node]
                self.son[node], self.son[last] = self.son[last], self.son[node]
                self.adopt(node)
                self.adopt(last)
                node = last
            if node == ROOT:
                return
            node = self.parent[node]

    def rebuild(self):
        self.rebuilds += 1
        # The leaves, in their order, with halved counts; then each pair of neighbours from
        # the front gets a parent, placed after the last node whose count is not above its own.
        count = [(self.count[n] + 1) // 2 for n in range(NODES) if self.son[n] >= NODES]
        son = [self.son[n] for n in range(NODES) if self.son[n] >= NODES]
        first = 0
        while len(count) < NODES:
            total = count[first] + count[first + 1]
            at = len(count)
            while count[at - 1] > total:
                at -= 1
            count.insert(at, total)
            son.insert(at, first)
            first += 2
        self.count[:NODES] = count
        self.son = son
        for node in range(NODES):
            self.adopt(node)


def distance_codes():
    """The prefix code of each upper 6 bits of a distance, from the decoding tables: a byte b
    read from the stream names its upper bits code[b] and its code length len[b]."""
    lengths, uppers = [], []
    upper = 0
    for bits, values, per_value in ((3, 1, 32), (4, 3, 16), (5, 8, 8), (6, 12, 4), (7, 24, 2), (8, 16, 1)):
        for _ in range(values):
            lengths += [bits] * per_value
            uppers += [upper] * per_value
            upper += 1
    assert len(lengths) == len(uppers) == 256 and upper == 64
    codes = {}
    for byte in range(256):
        if uppers[byte] not in codes:
            bits = lengths[byte]
            codes[uppers[byte]] = (byte >> (8 - bits), bits)
    return codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.value = 0
        self.bits = 0

    def put(self, value, bits):
        for shift in range(bits - 1, -1, -1):
            self.value = self.value << 1 | (value >> shift) & 1
            self.bits += 1
            if self.bits == 8:
                self.out.append(self.value)
                self.value = self.bits = 0

    def finish(self):
        if self.bits:
            self.out.append(self.value << (8 - self.bits))
        return bytes(self.out)


def pack(plain):
    """The skin stream of plain, and the tree (for its statistics)."""
    tree = AdaptiveTree()
    codes = distance_codes()
    writer = BitWriter()

    def put_symbol(symbol):
        for bit in tree.path(symbol):
            writer.put(bit, 1)
        tree.count_symbol(symbol)

    # Greedy longest matches; the text starts with the ring's spaces, so they can be matched.
    text = b" " * PREFILL + plain
    chains = {}
    def remember(at):
        if at + SHORTEST <= len(text):
            chains.setdefault(text[at:at + SHORTEST], []).append(at)
    for at in range(PREFILL):
        remember(at)
    at = PREFILL
    symbols = 0
    while at < len(text):
        longest = min(LONGEST, len(text) - at)
        best, best_from = 0, 0
        for start in reversed(chains.get(text[at:at + SHORTEST], [])[-64:]):
            if at - start > RING:
                break
            n = 0
            while n < longest and text[start + n] == text[at + n]:
                n += 1
            if n > best:
                best, best_from = n, start
                if n == longest:
                    break
        symbols += 1
        if best >= SHORTEST:
            put_symbol(256 + best - SHORTEST)
            distance = at - best_from - 1
            code, bits = codes[distance >> 6]
            writer.put(code, bits)
            writer.put(distance & 0x3F, 6)
        else:
            best = 1
            put_symbol(text[at])
        for k in range(best):
            remember(at + k)
        at += best
    return struct.pack("<I", len(plain)) + writer.finish(), tree, symbols


def plain_text():
    """About 80 KB: mostly bytes of every value with a skewed frequency (so that the tree keeps
    reordering and codes most symbols as bytes), copies of earlier text at every distance and
    length, overlapping ones among them, and spaces at the start that match the ring's."""
    rnd = random.Random(20000)
    out = bytearray(b" " * 70 + b"lexdrill")
    while len(out) < 80000:
        if rnd.random() < 0.9:
            for _ in range(rnd.randint(1, 40)):
                out.append(min(255, int(rnd.expovariate(1 / 24))) if rnd.random() < 0.9 else rnd.randrange(256))
        else:
            distance = rnd.randint(1, min(RING, len(out)))
            for _ in range(rnd.randint(SHORTEST, LONGEST)):
                out.append(out[-distance])
    return bytes(out)


def main():
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data")
    plain = plain_text()
    stream, tree, symbols = pack(plain)
    if tree.rebuilds < 3 or set(plain) != set(range(256)):
        sys.exit("lzhuf_pack.py: the text no longer rebuilds the tree three times or lacks byte values")
    with open(os.path.join(data, "lzhuf_plain.bin"), "wb") as f:
        f.write(plain)
    with open(os.path.join(data, "lzhuf_packed.bin"), "wb") as f:
        f.write(stream)
    print(f"{len(plain)} bytes, {symbols} symbols, {tree.rebuilds} tree rebuilds, {len(stream)} bytes packed")


if __name__ == "__main__":
    main()
