// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodSearchIndex.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <utility>

namespace {

// Longer queries than this are matched as plain text only: the pinyin match
// keeps the positions it has reached in the query as bits of one 64-bit word.
constexpr size_t MaxPinyinQuery = 63;

// The bit a unit sets in a text's masks: one per Latin letter, the rest of
// the characters spread over the remaining bits.
quint64 maskBit(char32_t unit)
{
    if (unit >= U'a' && unit <= U'z')
        return quint64(1) << (unit - U'a');
    return quint64(1) << (26 + unit % 38);
}

char32_t normalizedUnit(char32_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width ASCII, as some inputs type it
        c -= 0xFF01 - 0x21;
    if (c >= U'A' && c <= U'Z')
        return c + (U'a' - U'A');
    if (c == 0xFC || c == 0xDC) // ü, Ü
        return U'v';
    return c;
}

bool isSpace(char32_t c)
{
    return c == 0x3000 || QChar::isSpace(c);
}

// A Latin vowel with a tone mark as the bare vowel (ü with one as "v"): pinyin typed with its
// tones (jī dàn, nǚ, lǜ) reads as without.
char32_t withoutToneMark(char32_t c)
{
    if (c < 0xC0 || c > 0x1FF)
        return c;
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D);
    if (decomposed.size() < 2 || decomposed.at(0).unicode() > 0x7F)
        return c;
    const char32_t base = decomposed.at(0).unicode();
    if ((base == U'u' || base == U'U') && decomposed.contains(QChar(0x0308)))
        return U'v';
    return base;
}

// The tone a mark on a Latin vowel gives (ā 1, á 2, ǎ 3, à 4, ǘ 2), or 0.
int toneOfMark(char32_t c)
{
    if (c < 0xC0 || c > 0x1FF)
        return 0;
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D);
    for (const QChar mark : decomposed) {
        switch (mark.unicode()) {
        case 0x0304: return 1;
        case 0x0301: return 2;
        case 0x030C: return 3;
        case 0x0300: return 4;
        default: break;
        }
    }
    return 0;
}

bool isToneNumber(char32_t c)
{
    return c >= U'1' && c <= U'5';
}

bool isLatinLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

// How many characters of `query` from `from` on spell the beginning of the
// syllable; a syllable's ü ("v") is matched by v or u.
int commonPrefix(QLatin1StringView syllable, const std::u32string &query, size_t from)
{
    const size_t most = std::min(size_t(syllable.size()), query.size() - from);
    size_t n = 0;
    while (n < most) {
        const char32_t typed = query[from + n];
        const char letter = syllable[qsizetype(n)].toLatin1();
        if (typed != char32_t(letter) && !(letter == 'v' && typed == U'u'))
            break;
        ++n;
    }
    return int(n);
}

int commonPrefix(const std::string &syllable, const std::u32string &query, size_t from)
{
    return commonPrefix(QLatin1StringView(syllable.data(), qsizetype(syllable.size())), query, from);
}

// The syllables a fuzzy sound takes `syllable` for: its initial and its final each swapped by
// the pairs of 模糊音, alone or together; not the syllable itself.
std::vector<std::string> fuzzyVariants(const std::string &syllable)
{
    static const std::pair<const char *, const char *> initials[] = {
        {"zh", "z"}, {"ch", "c"}, {"sh", "s"}, {"n", "l"}, {"h", "f"}, {"r", "l"}};
    static const std::pair<const char *, const char *> finals[] = {
        {"ang", "an"}, {"eng", "en"}, {"ing", "in"}};
    const auto startsWith = [](const std::string &text, const std::string &start) {
        return text.compare(0, start.size(), start) == 0;
    };
    const auto endsWith = [](const std::string &text, const std::string &end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    // The initial: the longest of the pairs' spellings the syllable begins with.
    std::vector<std::string> starts = {syllable};
    for (const auto &[a, b] : initials) {
        for (const auto &[from, to] : {std::pair<std::string, std::string>(a, b), std::pair<std::string, std::string>(b, a)}) {
            if (!startsWith(syllable, from))
                continue;
            // "z" must not take "zh…" for one of its own: zh is matched as zh.
            if (from.size() == 1 && syllable.size() > 1 && syllable[1] == 'h' && (from == "z" || from == "c" || from == "s"))
                continue;
            starts.push_back(to + syllable.substr(from.size()));
        }
    }
    std::vector<std::string> variants;
    for (const std::string &start : starts) {
        std::vector<std::string> ends = {start};
        for (const auto &[longer, shorter] : finals) {
            if (endsWith(start, longer))
                ends.push_back(start.substr(0, start.size() - 1));
            else if (endsWith(start, shorter))
                ends.push_back(start + "g");
        }
        for (const std::string &variant : ends)
            if (variant != syllable && std::find(variants.begin(), variants.end(), variant) == variants.end())
                variants.push_back(variant);
    }
    return variants;
}

} // namespace

