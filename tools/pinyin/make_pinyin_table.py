#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes the pinyin table of the food search from resources/pinyin/ (run by the build).

    make_pinyin_table.py <characters.txt> <words.txt> <out.cpp>

characters.txt gives each character's most common reading, words.txt the readings of words
(tools/pinyin/make_pinyin_data.py makes both). Each reading is taken as a toneless syllable and
its tone; ü is written "v". The output is a C++ source with these arrays (see
foods/PinyinTable.h):

  syllables      the distinct toneless syllables, sorted, NUL-separated in one string
  readingSets    sets of readings, each a header (the count) followed by that many readings;
                 set 0 is the empty set. A reading is its syllable's number in bits 0-8, the
                 tone it is first listed in (1 to 4, 5 for the neutral tone) in bits 9-11, and
                 the other tones it is read in in bits 12-15, one bit for each of the four
                 tones other than the first, lowest first
  bmpSets        for every code point from BmpFirst to BmpLast, the offset of the set of its
                 most common reading (0: none)
  wideCodes      the characters above BmpLast that have a reading, sorted,
  wideSets       and the offset of each one's set
  wordText       the words, sorted by code point, one after another,
  wordStarts     where each begins in wordText (and where the last ends),
  wordSets       and for each character of wordText the offset of the set of its readings in
                 that word (a word read two ways gives its characters both)
"""
import sys
import unicodedata

BMP_FIRST = 0x3400
BMP_LAST = 0x9FFF

# The combining marks of the four tones; a syllable without one is in the neutral tone, 5.
TONE_MARKS = {"\u0304": 1, "\u0301": 2, "\u030c": 3, "\u0300": 4}


def split_tone(reading):
    """The reading as its toneless syllable and its tone (1 to 5)."""
    # NFD splits a toned vowel into the vowel and a combining mark; ü becomes
    # u + U+0308, which is kept as "v".
    out = []
    tone = 5
    for ch in unicodedata.normalize("NFD", reading.lower()):
        if ch == "\u0308":
            out[-1] = "v"
        elif ch in TONE_MARKS:
            tone = TONE_MARKS[ch]
        elif "a" <= ch <= "z":
            out.append(ch)
    return "".join(out), tone


def data_lines(path):
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                yield line.split("\t")


def add_reading(readings, reading):
    """Adds a reading to {syllable: [tones]}, in the order met."""
    syllable, tone = split_tone(reading)
    if syllable:
        tones = readings.setdefault(syllable, [])
        if tone not in tones:
            tones.append(tone)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    characters_path, words_path, target = sys.argv[1:]

    characters = {}
    for reading, chars in data_lines(characters_path):
        for char in chars:
            add_reading(characters.setdefault(ord(char), {}), reading)
    words = {}
    for word, reading in data_lines(words_path):
        syllables = reading.split()
        if len(syllables) != len(word):
            sys.exit("%s: %s has %d syllables for %d characters" % (words_path, word, len(syllables), len(word)))
        positions = words.setdefault(word, [{} for _ in word])
        for position, syllable in zip(positions, syllables):
            add_reading(position, syllable)

    syllables = sorted({s for rs in characters.values() for s in rs}
                       | {s for ps in words.values() for rs in ps for s in rs})
    number = {s: i for i, s in enumerate(syllables)}
    sets = [0]  # set 0: empty
    set_offset = {(0,): 0}

    def reading_entry(syllable, tones):
        first = tones[0]
        others = 0
        for tone in tones[1:]:
            others |= 1 << (tone - 1 if tone < first else tone - 2)
        return number[syllable] | first << 9 | others << 12

    def offset_of(readings):
        key = tuple(reading_entry(s, tones) for s, tones in readings.items())
        key = (len(key),) + key
        if key not in set_offset:
            set_offset[key] = len(sets)
            sets.extend(key)
        return set_offset[key]

    bmp = [0] * (BMP_LAST - BMP_FIRST + 1)
    wide = []
    for cp in sorted(characters):
        offset = offset_of(characters[cp])
        if BMP_FIRST <= cp <= BMP_LAST:
            bmp[cp - BMP_FIRST] = offset
        elif cp > BMP_LAST:
            wide.append((cp, offset))
        # Below the table (〇 and the like): read as themselves.
    word_text = []
    word_starts = []
    word_sets = []
    for word in sorted(words, key=lambda w: [ord(c) for c in w]):
        word_starts.append(len(word_text))
        word_text.extend(ord(c) for c in word)
        word_sets.extend(offset_of(position) for position in words[word])
    word_starts.append(len(word_text))
    if len(sets) > 0xFFFF:
        sys.exit("the table no longer fits 16-bit offsets")
    if len(syllables) > 0x200:
        sys.exit("the syllables no longer fit the 9 bits a reading has for them")

    def rows(values, per_line=24):
        values = list(values)
        for i in range(0, len(values), per_line):
            yield "    " + ",".join(str(v) for v in values[i:i + per_line]) + ",\n"

    with open(target, "w", encoding="utf-8", newline="\n") as out:
        out.write("// Generated by tools/pinyin/make_pinyin_table.py from resources/pinyin/. Do not edit.\n")
        out.write('#include "foods/PinyinTable.h"\n\nnamespace PinyinData {\n\n')
        out.write("const char Syllables[] =\n")
        for s in syllables:
            out.write('    "%s\\0"\n' % s)
        out.write("    ;\n")
        out.write("const int SyllableCount = %d;\n\n" % len(syllables))
        out.write("const quint16 ReadingSets[] = {\n")
        out.writelines(rows(sets))
        out.write("};\n\n")
        out.write("const char32_t BmpFirst = 0x%X;\nconst char32_t BmpLast = 0x%X;\n" % (BMP_FIRST, BMP_LAST))
        out.write("const quint16 BmpSets[] = {\n")
        out.writelines(rows(bmp, 32))
        out.write("};\n\n")
        out.write("const int WideCount = %d;\n" % len(wide))
        out.write("const char32_t WideCodes[] = {\n")
        out.writelines(rows((cp for cp, _ in wide), 12))
        out.write("};\n")
        out.write("const quint16 WideSets[] = {\n")
        out.writelines(rows((o for _, o in wide), 24))
        out.write("};\n\n")
        out.write("const int WordCount = %d;\n" % (len(word_starts) - 1))
        out.write("const char32_t WordText[] = {\n")
        out.writelines(rows(word_text, 12))
        out.write("};\n")
        out.write("const quint32 WordStarts[] = {\n")
        out.writelines(rows(word_starts, 16))
        out.write("};\n")
        out.write("const quint16 WordSets[] = {\n")
        out.writelines(rows(word_sets, 24))
        out.write("};\n\n} // namespace PinyinData\n")


if __name__ == "__main__":
    main()
