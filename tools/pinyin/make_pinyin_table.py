#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes the pinyin reading table of the food search from Unicode's Unihan data.

    make_pinyin_table.py <Unihan_Readings.txt[.bz2]> <out.cpp>

Every reading of every character in the fields kMandarin, kHanyuPinlu,
kHanyuPinyin and kXHC1983 is taken as a toneless syllable and its tone; ü is
written "v". Readings are ranked by use: the customary ones (kMandarin) first,
then the others found in a corpus of modern use (kHanyuPinlu), then the rarer
ones only dictionaries list (kHanyuPinyin, kXHC1983); a few readings of food
words that the first two miss (FOOD_READINGS) count as in common use too. A
syllable read in more
than one tone (好: hǎo, hāo, hào) is one reading with all of its tones. The
output is a C++ source with these arrays (see foods/PinyinTable.h):

  syllables      the distinct toneless syllables, sorted, NUL-separated in one string
  readingSets    sets of readings, each a header followed by that many readings; the
                 header is the count, plus 256 times how many of them (the first ones)
                 are in common use (kMandarin or kHanyuPinlu); set 0 is the empty set.
                 A reading is its syllable's number in bits 0-8, the tone it is first
                 listed in (1 to 4, 5 for the neutral tone) in bits 9-11, and the other
                 tones it is read in in bits 12-15, one bit for each of the four tones
                 other than the first, lowest first
  bmpSets        for every code point from BmpFirst to BmpLast (the common blocks),
                 the offset of its set (0: none)
  wideCodes      the characters above BmpLast that have readings, sorted,
  wideSets       and the offset of each one's set
"""
import bz2
import sys
import unicodedata

# In order of use: the customary reading, those of a corpus of modern use, the rest.
FIELDS = ("kMandarin", "kHanyuPinlu", "kHanyuPinyin", "kXHC1983")
COMMON_FIELDS = ("kMandarin", "kHanyuPinlu")
# Readings in everyday use in the names of foods (resources/foods.csv) that neither kMandarin
# nor kHanyuPinlu lists: the search would take them for rare ones (番茄 found by fanqie only
# through a rare reading of 茄). Each comes after the character's other readings in common use.
FOOD_READINGS = {
    "仔": "zǎi",   # 煲仔饭
    "佛": "fó",    # 佛手瓜
    "咖": "gā",    # 咖喱
    "扒": "pá",    # 扒鸡
    "枞": "zōng",  # 鸡枞
    "糁": "shēn",  # 玉米糁
    "肋": "lèi",   # 肋排
    "脯": "fǔ",    # 肉脯
    "芥": "gài",   # 芥蓝
    "茄": "qié",   # 茄子, 番茄
    "荠": "qí",    # 荸荠
    "葚": "shèn",  # 桑葚
    "蛤": "gé",    # 蛤蜊
    "豉": "chǐ",   # 豆豉
}
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


def readings_of(field, value):
    if field == "kMandarin":
        return value.split()
    if field == "kHanyuPinlu":
        # "dà(11596) dài(177)": each reading with its count in the corpus, most used first.
        return [entry.partition("(")[0] for entry in value.split()]
    # kHanyuPinyin: "53307.030:bó,bù,bò 53308.010:bó"; kXHC1983: "0037.090:báo 0083.040:bó"
    result = []
    for entry in value.split():
        _, _, list_ = entry.partition(":")
        result.extend(list_.split(","))
    return result


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, target = sys.argv[1], sys.argv[2]
    opener = bz2.open if source.endswith(".bz2") else open
    by_field = {}
    with opener(source, "rt", encoding="utf-8") as lines:
        for line in lines:
            if not line.startswith("U+"):
                continue
            code, field, value = line.rstrip("\n").split("\t", 2)
            if field not in FIELDS:
                continue
            cp = int(code[2:], 16)
            by_field.setdefault(cp, {})[field] = readings_of(field, value)

    # The file lists a character's fields by name; its readings go in the order of use:
    # per character, the syllables in that order, each with its tones in the order met.
    readings = {}
    common = {}
    for cp, fields in by_field.items():
        ordered = {}
        for field in FIELDS:
            for reading in fields.get(field, []):
                syllable, tone = split_tone(reading)
                if not syllable:
                    continue
                tones = ordered.setdefault(syllable, [])
                if tone not in tones:
                    tones.append(tone)
            if field == COMMON_FIELDS[-1]:
                if chr(cp) in FOOD_READINGS:
                    syllable, tone = split_tone(FOOD_READINGS[chr(cp)])
                    tones = ordered.setdefault(syllable, [])
                    if tone not in tones:
                        tones.append(tone)
                common[cp] = len(ordered)
        if ordered:
            readings[cp] = ordered

    syllables = sorted({s for rs in readings.values() for s in rs})
    number = {s: i for i, s in enumerate(syllables)}
    sets = [0]  # set 0: empty
    set_offset = {(0,): 0}

    def reading_entry(syllable, tones):
        first = tones[0]
        others = 0
        for tone in tones[1:]:
            others |= 1 << (tone - 1 if tone < first else tone - 2)
        return number[syllable] | first << 9 | others << 12

    def offset_of(rs, common_count):
        key = tuple(reading_entry(s, tones) for s, tones in rs.items())
        key = (len(key) + 256 * common_count,) + key
        if key not in set_offset:
            set_offset[key] = len(sets)
            sets.extend(key)
        return set_offset[key]

    bmp = [0] * (BMP_LAST - BMP_FIRST + 1)
    wide = []
    for cp in sorted(readings):
        offset = offset_of(readings[cp], common[cp])
        if BMP_FIRST <= cp <= BMP_LAST:
            bmp[cp - BMP_FIRST] = offset
        elif cp > BMP_LAST:
            wide.append((cp, offset))
        else:
            sys.exit("unexpected code point U+%04X below the table" % cp)
    if any(len(rs) > 0xFF for rs in readings.values()):
        sys.exit("a character has more readings than the set's header can count")
    if len(sets) > 0xFFFF:
        sys.exit("the table no longer fits 16-bit offsets")
    if len(syllables) > 0x200:
        sys.exit("the syllables no longer fit the 9 bits a reading has for them")

    def rows(values, per_line=24):
        values = list(values)
        for i in range(0, len(values), per_line):
            yield "    " + ",".join(str(v) for v in values[i:i + per_line]) + ",\n"

    with open(target, "w", encoding="utf-8", newline="\n") as out:
        out.write("// Generated by tools/pinyin/make_pinyin_table.py from Unihan_Readings.txt. Do not edit.\n")
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
        out.write("};\n\n} // namespace PinyinData\n")


if __name__ == "__main__":
    main()