struct FoodSearchIndex::Query
{
    std::u32string units;
    quint64 letters = 0;
    quint64 first = 0;
    quint64 done = 0; // the bit of the position after the last unit
    // The typed tones: per tone (1 to 5, at tone - 1) the positions of the letters that carry it.
    std::array<quint64, PinyinTable::NeutralTone> toneAt{};
    quint64 toned = 0; // all of those
    // Per set of tones a reading has (as PinyinTable::Readings::tones gives them): the toned
    // positions that reading is not said there in. Empty without tones.
    std::vector<quint64> wrongTone;
};

FoodSearchIndex::FoodSearchIndex() = default;

FoodSearchIndex::FoodSearchIndex(QVector<SearchableFood> foods)
{
    // The tree's order of names: pinyin for Chinese, numbers by value; names
    // the collator sees as equal in code point order, then as given.
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    collator.setNumericMode(true);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(foods.size()));
    for (const SearchableFood &food : foods)
        keys.push_back(collator.sortKey(food.name));
    std::vector<int> order(size_t(foods.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int byCollator = keys[size_t(a)].compare(keys[size_t(b)]);
        return byCollator != 0 ? byCollator < 0 : foods[a].name < foods[b].name;
    });

    m_fuzzySyllables.reserve(size_t(m_pinyin.syllableCount()));
    for (int number = 0; number < m_pinyin.syllableCount(); ++number) {
        const QLatin1StringView syllable = m_pinyin.syllable(number);
        m_fuzzySyllables.push_back(fuzzyVariants(std::string(syllable.data(), size_t(syllable.size()))));
    }

    m_foods.reserve(foods.size());
    for (int index : order)
        m_foods.append(std::move(foods[index]));
    for (const SearchableFood &food : std::as_const(m_foods)) {
        if (!food.category.isEmpty() && !m_categories.contains(food.category)) {
            if (std::optional<Text> entry = makeText(food.category, quint32(m_categories.size()), -1)) {
                m_categoryTexts.push_back(*entry);
                m_categories.append(food.category);
            }
        }
    }
    m_common.reserve(size_t(m_foods.size()));
    for (int food = 0; food < m_foods.size(); ++food) {
        m_common.push_back(m_foods[food].common);
        if (!m_foodByName.contains(m_foods[food].name))
            m_foodByName.insert(m_foods[food].name, food);
    }
    for (int food = 0; food < m_foods.size(); ++food) {
        addText(m_foods[food].name, quint32(food), -1);
        const QStringList &aliases = m_foods[food].aliases;
        for (int alias = 0; alias < aliases.size(); ++alias)
            addText(aliases[alias], quint32(food), alias);
    }
}

std::u32string FoodSearchIndex::normalized(const QString &text)
{
    std::u32string units;
    units.reserve(size_t(text.size()));
    for (char32_t c : text.toUcs4()) {
        if (!isSpace(c))
            units.push_back(normalizedUnit(withoutToneMark(c)));
    }
    return units;
}

FoodSearchIndex::Query FoodSearchIndex::readQuery(const QString &text)
{
    std::u32string units;
    units.reserve(size_t(text.size()));
    std::vector<TypedTone> tones;
    for (char32_t c : text.toUcs4()) {
        if (isSpace(c))
            continue;
        // A tone mark (jī dàn, nǚ): the tone of the syllable that letter is in.
        if (const int tone = toneOfMark(c))
            tones.push_back({units.size(), tone});
        units.push_back(normalizedUnit(withoutToneMark(c)));
    }
    // Tone numbers after pinyin (ji1dan4, lv4dou4): a digit 1 to 5 right after a letter, in a
    // query of Latin letters and such digits only that ends in one, so that a name with a number
    // in it ("维生素B12" typed as "b12") is still found as typed.
    const bool pinyinOnly = std::all_of(units.begin(), units.end(), [](char32_t c) {
        return isLatinLetter(c) || isToneNumber(c);
    });
    const bool hasToneNumbers = pinyinOnly && units.size() > 1 && isToneNumber(units.back())
        && isLatinLetter(units[units.size() - 2]);
    if (!hasToneNumbers)
        return makeQuery(std::move(units), tones);
    std::u32string toneless;
    std::vector<TypedTone> tonelessTones;
    auto mark = tones.cbegin();
    for (size_t i = 0; i < units.size(); ++i) {
        for (; mark != tones.cend() && mark->position == i; ++mark)
            tonelessTones.push_back({toneless.size(), mark->tone});
        if (isToneNumber(units[i]) && i > 0 && isLatinLetter(units[i - 1]))
            tonelessTones.push_back({toneless.size() - 1, int(units[i] - U'0')}); // its syllable's last letter
        else
            toneless.push_back(units[i]);
    }
    return makeQuery(std::move(toneless), tonelessTones);
}

