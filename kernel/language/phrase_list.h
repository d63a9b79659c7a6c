#pragma once
// The phrases of the chosen language, in the order the translation lookup
// walks them: sources compared ASCII-case-insensitively, equal sources in
// the order they were added (file order, then the misses of this run).
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct PhraseItem {
    std::string source;       // the German phrase, with its '&' marks
    std::string translation;  // empty while not translated
};

class PhraseList {
public:
    void Add(std::string source, std::string translation);
    void Clear();
    std::size_t Size() const { return items_.size(); }

    // The first item in walk order whose source equals the text; failing
    // that, when withAmp is false, the first whose source equals it once its
    // first '&' is dropped. nullptr when none.
    const PhraseItem* Find(const std::string& text, bool withAmp) const;

    // The items in walk order.
    std::vector<PhraseItem> Items() const;

    // Negative, zero or positive as a sorts before, equal to or after b,
    // ASCII letters compared without case.
    static int CompareNoCase(std::string_view a, std::string_view b);
    // The text with its first '&' removed.
    static std::string WithoutFirstAmp(std::string_view text);

private:
    // Whether item a comes before item b in walk order.
    bool Before(std::uint32_t a, std::uint32_t b) const;
    void Offer(std::unordered_map<std::string, std::uint32_t>& index, const std::string& key,
               std::uint32_t item);

    // The lookup would walk a sorted list from its start, which costs a
    // string comparison per item. The two maps hold, for every key, the
    // item that walk would meet first: exact_ for the sources as spelt,
    // stripped_ for the sources without their first '&'.
    std::vector<PhraseItem> items_;  // in the order added
    std::unordered_map<std::string, std::uint32_t> exact_;
    std::unordered_map<std::string, std::uint32_t> stripped_;
};
