// The phrase lookup: 1,000 translations, half hits and half misses, against a
// list of 5,000 entries; the baseline walks the same sorted list item by
// item, as the lookup did before it had an index.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "kernel/language/language.h"

namespace fs = std::filesystem;

namespace {

constexpr int kEntries = 5000;
constexpr int kCalls = 1000;

std::string Source(int i)
{
    // Every fourth phrase carries an accelerator mark, and the words vary in
    // case, so both maps and the case-blind order are exercised.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%s Eintrag %05d", i % 4 == 0 ? "&" : "", i % 3 ? "Datei" : "datei",
                  (i * 7919) % 100000);
    return buf;
}

struct Fixture {
    std::string folder;
    std::string file;
    PhraseList loaded;
    std::vector<std::string> queries;

    Fixture()
    {
        char templ[] = "/tmp/language-bench-XXXXXX";
        folder = mkdtemp(templ);
        file = folder + "/DbLang.Txt";
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < kEntries; ++i) {
            const std::string s = Source(i);
            out << std::string(78, '-') << "\r\n$:" << s << "\r\nG:" << s << "\r\nE:Entry " << i
                << "\r\nI:\r\nS:\r\nP:\r\nF:\r\nH:\r\nJ:\r\n";
        }
        out.close();
        LoadPhraseDatabase(file, 'E');
        loaded = *CurrentPhraseList();
        for (int i = 0; i < kCalls; ++i) {
            if (i % 2 == 0) {
                std::string s = Source((i * 37) % kEntries);
                if (i % 4 == 0 && s[0] == '&')
                    s.erase(0, 1);
                queries.push_back(i % 8 == 0 ? " " + s + ": " : s);
            } else {
                queries.push_back("Neuer Satz " + std::to_string(i));
            }
        }
    }
    ~Fixture()
    {
        DoneLanguage();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

Fixture& Data()
{
    static Fixture f;
    return f;
}

void BM_TranslatePhrase(benchmark::State& state)
{
    Fixture& f = Data();
    for (auto _ : state) {
        // Misses are learnt: each round starts from the loaded list again.
        state.PauseTiming();
        *CurrentPhraseList() = f.loaded;
        state.ResumeTiming();
        for (const std::string& q : f.queries)
            benchmark::DoNotOptimize(TranslatePhrase(q));
    }
    state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_TranslatePhrase)->Unit(benchmark::kMicrosecond);

// The walk: items "source \1 translation" in the list's order; a miss is
// inserted in order.
struct WalkList {
    std::vector<std::string> items;

    std::string Translate(const std::string& phrase)
    {
        std::size_t lead = 0;
        while (lead < phrase.size() && static_cast<unsigned char>(phrase[lead]) <= 32)
            ++lead;
        if (lead == phrase.size())
            return phrase;
        std::size_t trail = 0;
        while (static_cast<unsigned char>(phrase[phrase.size() - 1 - trail]) <= 32)
            ++trail;
        std::string text = phrase.substr(lead, phrase.size() - lead - trail);
        const bool colon = text.back() == ':';
        if (colon)
            text.pop_back();
        const bool hasAmp = text.find('&') != std::string::npos;
        std::string translation;
        bool found = false;
        for (const std::string& item : items) {
            const std::size_t sep = item.find('\1');
            std::string source = item.substr(0, sep);
            if (!hasAmp)
                source = PhraseList::WithoutFirstAmp(source);
            if (source == text) {
                translation = item.substr(sep + 1);
                if (!hasAmp)
                    translation = PhraseList::WithoutFirstAmp(translation);
                if (translation.empty())
                    translation = text;
                found = true;
                break;
            }
        }
        if (!found) {
            const std::string item = text + '\1';
            const auto at = std::upper_bound(items.begin(), items.end(), item, [](const std::string& a, const std::string& b) {
                return PhraseList::CompareNoCase(a.substr(0, a.find('\1')), b.substr(0, b.find('\1'))) < 0;
            });
            items.insert(at, item);
            translation = text;
        }
        return std::string(lead, ' ') + translation + (colon ? ":" : "") + std::string(trail, ' ');
    }
};

void BM_LinearWalkBaseline(benchmark::State& state)
{
    Fixture& f = Data();
    WalkList base;
    for (const PhraseItem& item : f.loaded.Items())
        base.items.push_back(item.source + '\1' + item.translation);
    for (auto _ : state) {
        state.PauseTiming();
        WalkList walk = base;
        state.ResumeTiming();
        for (const std::string& q : f.queries)
            benchmark::DoNotOptimize(walk.Translate(q));
    }
    state.SetItemsProcessed(state.iterations() * kCalls);
}
BENCHMARK(BM_LinearWalkBaseline)->Unit(benchmark::kMicrosecond);

}  // namespace
