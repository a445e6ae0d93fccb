#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the first inputs of the fuzz target's corpus (bench/fuzz/corpus).

The target reads its choices with libFuzzer's FuzzedDataProvider, which takes
integers and booleans from the end of the input backwards. Each seed below is
written as the list of choices the target makes, in order, and turned into
the bytes that make the provider return them. The seeds are the runs that
once took the memory of the machine: Format with a delimiter series whose
passes multiply the line (spaces after every section, a space among the
series' characters, a text added to every section), and the column layout
with wide rows.

    python3 bench/fuzz/make_seeds.py bench/fuzz/corpus
"""
import sys
from pathlib import Path

ALPHABET = ['a', 'b', ' ', '\r', '\n', ',', ';', 'x', '\u00e9', '\ud83d', '\ude00', '"', '|', '\t']


class Choices:
    """The bytes a FuzzedDataProvider consumes, in the order it consumes them."""

    def __init__(self):
        self.consumed = []

    def integer(self, value, low, high):
        span = high - low
        width = 0
        while width < 64 and (span >> width) > 0:
            width += 8
        raw = value - low
        # The provider builds the number from the first byte it takes
        # (the most significant) on, then takes it modulo span + 1.
        for shift in range(width - 8, -8, -8):
            self.consumed.append((raw >> shift) & 0xFF)

    def boolean(self, value):
        self.consumed.append(1 if value else 0)

    def text(self, chars, most):
        self.integer(len(chars), 0, most)
        for c in chars:
            self.integer(ALPHABET.index(c), 0, len(ALPHABET) - 1)

    def pick(self, entries, choice):
        """pick(): a listed entry by index, or (choice not listed) a short text."""
        if choice in entries:
            self.boolean(False)
            self.integer(entries.index(choice), 0, len(entries) - 1)
        else:
            self.boolean(True)
            self.text(choice, 4)

    def data(self):
        return bytes(reversed(self.consumed))


def format_seed(text, create, delimiter, between, add='Omit text', typed='', spaces=1,
                options='Omit spaces', remove=False, move='No', from_col=1, chars=1):
    c = Choices()
    c.integer(4, 0, 8)
    c.text(text, 256)
    c.pick(['New line', 'New column'], create)
    c.boolean(remove)
    c.pick([',', ';,', '  ', ' ; '], delimiter)
    c.boolean(False)          # formatUseDelimiterString
    c.text('', 3)             # formatDelimiterString
    c.pick(['Yes', 'No'], move)
    c.integer(between, 0, 999)
    c.pick(['Start of line', 'End of line', 'Start of column', 'End of column', 'Omit text'], add)
    c.text(typed, 3)
    c.integer(from_col, 0, 999)
    c.integer(chars, 0, 999)
    c.pick(['Yes', 'No'], 'Yes')
    c.pick(['Add spaces', 'Omit spaces'], options)
    c.pick(['Both sides', 'Left side', 'Right side'], 'Both sides')
    c.integer(spaces, 0, 999)
    c.integer(len(text), 0, len(text))  # where the piecewise run cuts
    return c.data()


def tabwrite_seed(text, rows, start):
    c = Choices()
    c.integer(8, 0, 8)
    c.text(text, 256)
    c.integer(len(rows), 0, 5)
    for heading, cells in rows:
        c.text(heading, 5)
        for cell in cells:
            if cell is None:
                c.boolean(True)
            else:
                c.boolean(False)
                c.integer(cell, -5, 999)
    c.integer(start, 0, 999)
    return c.data()


SEEDS = {
    # Each space of pass 1 is a delimiter of pass 2 and of pass 3: a line of
    # one character would become about 10^9 characters.
    'format-series-spaces-refused': format_seed(';', 'New column', ';  ;', 999),
    # Two passes: about a million characters, built and compared.
    'format-series-spaces-built': format_seed('a;b x', 'New column', '; ;', 999),
    # The text added to every section holds the next pass's delimiter.
    'format-series-added-text': format_seed('a,b;x', 'New column', ',;,;', 999, add='End of column',
                                            typed=';,', spaces=999, options='Add spaces'),
    # Text copied from each pass's own columns, moved delimiters.
    'format-series-copied': format_seed('x;a b;\ud83d\ude00', 'New column', '; ', 3, add='Start of column',
                                        move='Yes', from_col=2, chars=3),
    # A surrogate pair as a series character, and a lone half of one.
    'format-series-pairs': format_seed('a\ud83d\ude00b\ud83d;\ude00', 'New column', '\ud83d\ude00;', 2),
    'format-series-lone-half': format_seed('a\ud83d\ude00b\ud83d;\ude00\ud83d', 'New column', '\ud83d;', 1),
    # New line with a series and a space delimiter.
    'format-series-lines': format_seed('a;b,x;a,', 'New line', ';,', 0, add='End of line', typed='x'),
    'format-space-delimiter': format_seed('a   b  x', 'New column', '  ', 999, remove=True),
    # Rows wide enough to reach the limit together.
    'tabwrite-wide-rows': tabwrite_seed('abx\r\nbax', [('a', [1, 3, 999, 999]), ('b', [2, 999, 999, 1])] * 2, 999),
}


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent / 'corpus')
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in SEEDS.items():
        (folder / name).write_bytes(data)


if __name__ == '__main__':
    main()
