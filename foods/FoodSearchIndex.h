// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/Nutrients.h"
#include "foods/PinyinTable.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>
#include <vector>

// One food as the search knows it: what a result line shows and what it takes
// to show the food in the tree.
struct SearchableFood
{
    QString category; // trimmed, as in the tree
    QString name;     // trimmed, as in the tree
    QString kcal;     // the calorie text as stored, trimmed; may be empty
    QString portion;  // what the figure is for ("100克"), trimmed; may be empty
    qint64 rowId = 0; // the first row of the food table with this category and name
    QStringList aliases; // other names of the food
    bool common = false; // an everyday food (one with household measures): listed first among its equals
    bool own = false;    // one the user made (自定义食物); its rowId is −(its id)
    std::optional<Nutrients> nutrients = std::nullopt; // per 100 g, where the table gives them
};

// How well a food matched, best first.
enum class SearchRank { Exact, Prefix, Contains };

struct FoodSearchHit
{
    int food = -1;      // position in FoodSearchIndex::foods()
    SearchRank rank = SearchRank::Contains;
    // The other name that matched, when the food's own name did not; never one that is only a
    // reading written in Latin letters (an other name "baohe" is what the user typed).
    QString alias;
};

// How the search may read what is typed.
struct FoodSearchOptions
{
    // 模糊音, as Chinese input methods offer it: z/zh, c/ch, s/sh, n/l, h/f, r/l and
    // an/ang, en/eng, in/ing (so ian/iang, uan/uang) are taken for each other, below every
    // match as spelled and above every match with a typo.
    bool fuzzySounds = true;
    // The user's own foods (the names logged most, most recently first): each listed before
    // the other foods that match as well, in this order.
    QStringList preferredFoods;
};

// Finds foods by what a user types: Chinese text, pinyin (whole syllables, initials or a mix, ü
// typed as v or u, tones given as marks or numbers or not at all), Latin letters in any case,
// spaces ignored; in the food's name or in one of its other names. A name is read as a reader
// says it, word by word (PinyinTable): 薄荷 is bò he, so bohe finds it (baohe only as a typo); a
// character's other readings count only where the dictionary reads it so in that word, or
// where an other name spells them out.
//
// A query matches a name where it can be read from some character on through consecutive
// characters: each character taken either as itself or as a non-empty beginning of its
// reading, the last one possibly cut short (xihongshi, xihong, xhs, xihs all find 西红柿;
// hongshi finds it too). Results come best first, in one order: through whole syllables as
// spelled (boluo: 菠萝), then through initials or beginnings (td: 土豆), then the same with the
// fuzzy sounds (zurou: 猪肉 by z/zh), then, for a pinyin query of four letters or more that
// finds nothing as spelled, with one typo forgiven (jidna: 鸡蛋). Within each: the whole name,
// then names that begin with the query, then the rest; among those, the user's own foods
// (Options::preferredFoods), then everyday ones, then the food tree's order of names (pinyin,
// numbers by value).
//
// Tones never decide whether a food is found, as people mistype them; they order foods that
// match equally well. A tone is typed as a mark on a vowel (lí zhī) or as a number after the
// syllable (li2zhi1, only in a query of letters and such numbers that ends in one); among the
// foods in the same place by the rules above, those whose matched characters are read in the
// typed tone for every toned syllable come first (li2zhi1: 梨汁 before 荔枝, li4zhi1: 荔枝
// first; tang2: 糖 before 汤).
//
// Widget-free; building costs some milliseconds per thousand foods, a search
// a scan of compact arrays.
class FoodSearchIndex
{
public:
    static constexpr int DefaultLimit = 50;

    FoodSearchIndex();
    explicit FoodSearchIndex(QVector<SearchableFood> foods);

    // The foods, in the order ties are listed in.
    const QVector<SearchableFood> &foods() const { return m_foods; }

    using Options = FoodSearchOptions;

    // At most `limit` matches, best first. An empty query (after trimming and
    // removing spaces) matches nothing.
    QVector<FoodSearchHit> search(const QString &query, int limit = DefaultLimit) const;
    QVector<FoodSearchHit> search(const QString &query, int limit, Options options) const;