void FoodSearchIndex::addText(const QString &text, quint32 food, qint32 alias)
{
    if (std::optional<Text> entry = makeText(text, food, alias))
        m_texts.push_back(*entry);
}

std::optional<FoodSearchIndex::Text> FoodSearchIndex::makeText(const QString &text, quint32 food, qint32 alias)
{
    const std::u32string units = normalized(text);
    if (units.empty())
        return std::nullopt;
    Text entry;
    entry.first = quint32(m_units.size());
    entry.length = quint32(units.size());
    entry.food = food;
    entry.alias = alias;
    const std::vector<quint16> sets = m_pinyin.readText(units);
    for (size_t at = 0; at < units.size(); ++at) {
        const char32_t unit = units[at];
        const PinyinTable::Readings readings = PinyinTable::readingsAt(sets[at]);
        m_units.push_back(unit);
        m_unitReadings.push_back(sets[at]);
        entry.letters |= maskBit(unit);
        entry.starts |= maskBit(unit);
        for (int i = 0; i < readings.count; ++i) {
            const QLatin1StringView syllable = m_pinyin.syllable(readings.syllable(i));
            entry.starts |= maskBit(char32_t(syllable.front().toLatin1()));
            for (char letter : syllable) {
                entry.letters |= maskBit(char32_t(letter));
                if (letter == 'v')
                    entry.letters |= maskBit(U'u');
            }
            // What the fuzzy sounds may type for it: l for n, f for h, the g of ang …
            for (const std::string &variant : m_fuzzySyllables[size_t(readings.syllable(i))]) {
                entry.starts |= maskBit(char32_t(variant.front()));
                for (char letter : variant)
                    entry.letters |= maskBit(char32_t(letter));
            }
        }
    }
    return entry;
}

// How many of the query's letters from `at` on a reading said in `tones` may take with the
// typed tones kept: up to the first toned letter it is not said in there.
int FoodSearchIndex::lettersInTone(const Query &query, int at, int tones)
{
    const quint64 wrong = query.wrongTone[size_t(tones)] >> at;
    return wrong ? qCountTrailingZeroBits(wrong) : int(MaxPinyinQuery) + 1;
}

// The positions in the query reachable after one more unit of the text, from
// the positions in `reach`: the unit taken as itself, or as the beginning
// (one letter or more) of one of its readings.
quint64 FoodSearchIndex::step(quint64 reach, quint32 unit, const Query &query, MatchMode mode) const
{
    const char32_t character = m_units[unit];
    const PinyinTable::Readings readings = PinyinTable::readingsAt(m_unitReadings[unit]);
    const int readingCount = readings.count;
    // With the tones: a toned letter is taken only through a reading in its tone.
    const quint64 toned = mode.tones ? query.toned : 0;
    quint64 next = 0;
    while (reach) {
        const int at = qCountTrailingZeroBits(reach);
        reach &= reach - 1;
        if (size_t(at) >= query.units.size())
            continue;
        if (query.units[size_t(at)] == character && !(toned & (quint64(1) << at)))
            next |= quint64(1) << (at + 1);
        int inTone = 0; // letters the reading may take with the tones kept
        const auto reachBy = [&](int spelled, qsizetype length) {
            if (mode.wholeSyllables) {
                // Only the whole syllable reaches a position.
                if (spelled == length && spelled <= inTone)
                    next |= quint64(1) << (at + spelled);
            } else {
                // Every length from one letter to `spelled` reaches a position.
                next |= ((quint64(1) << std::min(spelled, inTone)) - 1) << (at + 1);
            }
        };
        for (int i = 0; i < readingCount; ++i) {
            inTone = toned ? lettersInTone(query, at, readings.tones(i)) : int(MaxPinyinQuery) + 1;
            const int number = readings.syllable(i);
            const QLatin1StringView syllable = m_pinyin.syllable(number);
            reachBy(commonPrefix(syllable, query.units, size_t(at)), syllable.size());
            if (!mode.fuzzy)
                continue;
            for (const std::string &variant : m_fuzzySyllables[size_t(number)])
                reachBy(commonPrefix(variant, query.units, size_t(at)), qsizetype(variant.size()));
        }
    }
    return next;
}

