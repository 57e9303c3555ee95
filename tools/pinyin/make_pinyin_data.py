#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes the search's pinyin data (resources/pinyin/) from the dictionaries of pinyin-pro.

    make_pinyin_data.py <pinyin-pro-3.29.4.tgz> <pinyin-pro-data-1.3.1.tgz> <resources folder>

The two files are the npm packages as `npm pack pinyin-pro@3.29.4 @pinyin-pro/data@1.3.1`
fetches them; the tool reads them as they are, with no network. It writes:

  pinyin/characters.txt  each character's most common reading: the reading of the single
                         character in @pinyin-pro/data's dictionary of modern use where it has
                         one (chosen there by how often it is used), else the first reading of
                         pinyin-pro's character dictionary
  pinyin/words.txt       the readings of the words (two characters or more) that the names of
                         foods.csv and activities.csv (names, other names, categories) contain,
                         from pinyin-pro's word dictionaries and @pinyin-pro/data's dictionary
                         of modern use, a word read differently in the two with both readings;
                         then the words of pinyin-pro's word dictionaries that some character is
                         read in other than its most common reading, so that the user's own
                         foods are read as well (芥末, 薄饼 …); then FOOD_WORDS

The search reads a name word by word (foods/PinyinTable): its characters take the readings of
the words the dictionary has, and the others their most common reading. Run it again when the
names in foods.csv or activities.csv change; tests/foods checks that the words of every shipped
name are in words.txt.
"""
import csv
import io
import json
import os
import re
import sys
import tarfile
import unicodedata

# Food words that neither dictionary has, in the reading in everyday use.
FOOD_WORDS = {
    "扒鸡": "pá jī",
    "肉脯": "ròu fǔ",
    "芥蓝": "gài lán",
    "芥兰": "gài lán",
    "鸡枞": "jī zōng",
    "鳜鱼": "guì yú",
}

PINYIN_PRO = "pinyin-pro 3.29.4 (MIT licence, © zh-lx): dist/esm/data/dict1.mjs … dict4.mjs"
PINYIN_PRO_DATA = "@pinyin-pro/data 1.3.1 (ISC licence): json/modern.json"


def member(archive, name):
    with tarfile.open(archive, "r:gz") as tar:
        return tar.extractfile(name).read().decode("utf-8")


def character_dictionary(source):
    """pinyin-pro's dict1.mjs: { 'reading reading': ['字', …], … } as {字: [readings]}."""
    body = source[source.index("const map = {"):]
    body = body[:body.index("\n};")]
    readings = {}
    for quoted, bare, chars in re.findall(r"(?:'([^']+)'|([^\s:'\[\]{},]+)):\s*\[(.*?)\]", body, re.S):
        for char in re.findall(r"'([^']+)'", chars):
            readings[char] = (quoted or bare).split()
    return readings


def word_dictionary(source):
    """pinyin-pro's dict2.mjs … dict4.mjs: {词: 'reading reading'}."""
    words = {}
    for word, reading in re.findall(r"^\s+['\"]?([^'\":\s]+)['\"]?:\s*['\"]([^'\"]+)['\"],?\s*$", source, re.M):
        words[word] = reading
    return words


def toneless(reading):
    return "".join(c for c in unicodedata.normalize("NFD", reading) if c == "\u0308" or not unicodedata.combining(c))


def shipped_names(resources):
    names = set()
    for file in ("foods.csv", "activities.csv"):
        with open(os.path.join(resources, file), encoding="utf-8", newline="") as f:
            for row in csv.DictReader(f):
                names.add(row["name"])
                names.add(row["category"])
                names.update(a for a in row.get("aliases", "").split("、") if a)
    return names


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    pro, data, resources = sys.argv[1:]
    chars = character_dictionary(member(pro, "package/dist/esm/data/dict1.mjs"))
    pro_words = {}
    for n in (2, 3, 4):
        pro_words.update(word_dictionary(member(pro, "package/dist/esm/data/dict%d.mjs" % n)))
    modern = {word: value[0] for word, value in json.loads(member(data, "package/json/modern.json")).items()}

    # Each character's most common reading.
    common = {}
    for char, readings in chars.items():
        if len(char) == 1 or (len(char) == 2 and "\ud800" <= char[0] <= "\udbff"):
            common[char] = modern[char] if char in modern and len(modern[char].split()) == 1 else readings[0]

    # The words: in the shipped names, then those read otherwise than their characters.
    def readings_of(word):
        found = []
        for reading in (pro_words.get(word), modern.get(word), FOOD_WORDS.get(word)):
            if reading and len(reading.split()) == len(word) and reading not in found:
                found.append(reading)
        return found

    names = shipped_names(resources)
    words = {}
    for name in sorted(names):
        for start in range(len(name)):
            for end in range(start + 2, min(len(name), start + 8) + 1):
                word = name[start:end]
                if word not in words and readings_of(word):
                    words[word] = readings_of(word)
    for word, reading in sorted(pro_words.items()):
        if word in words or len(reading.split()) != len(word):
            continue
        if any(toneless(r) != toneless(common.get(c, r)) for c, r in zip(word, reading.split())):
            words[word] = readings_of(word)
    for word in FOOD_WORDS:
        words[word] = readings_of(word)

    folder = os.path.join(resources, "pinyin")
    os.makedirs(folder, exist_ok=True)
    header = ("# Made by tools/pinyin/make_pinyin_data.py from\n#   %s\n#   %s\n"
              "# (resources/pinyin/README.md). Do not edit; run the tool again.\n" % (PINYIN_PRO, PINYIN_PRO_DATA))
    by_reading = {}
    for char, reading in common.items():
        by_reading.setdefault(reading, []).append(char)
    with open(os.path.join(folder, "characters.txt"), "w", encoding="utf-8", newline="\n") as out:
        out.write(header)
        out.write("# Each line: a reading, a tab, the characters whose most common reading it is.\n")
        for reading in sorted(by_reading):
            out.write("%s\t%s\n" % (reading, "".join(sorted(by_reading[reading]))))
    with open(os.path.join(folder, "words.txt"), "w", encoding="utf-8", newline="\n") as out:
        out.write(header)
        out.write("# Each line: a word, a tab, its reading, one syllable a character; a word read two ways\n"
                  "# has two lines.\n")
        for word in sorted(words):
            for reading in words[word]:
                out.write("%s\t%s\n" % (word, reading))
    print("%d characters, %d words" % (len(common), len(words)))


if __name__ == "__main__":
    main()
