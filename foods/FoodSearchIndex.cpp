// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodSearchIndex.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QtAlgorithms>

#include <algorithm>
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

std::u32string FoodSearchIndex::normalizedQuery(const QString &text)
{
    std::u32string units = normalized(text);
    // Tone numbers after pinyin (ji1dan4, lv4dou4): a digit 1 to 5 right after a letter, in a
    // query of Latin letters and such digits only, so that a name with a number in it
    // ("维生素B1" typed as "b1") is still found as typed.
    const bool pinyinOnly = std::all_of(units.begin(), units.end(), [](char32_t c) {
        return isLatinLetter(c) || (c >= U'1' && c <= U'5');
    });
    const bool hasTone = pinyinOnly && units.size() > 1 && units.back() >= U'1' && units.back() <= U'5'
        && isLatinLetter(units[units.size() - 2]);
    if (!hasTone)
        return units;
    std::u32string toneless;
    for (size_t i = 0; i < units.size(); ++i) {
        const bool tone = units[i] >= U'1' && units[i] <= U'5' && i > 0 && isLatinLetter(units[i - 1]);
        if (!tone)
            toneless.push_back(units[i]);
    }
    return toneless;
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
    for (char32_t unit : units) {
        const PinyinTable::Readings readings = m_pinyin.readings(unit);
        m_units.push_back(unit);
        m_unitReadings.push_back(quint16(readings.numbers - 1 - PinyinData::ReadingSets));
        entry.letters |= maskBit(unit);
        entry.starts |= maskBit(unit);
        for (int i = 0; i < readings.count; ++i) {
            const QLatin1StringView syllable = m_pinyin.syllable(readings.numbers[i]);
            entry.starts |= maskBit(char32_t(syllable.front().toLatin1()));
            for (char letter : syllable) {
                entry.letters |= maskBit(char32_t(letter));
                if (letter == 'v')
                    entry.letters |= maskBit(U'u');
            }
            // What the fuzzy sounds may type for it: l for n, f for h, the g of ang …
            for (const std::string &variant : m_fuzzySyllables[readings.numbers[i]]) {
                entry.starts |= maskBit(char32_t(variant.front()));
                for (char letter : variant)
                    entry.letters |= maskBit(char32_t(letter));
            }
        }
    }
    return entry;
}

