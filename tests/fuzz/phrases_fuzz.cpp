// The phrase database on any file: the engine starts on it, looks up the
// phrases the file names and learns the misses; a second start on the
// file it then holds must know them all, so nothing is appended twice.
// (Which entry answers may change between the starts: a learnt phrase can
// sort before an entry that answered in the first run.)
// Smoke run: 10000 runs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/language/language.h"
#include "platform/codepage.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr std::size_t kMaxPhrases = 24;

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "phrases", what);
}

// The texts of the file's lines, from their third byte on (where an entry's
// phrase starts), as the UTF-8 the program passes to the lookup.
std::vector<std::string> Phrases(std::string_view bytes)
{
    std::vector<std::string> phrases;
    std::size_t start = 0;
    while (start < bytes.size() && phrases.size() < kMaxPhrases) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        line.remove_prefix(std::min<std::size_t>(2, line.size()));
        phrases.push_back(IsValidUtf8(line) ? std::string(line) : Cp1252ToUtf8(line));
    }
    return phrases;
}

std::uintmax_t FileSize(const std::string& path)
{
    std::error_code ec;
    const std::uintmax_t n = std::filesystem::file_size(path, ec);
    return ec ? 0 : n;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::WriteInput("DbLang.Txt", data, size);
    // The input's length picks the language, so the seeds stay plain files
    // and every code page's decoding gets its turn.
    const char letter = LanguageTable[size % LanguageTable.size()].letter;
    const std::vector<std::string> phrases =
        Phrases(std::string_view(reinterpret_cast<const char*>(data), size));

    InitLanguage(nullptr, nullptr, path, letter);
    Check(CurrentPhraseList() != nullptr && PhraseFileOpen(), "engine not started");
    for (const std::string& phrase : phrases)
        F_TRANS(phrase);
    if (!phrases.empty())
        F_TRANSHINT(phrases.front());
    const std::uintmax_t learnt = FileSize(path);

    InitLanguage(nullptr, nullptr, path, letter);
    for (const std::string& phrase : phrases)
        F_TRANS(phrase);
    if (FileSize(path) != learnt) {
        // What the second start appended, to see which phrase came back.
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, static_cast<long>(learnt), SEEK_SET);
        for (int c; (c = std::fgetc(f)) != EOF;)
            std::fputc(c, stderr);
        std::fclose(f);
        Check(false, "a learnt phrase was appended again at the next start");
    }

    DoneLanguage();
    fuzz::ClearFolder();
    return 0;
}