// The best rank the text gets, or -1. Without `wantContains` a match that
// does not begin at the text's first character is not looked for.
int FoodSearchIndex::bestRank(const Text &text, const Query &query, bool wantContains, MatchMode mode) const
{
    const quint32 end = text.first + text.length;
    if (query.units.size() > MaxPinyinQuery) {
        const auto begin = m_units.begin() + text.first;
        const auto found = std::search(begin, m_units.begin() + end, query.units.begin(), query.units.end());
        if (found == begin)
            return int(query.units.size() == text.length ? SearchRank::Exact : SearchRank::Prefix);
        if (found != m_units.begin() + end && wantContains)
            return int(SearchRank::Contains);
        return -1;
    }

    // From the first character: the whole text, or its beginning.
    quint64 reach = 1;
    bool begins = false;
    for (quint32 unit = text.first; unit < end && reach; ++unit) {
        reach = step(reach, unit, query, mode);
        if (reach & query.done) {
            if (unit + 1 == end)
                return int(SearchRank::Exact);
            begins = true;
            reach &= ~query.done;
        }
    }
    if (begins)
        return int(SearchRank::Prefix);
    if (!wantContains)
        return -1;

    // From any later character on.
    reach = 0;
    for (quint32 unit = text.first + 1; unit < end; ++unit) {
        reach = step(reach | 1, unit, query, mode);
        if (reach & query.done)
            return int(SearchRank::Contains);
    }
    return -1;
}

// The ways a query is read against a name, best first: whole syllables, then initials and
// syllable beginnings; then both again with the fuzzy sounds. A name is ranked by the first way
// it matches in.
const FoodSearchIndex::MatchMode FoodSearchIndex::MatchModes[MatchTiers] = {
    {true, false}, {false, false},
    // The same again with the fuzzy sounds, below every match without them.
    {true, true}, {false, true}};

QVector<FoodSearchHit> FoodSearchIndex::search(const QString &text, int limit) const
{
    return search(text, limit, Options());
}

FoodSearchIndex::Query FoodSearchIndex::makeQuery(std::u32string units, const std::vector<TypedTone> &tones)
{
    Query query;
    query.units = std::move(units);
    for (char32_t unit : query.units)
        query.letters |= maskBit(unit);
    query.first = query.units.empty() ? 0 : maskBit(query.units.front());
    query.done = query.units.size() > MaxPinyinQuery ? 0 : quint64(1) << query.units.size();
    if (tones.empty() || query.units.size() > MaxPinyinQuery)
        return query; // a plain-text query has no tones
    for (const TypedTone &typed : tones) {
        query.toneAt[size_t(typed.tone - 1)] |= quint64(1) << typed.position;
        query.toned |= quint64(1) << typed.position;
    }
    constexpr int ToneSets = 1 << PinyinTable::NeutralTone;
    query.wrongTone.resize(ToneSets);
    for (int set = 0; set < ToneSets; ++set) {
        quint64 right = 0;
        for (int tone = 0; tone < PinyinTable::NeutralTone; ++tone) {
            if (set & (1 << tone))
                right |= query.toneAt[size_t(tone)];
        }
        query.wrongTone[size_t(set)] = query.toned & ~right;
    }
    return query;
}

QVector<int> FoodSearchIndex::foodsNamed(const QStringList &names) const
{
    QVector<int> found;
    for (const QString &name : names) {
        const auto food = m_foodByName.constFind(name);
        if (food != m_foodByName.cend() && !found.contains(*food))
            found.append(*food);
    }
    return found;
}