    // The categories whose whole name the query is (shuiguo, sg, 水果), read the same ways as
    // food names and in the same order; a result of their own above the foods.
    QStringList matchingCategories(const QString &query, Options options = Options()) const;

    // Positions in foods() of the preferred foods that the index has, in the preferred order.
    QVector<int> foodsNamed(const QStringList &names) const;

    // The query as it is matched: white space removed, Latin letters in lower
    // case, ü as v.
    static std::u32string normalized(const QString &text);

private:
    struct Text
    {
        quint32 first = 0;  // in m_units
        quint32 length = 0;
        quint32 food = 0;
        qint32 alias = -1;  // -1: the name; else the position in the food's aliases
        quint64 letters = 0;  // every letter or character the text can match
        quint64 starts = 0;   // the ones a character can begin with
    };
    struct Query;
    // How a query is read against a name (see MatchModes).
    struct MatchMode
    {
        bool wholeSyllables; // each character through a whole syllable, not its beginning
        bool fuzzy;          // through the readings' fuzzy sounds as well
        bool tones = false;  // each typed tone through a reading in that tone
    };
    static constexpr int MatchTiers = 4;
    static const MatchMode MatchModes[MatchTiers];

    // A typed tone: the position in the query of a letter of its syllable, and the tone.
    struct TypedTone
    {
        size_t position;
        int tone;
    };
    // The query as it is matched (normalized, tone numbers after pinyin dropped), with its tones.
    static Query readQuery(const QString &text);
    static Query makeQuery(std::u32string units, const std::vector<TypedTone> &tones = {});
    // A food as a search places it, before it is turned into a FoodSearchHit.
    struct Found
    {
        const Text *text;   // the name or other name that matched
        const Query *query; // as it was matched (the typed one, or one a typo away)
        int place;          // tier * Ranks + rank
        bool toned;         // through readings in every typed tone
    };
    // One list of finds a place (tier and rank) and, within it, with the typed tones first and
    // then without them: lists[place * 2 + (toned ? 0 : 1)], best first.
    static constexpr int Ranks = 3;
    static constexpr int Places = MatchTiers * Ranks;
    using FoundLists = std::vector<std::vector<Found>>;
    // Adds the foods `query` matches to `lists`, at most `wanted` in all that can be shown; only
    // the foods `only` allows, when it is given, and none `listed` already has (it marks those
    // it adds).
    void collect(const Query &query, Options options, size_t wanted, FoundLists &lists,
                 std::vector<bool> &listed, const std::vector<bool> *only = nullptr) const;
    FoodSearchHit hit(const Found &found) const;
    // Whether the text matches in the same tier and rank with every typed tone.
    bool matchesTones(const Text &text, const Query &query, int tier, int rank) const;
    // The shortest query a typo is looked for in.
    static constexpr size_t MinTypoQuery = 4;
    // A name's text for the search, or nothing for one without characters.
    std::optional<Text> makeText(const QString &text, quint32 food, qint32 alias);
    void addText(const QString &text, quint32 food, qint32 alias);
    int bestRank(const Text &text, const Query &query, bool wantContains, MatchMode mode) const;
    quint64 step(quint64 reach, quint32 unit, const Query &query, MatchMode mode) const;
    static int lettersInTone(const Query &query, int at, int tones);

    PinyinTable m_pinyin;
    // Per syllable number: the syllables a fuzzy sound takes it for ("shi": "si"; "lan":
    // "nan", "lang", "nang", "ran", "rang").
    std::vector<std::vector<std::string>> m_fuzzySyllables;
    QVector<SearchableFood> m_foods;
    std::vector<Text> m_texts;                // grouped by food, in food order
    QStringList m_categories;                 // those of the foods, in the foods' order
    std::vector<bool> m_common;               // per food: an everyday one
    QHash<QString, int> m_foodByName;         // the first food of each name
    std::vector<Text> m_categoryTexts;        // their names, `food` their position
    std::vector<char32_t> m_units;            // the texts' characters, normalized
    std::vector<quint16> m_unitReadings;      // per unit: offset of its readings there (0: none)
};
