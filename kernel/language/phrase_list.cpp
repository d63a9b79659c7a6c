#include "kernel/language/phrase_list.h"

#include <algorithm>
#include <numeric>

namespace {

unsigned char FoldAscii(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

}  // namespace

int PhraseList::CompareNoCase(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = FoldAscii(a[i]);
        const unsigned char cb = FoldAscii(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string PhraseList::WithoutFirstAmp(std::string_view text)
{
    std::string out(text);
    const std::size_t amp = out.find('&');
    if (amp != std::string::npos)
        out.erase(amp, 1);
    return out;
}

bool PhraseList::Before(std::uint32_t a, std::uint32_t b) const
{
    const int c = CompareNoCase(items_[a].source, items_[b].source);
    return c != 0 ? c < 0 : a < b;
}

void PhraseList::Offer(std::unordered_map<std::string, std::uint32_t>& index, const std::string& key,
                       std::uint32_t item)
{
    auto [it, inserted] = index.try_emplace(key, item);
    if (!inserted && Before(item, it->second))
        it->second = item;
}

void PhraseList::Add(std::string source, std::string translation)
{
    const auto id = static_cast<std::uint32_t>(items_.size());
    items_.push_back(PhraseItem{std::move(source), std::move(translation)});
    const std::string& s = items_.back().source;
    Offer(exact_, s, id);
    Offer(stripped_, WithoutFirstAmp(s), id);
}

void PhraseList::Clear()
{
    items_.clear();
    exact_.clear();
    stripped_.clear();
}

const PhraseItem* PhraseList::Find(const std::string& text, bool withAmp) const
{
    // The source spelt as the text comes first: "&Abbrechen" (Abort) sorts
    // before "Abbrechen" (Cancel) and would otherwise answer both.
    if (const auto it = exact_.find(text); it != exact_.end())
        return &items_[it->second];
    if (withAmp)
        return nullptr;
    const auto it = stripped_.find(text);
    return it == stripped_.end() ? nullptr : &items_[it->second];
}

std::vector<PhraseItem> PhraseList::Items() const
{
    std::vector<std::uint32_t> order(items_.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) { return Before(a, b); });
    std::vector<PhraseItem> out;
    out.reserve(order.size());
    for (std::uint32_t i : order)
        out.push_back(items_[i]);
    return out;
}