void FoodSearchIndex::collect(const Query &query, Options options, size_t wanted, FoundLists &lists,
                              std::vector<bool> &listed, const std::vector<bool> *only) const
{
    // A plain-text query (too long for pinyin) matches the same in every way.
    const int tiers = query.units.size() > MaxPinyinQuery ? 1
        : options.fuzzySounds                            ? MatchTiers
                                                         : MatchTiers / 2;
    const bool tonesTyped = query.toned != 0;
    const auto foundBefore = [&](int list) {
        size_t count = 0;
        for (int i = 0; i < list; ++i)
            count += lists[size_t(i)].size();
        return count;
    };
    size_t found = foundBefore(Places * 2);
    for (auto entry = m_texts.cbegin(); entry != m_texts.cend();) {
        const quint32 food = entry->food;
        int best = -1;
        bool bestToned = false;
        const Text *bestText = nullptr;
        for (; entry != m_texts.cend() && entry->food == food; ++entry) {
            if (listed[food] || (only && !(*only)[food]))
                continue;
            if ((query.letters & ~entry->letters) || !(query.first & entry->starts))
                continue;
            // A place is worth finding only while the list can still show it.
            const bool wantContains = found < wanted;
            // The loosest way first: what does not match so matches in no way, and most names
            // do not match.
            if (tiers > 1 && bestRank(*entry, query, wantContains, MatchModes[tiers - 1]) < 0)
                continue;
            // Another of the food's names in the same place may still have the typed tones.
            const bool mayTie = tonesTyped && !bestToned;
            for (int tier = 0; tier < tiers; ++tier) {
                if (best >= 0 && (tier * Ranks > best || (tier * Ranks == best && !mayTie)))
                    break; // no better than what another of the food's names has
                const int rank = bestRank(*entry, query, wantContains, MatchModes[tier]);
                if (rank < 0)
                    continue;
                const int place = tier * Ranks + rank;
                if (best < 0 || place < best || (place == best && mayTie)) {
                    const bool toned = !tonesTyped || matchesTones(*entry, query, tier, rank);
                    if (best < 0 || place < best || toned) {
                        best = place;
                        bestToned = toned;
                        bestText = &*entry;
                    }
                }
                break;
            }
        }
        if (best < 0)
            continue;
        const int list = best * 2 + (bestToned ? 0 : 1);
        if (foundBefore(list) >= wanted)
            continue;
        lists[size_t(list)].push_back({bestText, &query, best, bestToned});
        listed[food] = true;
        ++found;
        if (lists[0].size() >= wanted)
            return; // nothing can come before these
    }
}

bool FoodSearchIndex::matchesTones(const Text &text, const Query &query, int tier, int rank) const
{
    MatchMode toned = MatchModes[tier];
    toned.tones = true;
    return bestRank(text, query, rank == int(SearchRank::Contains), toned) == rank;
}

namespace {

// An other name that is only a reading, in Latin letters with or without tone marks ("baohe",
// "báo he"): what the user typed, not a name to tell them.
bool isReading(const QString &alias)
{
    return std::all_of(alias.cbegin(), alias.cend(), [](QChar c) {
        return c.isSpace() || (c.isLetter() && c.script() == QChar::Script_Latin);
    });
}

} // namespace

FoodSearchHit FoodSearchIndex::hit(const Found &found) const
{
    FoodSearchHit hit;
    hit.food = int(found.text->food);
    hit.rank = SearchRank(found.place % Ranks);
    if (found.text->alias >= 0) {
        const QString &alias = m_foods[hit.food].aliases[found.text->alias];
        if (!isReading(alias))
            hit.alias = alias;
    }
    return hit;
}

QStringList FoodSearchIndex::matchingCategories(const QString &text, Options options) const
{
    const Query query = readQuery(text);
    if (query.units.empty() || query.units.size() > MaxPinyinQuery)
        return {};
    const int tiers = options.fuzzySounds ? MatchTiers : MatchTiers / 2;
    std::vector<std::pair<int, int>> found; // tier, category
    for (const Text &entry : m_categoryTexts) {
        if ((query.letters & ~entry.letters) || !(query.first & entry.starts))
            continue;
        for (int tier = 0; tier < tiers; ++tier) {
            if (bestRank(entry, query, false, MatchModes[tier]) == int(SearchRank::Exact)) {
                found.emplace_back(tier, int(entry.food));
                break;
            }
        }
    }
    std::stable_sort(found.begin(), found.end());
    QStringList names;
    for (const auto &[tier, category] : found)
        names.append(m_categories.at(category));
    return names;
}