// The positions in the query reachable after one more unit of the text, from
// the positions in `reach`: the unit taken as itself, or as the beginning
// (one letter or more) of one of its readings.
quint64 FoodSearchIndex::step(quint64 reach, quint32 unit, const Query &query, MatchMode mode) const
{
    const char32_t character = m_units[unit];
    const PinyinTable::Readings readings = PinyinTable::readingsAt(m_unitReadings[unit]);
    const int readingCount = mode.commonOnly ? readings.commonCount : readings.count;
    quint64 next = 0;
    while (reach) {
        const int at = qCountTrailingZeroBits(reach);
        reach &= reach - 1;
        if (size_t(at) >= query.units.size())
            continue;
        if (query.units[size_t(at)] == character)
            next |= quint64(1) << (at + 1);
        const auto reachBy = [&](int spelled, qsizetype length) {
            if (mode.wholeSyllables) {
                // Only the whole syllable reaches a position.
                if (spelled == length)
                    next |= quint64(1) << (at + spelled);
            } else {
                // Every length from one letter to `spelled` reaches a position.
                next |= ((quint64(1) << spelled) - 1) << (at + 1);
            }
        };
        for (int i = 0; i < readingCount; ++i) {
            const QLatin1StringView syllable = m_pinyin.syllable(readings.numbers[i]);
            reachBy(commonPrefix(syllable, query.units, size_t(at)), syllable.size());
            if (!mode.fuzzy)
                continue;
            for (const std::string &variant : m_fuzzySyllables[readings.numbers[i]])
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

// The ways a query is read against a name, best first: whole syllables through readings in
// common use, then initials and syllable beginnings through those, then the same through rare
// readings; then all of it again with the fuzzy sounds. A name is ranked by the first way it
// matches in.
const FoodSearchIndex::MatchMode FoodSearchIndex::MatchModes[MatchTiers] = {
    {true, true, false}, {true, false, false}, {false, true, false}, {false, false, false},
    // The same again with the fuzzy sounds, below every match without them.
    {true, true, true},  {true, false, true},  {false, true, true},  {false, false, true}};

QVector<FoodSearchHit> FoodSearchIndex::search(const QString &text, int limit) const
{
    return search(text, limit, Options());
}

FoodSearchIndex::Query FoodSearchIndex::makeQuery(std::u32string units)
{
    Query query;
    query.units = std::move(units);
    for (char32_t unit : query.units)
        query.letters |= maskBit(unit);
    query.first = query.units.empty() ? 0 : maskBit(query.units.front());
    query.done = query.units.size() > MaxPinyinQuery ? 0 : quint64(1) << query.units.size();
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

void FoodSearchIndex::collect(const Query &query, Options options, size_t wanted, HitLists &lists,
                              std::vector<bool> &listed, const std::vector<bool> *only) const
{
    // A plain-text query (too long for pinyin) matches the same in every way.
    const int tiers = query.units.size() > MaxPinyinQuery ? 1
        : options.fuzzySounds                            ? MatchTiers
                                                         : MatchTiers / 2;
    const auto foundBefore = [&](int list) {
        size_t count = 0;
        for (int i = 0; i < list; ++i)
            count += lists[size_t(i)].size();
        return count;
    };
    for (auto entry = m_texts.cbegin(); entry != m_texts.cend();) {
        const quint32 food = entry->food;
        int best = -1;
        qint32 bestAlias = -1;
        for (; entry != m_texts.cend() && entry->food == food; ++entry) {
            if (listed[food] || (only && !(*only)[food]))
                continue;
            if ((query.letters & ~entry->letters) || !(query.first & entry->starts))
                continue;
            // A place is worth finding only while the list can still show it.
            const bool wantContains = foundBefore(MatchTiers * Ranks) < wanted;
            // The loosest way first: what does not match so matches in no way, and most names
            // do not match.
            if (tiers > 1 && bestRank(*entry, query, wantContains, MatchModes[tiers - 1]) < 0)
                continue;
            for (int tier = 0; tier < tiers; ++tier) {
                if (best >= 0 && tier * Ranks >= best)
                    break; // no better than what another of the food's names has
                const int rank = bestRank(*entry, query, wantContains, MatchModes[tier]);
                if (rank < 0)
                    continue;
                const int place = tier * Ranks + rank;
                if (best < 0 || place < best) {
                    best = place;
                    bestAlias = entry->alias;
                }
                break;
            }
        }
        if (best < 0 || foundBefore(best) >= wanted)
            continue;
        FoodSearchHit hit;
        hit.food = int(food);
        hit.rank = SearchRank(best % Ranks);
        if (bestAlias >= 0)
            hit.alias = m_foods[int(food)].aliases[bestAlias];
        lists[size_t(best)].push_back(std::move(hit));
        listed[food] = true;
        if (lists[0].size() >= wanted)
            return; // nothing can come before these
    }
}

QStringList FoodSearchIndex::matchingCategories(const QString &text, Options options) const
{
    const Query query = makeQuery(normalizedQuery(text));
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
    const Query query = makeQuery(normalizedQuery(text));
    if (query.units.empty() || limit <= 0)
        return {};
    const size_t wanted = size_t(limit);
    HitLists lists(MatchTiers * Ranks);
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
            std::stable_sort(list.begin(), list.end(), [&](const FoodSearchHit &a, const FoodSearchHit &b) {
                return preferred.indexOf(a.food) < preferred.indexOf(b.food);
            });
    }
    collect(query, options, wanted, lists, listed, &m_common);
    collect(query, options, wanted, lists, listed);

    // One typo: a pinyin query of four letters or more that finds nothing as spelled (the fuzzy
    // sounds aside) is tried once more with every spelling one edit away (jidna: jidan). Those
    // finds come before the fuzzy ones: a fuzzy sound through a rare reading or a syllable's
    // beginning reaches far (jidna: 鸡蛋羹, 羹 read láng taken for nang), one letter mistyped is
    // the likelier slip. Each food at the best place any spelling gives it.
    const size_t exactLists = size_t(MatchTiers / 2 * Ranks);
    const bool foundAsSpelled = std::any_of(lists.begin(), lists.begin() + qsizetype(exactLists),
                                            [](const auto &list) { return !list.empty(); });
    const bool pinyin = std::all_of(query.units.begin(), query.units.end(), [](char32_t c) { return c >= U'a' && c <= U'z'; });
    HitLists typoLists(MatchTiers * Ranks);
    // A category it names is a find too (shuiguo: 水果), not a typo.
    if (!foundAsSpelled && pinyin && query.units.size() >= MinTypoQuery && query.units.size() < MaxPinyinQuery
        && matchingCategories(text, options).isEmpty()) {
        // As spelled only: a typo and a fuzzy sound together are two slips, too far to guess.
        Options spelled = options;
        spelled.fuzzySounds = false;
        for (const std::u32string &variant : oneEditAway(query.units)) {
            // Each spelling afresh, so a food gets the best place any of them gives it.
            std::vector<bool> typoListed(size_t(m_foods.size()), false);
            collect(makeQuery(variant), spelled, wanted, typoLists, typoListed);
        }
    }

    // The matches as spelled, then the typos, then the fuzzy ones; each food once, at its best.
    std::vector<const std::vector<FoodSearchHit> *> order;
    for (size_t i = 0; i < exactLists; ++i)
        order.push_back(&lists[i]);
    for (const auto &list : typoLists)
        order.push_back(&list);
    for (size_t i = exactLists; i < lists.size(); ++i)
        order.push_back(&lists[i]);
    QVector<FoodSearchHit> hits;
    std::vector<bool> taken(size_t(m_foods.size()), false);
    for (const auto *list : order) {
        for (const FoodSearchHit &hit : *list) {
            if (hits.size() >= limit)
                return hits;
            if (taken[size_t(hit.food)])
                continue;
            taken[size_t(hit.food)] = true;
            hits.append(hit);
        }
    }
    return hits;
}