namespace {

// Every spelling one edit away: a letter missing, one extra, one wrong, two next to each other
// swapped.
std::vector<std::u32string> oneEditAway(const std::u32string &typed)
{
    std::vector<std::u32string> variants;
    for (size_t i = 0; i < typed.size(); ++i) {
        std::u32string missing = typed;
        missing.erase(i, 1);
        variants.push_back(missing);
        if (i + 1 < typed.size() && typed[i] != typed[i + 1]) {
            std::u32string swapped = typed;
            std::swap(swapped[i], swapped[i + 1]);
            variants.push_back(swapped);
        }
    }
    for (size_t i = 0; i <= typed.size(); ++i) {
        for (char32_t letter = U'a'; letter <= U'z'; ++letter) {
            std::u32string extra = typed;
            extra.insert(i, 1, letter);
            variants.push_back(extra);
            if (i < typed.size() && typed[i] != letter) {
                std::u32string wrong = typed;
                wrong[i] = letter;
                variants.push_back(wrong);
            }
        }
    }
    return variants;
}

} // namespace

QVector<FoodSearchHit> FoodSearchIndex::search(const QString &text, int limit, Options options) const
{
    const Query query = readQuery(text);
    if (query.units.empty() || limit <= 0)
        return {};
    const size_t wanted = size_t(limit);
    FoundLists lists(Places * 2);
    // Among foods that match equally well, the user's own first (in their order), then the
    // everyday ones, then the rest: a pass for each, as a list keeps the order hits come in.
    std::vector<bool> listed(size_t(m_foods.size()), false);
    const QVector<int> preferred = foodsNamed(options.preferredFoods);
    if (!preferred.isEmpty()) {
        std::vector<bool> own(size_t(m_foods.size()), false);
        for (int food : preferred)
            own[size_t(food)] = true;
        collect(query, options, wanted, lists, listed, &own);
        for (auto &list : lists)
            std::stable_sort(list.begin(), list.end(), [&](const Found &a, const Found &b) {
                return preferred.indexOf(int(a.text->food)) < preferred.indexOf(int(b.text->food));
            });
    }
    collect(query, options, wanted, lists, listed, &m_common);
    collect(query, options, wanted, lists, listed);

    // One typo: a pinyin query of four letters or more that finds nothing as spelled (the fuzzy
    // sounds aside) is tried once more with every spelling one edit away (jidna: jidan). Those
    // finds come after the fuzzy ones: a sound-alike the user's input method would accept
    // (zurou: 猪肉) is likelier than a slip of a letter that happens to spell another food
    // (zurou: 驴肉 as lurou). Each food at the best place any spelling gives it. The typed tones
    // do not carry over to another spelling.
    const size_t exactLists = size_t(MatchTiers / 2 * Ranks * 2);
    const bool foundAsSpelled = std::any_of(lists.begin(), lists.begin() + qsizetype(exactLists),
                                            [](const auto &list) { return !list.empty(); });
    const bool pinyin = std::all_of(query.units.begin(), query.units.end(), [](char32_t c) { return c >= U'a' && c <= U'z'; });
    FoundLists typoLists(Places * 2);
    std::vector<Query> typoQueries; // kept while the finds point to them
    // A category it names is a find too (shuiguo: 水果), not a typo.
    if (!foundAsSpelled && pinyin && query.units.size() >= MinTypoQuery && query.units.size() < MaxPinyinQuery
        && matchingCategories(text, options).isEmpty()) {
        // As spelled only: a typo and a fuzzy sound together are two slips, too far to guess.
        Options spelled = options;
        spelled.fuzzySounds = false;
        std::vector<std::u32string> variants = oneEditAway(query.units);
        typoQueries.reserve(variants.size());
        for (std::u32string &variant : variants) {
            // Each spelling afresh, so a food gets the best place any of them gives it.
            std::vector<bool> typoListed(size_t(m_foods.size()), false);
            typoQueries.push_back(makeQuery(std::move(variant)));
            collect(typoQueries.back(), spelled, wanted, typoLists, typoListed);
        }
    }

    // The matches as spelled, then the fuzzy ones, then the typos; each food once, at its best.
    std::vector<const std::vector<Found> *> order;
    for (const auto &list : lists)
        order.push_back(&list);
    for (const auto &list : typoLists)
        order.push_back(&list);
    QVector<FoodSearchHit> hits;
    std::vector<bool> taken(size_t(m_foods.size()), false);
    for (const auto *list : order) {
        for (const Found &found : *list) {
            if (hits.size() >= limit)
                return hits;
            if (taken[found.text->food])
                continue;
            taken[found.text->food] = true;
            hits.append(hit(found));
        }
    }
    return hits;
}
