// The phrase engine: reading and learning "DbLang.Txt", the lookup and the
// hint form, checked against hand-written files and exact bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

class FakeSettings : public LanguageSettings {
public:
    explicit FakeSettings(std::string name = {}) : stored(std::move(name)) {}
    std::string ReadLanguageSetting() override { return stored; }
    int WriteLanguageSetting(const std::string& name) override
    {
        stored = name;
        return 0;
    }
    std::string stored;
};

const std::string kSeparator(78, '-');

// The block the engine appends for a new phrase (phrase in Windows-1252).
std::string NewBlock(const std::string& cp1252)
{
    return kSeparator + "\r\n$:" + cp1252 + "\r\nG:" + cp1252 +
           "\r\nE:\r\nI:\r\nS:\r\nP:\r\nF:\r\nH:\r\nJ:\r\n";
}

std::string DbPath()
{
    return TestHome() + "DbLang.Txt";
}

void WriteDb(const std::string& bytes)
{
    WriteTestFile(DbPath(), bytes);
}

std::string Db()
{
    return ReadTestFile(DbPath());
}

// A fresh start of the engine, as the program makes it at each run.
void Start(const std::string& language = {}, char letter = ' ')
{
    DoneLanguage();
    static FakeSettings settings;
    settings.stored = language;
    InitLanguage(&settings, nullptr, "DbLang.Txt", letter);
}

}  // namespace

TEST(LanguageEngine, BeforeTheStartTextsStandAsTheyAre)
{
    EXPECT_EQ(CurrentPhraseList(), nullptr);
    EXPECT_EQ(F_TRANS("  Datei: "), "  Datei: ");
    EXPECT_EQ(TranslatePhrase("\tDatei"), "\tDatei");
    // The hint form does not need the database.
    EXPECT_EQ(F_TRANSHINT("A\u00BFB"), "A\r\nB|A  B  ");
    EXPECT_FALSE(fs::exists(DbPath()));
}

TEST(LanguageEngine, NewPhraseFileLearnsEachPhraseOnce)
{
    Start();
    EXPECT_TRUE(PhraseFileOpen());
    EXPECT_TRUE(fs::exists(DbPath()));
    EXPECT_EQ(Db(), "");
    EXPECT_EQ(F_TRANS("Datei \xC3\xB6" "ffnen"), "Datei \xC3\xB6" "ffnen");
    const std::string expected = NewBlock("Datei \xF6" "ffnen");
    ASSERT_EQ(expected.size(), 140u);
    EXPECT_EQ(Db(), expected);
    // Known from now on, in this run and the next.
    EXPECT_EQ(F_TRANS("Datei \xC3\xB6" "ffnen"), "Datei \xC3\xB6" "ffnen");
    Start();
    EXPECT_EQ(F_TRANS("Datei \xC3\xB6" "ffnen"), "Datei \xC3\xB6" "ffnen");
    EXPECT_EQ(Db(), expected);
}

TEST(LanguageEngine, BlanksAndTrailingColonComeBack)
{
    WriteDb("$:Datei\r\nE:File\r\n");
    Start("Englisch");
    EXPECT_EQ(F_TRANS("  Datei: "), "  File: ");
    EXPECT_EQ(F_TRANS("Datei:"), "File:");
    EXPECT_EQ(F_TRANS("Datei"), "File");
    // Only one colon is taken off; the blanks come back as blanks.
    EXPECT_EQ(F_TRANS("\tDatei\r\n"), " File  ");
    EXPECT_EQ(F_TRANS("   "), "   ");
    EXPECT_EQ(F_TRANS(""), "");
    EXPECT_EQ(F_TRANS(":"), ":");
    EXPECT_EQ(Db(), "$:Datei\r\nE:File\r\n");
    EXPECT_EQ(F_TRANS("Datei::"), "Datei::");
    EXPECT_EQ(Db(), "$:Datei\r\nE:File\r\n" + NewBlock("Datei:"));
}

TEST(LanguageEngine, AcceleratorMarks)
{
    WriteDb("$:&Datei\r\nE:&File\r\n");
    Start("Englisch");
    EXPECT_EQ(F_TRANS("Datei"), "File");
    EXPECT_EQ(F_TRANS("&Datei"), "&File");
    EXPECT_EQ(Db(), "$:&Datei\r\nE:&File\r\n");
    EXPECT_EQ(F_TRANS("D&atei"), "D&atei");
    EXPECT_EQ(Db(), "$:&Datei\r\nE:&File\r\n" + NewBlock("D&atei"));
    // The learnt phrase answers its own spelling, the entry still the others.
    EXPECT_EQ(F_TRANS("D&atei"), "D&atei");
    EXPECT_EQ(F_TRANS("Datei"), "File");
}

TEST(LanguageEngine, ExactSourceBeatsTheMarkedOne)
{
    // The message dialogs' Cancel ("Abbrechen") and Abort ("&Abbrechen")
    // buttons: "&Abbrechen" sorts first and would answer both.
    WriteDb("$:Abbrechen\r\nE:Cancel\r\nF:Annuler\r\nH:Akyro\r\n"
            "$:&Abbrechen\r\nE:&Abort\r\nF:&Interrompre\r\nH:\r\n"
            "$:&Ende\r\nE:&Quit\r\nF:&Quitter\r\nH:&Telos\r\n");
    const struct {
        const char* language;
        const char* text;
        const char* expected;
    } cases[] = {
        {"Englisch", "Abbrechen", "Cancel"},
        {"Englisch", "&Abbrechen", "&Abort"},
        {"Englisch", " Abbrechen: ", " Cancel: "},
        {"Englisch", "Ende", "Quit"},
        {"Franz\xC3\xB6sisch", "Abbrechen", "Annuler"},
        {"Franz\xC3\xB6sisch", "&Abbrechen", "&Interrompre"},
        {"Griechisch", "Abbrechen", "Akyro"},
        {"Griechisch", "&Abbrechen", "&Abbrechen"},
        {"Griechisch", "Ende", "Telos"},
    };
    for (const auto& c : cases) {
        Start(c.language);
        EXPECT_EQ(F_TRANS(c.text), c.expected) << c.language << " " << c.text;
    }
}

TEST(LanguageEngine, NumbersAreNeverLookedUp)
{
    Start();
    for (const char* number : {"-12", "+7", "$1F", "0x1F", "0X7fffffff", "-2147483648", "2147483647", "007"})
        EXPECT_EQ(F_TRANS(number), number);
    EXPECT_EQ(F_TRANS(" 42: "), " 42: ");
    EXPECT_EQ(Db(), "");
    // Not integers: a fraction, a value past 32 bits, a sign before hex.
    EXPECT_EQ(F_TRANS("1.5"), "1.5");
    EXPECT_EQ(F_TRANS("2147483648"), "2147483648");
    EXPECT_EQ(F_TRANS("$80000000"), "$80000000");
    EXPECT_EQ(F_TRANS("-"), "-");
    EXPECT_EQ(Db(), NewBlock("1.5") + NewBlock("2147483648") + NewBlock("$80000000") + NewBlock("-"));
}

TEST(LanguageEngine, EmptyTranslationGivesTheGermanPhrase)
{
    const std::string file = NewBlock("Datei") + NewBlock("&Ende");
    WriteDb(file);
    Start("Englisch");
    EXPECT_EQ(F_TRANS("Datei"), "Datei");
    EXPECT_EQ(F_TRANS("Ende"), "Ende");
    EXPECT_EQ(F_TRANS("&Ende"), "&Ende");
    Start("Englisch");
    EXPECT_EQ(F_TRANS("Datei"), "Datei");
    EXPECT_EQ(Db(), file);
}

// A second meaning of a German word has a key of its own; German shows the
// word itself, also while the key has no entry or no translation yet.
TEST(LanguageEngine, KeysOfTheirOwnShowTheGermanWord)
{
    const std::string key = "Einf\xC3\xBCgen (Schreibmodus)", word = "Einf\xC3\xBCgen";
    EXPECT_EQ(F_TRANSKEY(key, word), word);  // engine not started
    const std::string file = "$:Einf\xFCgen (Schreibmodus)\r\nG:Einf\xFCgen\r\nE:Insert\r\n"
                             "$:Einf\xFCgen\r\nG:Einf\xFCgen\r\nE:Paste\r\n";
    struct Case {
        const char* language;
        const char* mode;
        const char* paste;
    };
    for (const Case c : {Case{"Englisch", "Insert", "Paste"}, Case{"Deutsch", "Einf\xC3\xBCgen", "Einf\xC3\xBCgen"}}) {
        SCOPED_TRACE(c.language);
        WriteDb(file);
        Start(c.language);
        EXPECT_EQ(F_TRANSKEY(key, word), c.mode);
        EXPECT_EQ(F_TRANS(word), c.paste);
        EXPECT_EQ(Db(), file);
    }
    // Not yet in the file: learnt under its key, the German word shown.
    WriteDb("");
    Start("Englisch");
    EXPECT_EQ(F_TRANSKEY(key, word), word);
    EXPECT_EQ(Db(), NewBlock("Einf\xFCgen (Schreibmodus)"));
    DoneLanguage();
}

TEST(LanguageEngine, HintsHaveShortAndLongParts)
{
    WriteDb("$:A\r\nE:One\r\n$:B\r\nE:Two\r\n$:Klicken\r\nE:Click\r\n$:Ziehen\r\nE:  Drag\r\n");
    Start("Englisch");
    EXPECT_EQ(F_TRANSHINT("A\u00BFB"), "One\r\nTwo|One  Two  ");
    EXPECT_EQ(F_TRANSHINT("\"LT\"Klicken"), "\"LT\": Click|\"LT\": Click  ");
    EXPECT_EQ(F_TRANSHINT("\"RT\"  Klicken\u00BFA"), "\"RT\": Click\r\nOne|\"RT\": Click  One  ");
    // The leading blanks of a mouse-button part's translation go.
    EXPECT_EQ(F_TRANSHINT("\"LT\"Ziehen"), "\"LT\": Drag|\"LT\": Drag  ");
    EXPECT_EQ(F_TRANSHINT("A"), "One|One  ");
    EXPECT_EQ(F_TRANSHINT(""), "");
}

TEST(LanguageEngine, ChoiceOfLanguage)
{
    const std::string file = "$:Datei\r\nG:Datei\r\nE:File\r\nI:Archivio\r\nF:Fichier\r\n";
    WriteDb(file);
    Start("Franz\xC3\xB6sisch");
    EXPECT_EQ(CurrentLanguage, 7);
    EXPECT_EQ(F_TRANS("Datei"), "Fichier");
    Start("ITALIENISCH");
    EXPECT_EQ(F_TRANS("Datei"), "Archivio");
    Start("Klingonisch");
    EXPECT_EQ(CurrentLanguage, kEnglish);
    EXPECT_EQ(F_TRANS("Datei"), "File");
    // The letter chooses first, a stored name overrides it.
    Start("", 'F');
    EXPECT_EQ(F_TRANS("Datei"), "Fichier");
    Start("Englisch", 'F');
    EXPECT_EQ(F_TRANS("Datei"), "File");
    Start("", 'X');
    EXPECT_EQ(CurrentLanguage, 2);
    EXPECT_EQ(F_TRANS("Datei"), "Datei");
    // No settings module: English unless the letter says otherwise.
    DoneLanguage();
    InitLanguage(nullptr, nullptr, "DbLang.Txt", 0);
    EXPECT_EQ(F_TRANS("Datei"), "File");
    EXPECT_EQ(Db(), file);
    // Spanish has no line in the entry: the phrase is not in its list.
    Start("Spanisch");
    EXPECT_EQ(F_TRANS("Datei"), "Datei");
    EXPECT_EQ(Db(), file + NewBlock("Datei"));
}

TEST(LanguageEngine, LanguageTableAndWhatTheMenuNeeds)
{
    EXPECT_EQ(LanguageTable.size(), 8u);
    EXPECT_EQ(LanguageByIndex(2).letter, 'G');
    EXPECT_STREQ(LanguageByIndex(9).name, "Japanisch");
    EXPECT_EQ(LanguageByIndex(1).letter, 'E');
    EXPECT_EQ(LanguageByIndex(10).letter, 'E');
    EXPECT_EQ(LanguageIndexOfLetter('H'), 8);
    EXPECT_EQ(LanguageIndexOfLetter('$'), 2);

    FakeSettings settings("Deutsch");
    std::string restartedWith;
    InitLanguage(&settings, [&](const std::string& l) { restartedWith = l; }, "DbLang.Txt", ' ');
    EXPECT_EQ(CurrentLanguage, 2);
    EXPECT_EQ(LanguageSettingsModule(), &settings);
    ASSERT_TRUE(LanguageRestartCallback());
    LanguageRestartCallback()("E");
    EXPECT_EQ(restartedWith, "E");
    DoneLanguage();
    EXPECT_EQ(LanguageSettingsModule(), nullptr);
    EXPECT_FALSE(LanguageRestartCallback());
    EXPECT_FALSE(PhraseFileOpen());
    EXPECT_EQ(F_TRANS("Neu"), "Neu");
    EXPECT_EQ(Db(), "");
}

TEST(LanguageEngine, WithoutAFileEverythingIsGermanAndTheFileIsMade)
{
    Start("Englisch");
    EXPECT_EQ(CurrentPhraseList()->Size(), 0u);
    EXPECT_EQ(F_TRANS("Beenden"), "Beenden");
    EXPECT_EQ(Db(), NewBlock("Beenden"));
}

TEST(LanguageEngine, FileIsFoundInAnyLetterCaseAndByPath)
{
    WriteTestFile(TestHome() + "dblang.txt", "$:Datei\r\nE:File\r\n");
    Start("Englisch");
    EXPECT_EQ(PhraseFilePath(), TestHome() + "dblang.txt");
    EXPECT_EQ(F_TRANS("Datei"), "File");
    EXPECT_FALSE(fs::exists(DbPath()));

    WriteTestFile(TestHome() + "sub/Other.Txt", "$:Datei\r\nE:Data\r\n");
    DoneLanguage();
    InitLanguage(nullptr, nullptr, TestHome() + "sub/Other.Txt", ' ');
    EXPECT_EQ(F_TRANS("Datei"), "Data");
}

TEST(LanguageEngine, UnopenableFileIsReportedOnceAndTheEngineGoesOn)
{
    fs::create_directories(DbPath());
    ScopedRecordingHost rec;
    Start("Englisch");
    ASSERT_EQ(rec.host.messages(), std::vector<std::string>{"Error during language initialization"});
    const HostCall call = rec.host.callsOf("messageDlg").front();
    EXPECT_EQ(call.kind, MsgKind::Error);
    EXPECT_EQ(call.buttons, (MsgButtons{MsgButton::OK}));
    EXPECT_FALSE(PhraseFileOpen());
    // Misses are learnt for the run, but there is no file to append to.
    EXPECT_EQ(F_TRANS("Datei"), "Datei");
    EXPECT_EQ(F_TRANS("Datei"), "Datei");
    EXPECT_EQ(CurrentPhraseList()->Size(), 1u);
    EXPECT_EQ(rec.host.messages().size(), 1u);
    EXPECT_TRUE(fs::is_directory(DbPath()));
}

TEST(LanguageEngine, LoadedListWithoutOpenFileNeverAppends)
{
    WriteDb("$:Datei\r\nE:File\r\n");
    LoadPhraseDatabase(DbPath(), 'E');
    EXPECT_FALSE(PhraseFileOpen());
    EXPECT_EQ(F_TRANS("Datei"), "File");
    EXPECT_EQ(F_TRANS("Neu"), "Neu");
    EXPECT_EQ(Db(), "$:Datei\r\nE:File\r\n");
    // A missing file is an empty list, not an error.
    LoadPhraseDatabase(TestHome() + "none.txt", 'E');
    EXPECT_EQ(CurrentPhraseList()->Size(), 0u);
    EXPECT_FALSE(fs::exists(TestHome() + "none.txt"));
}

TEST(LanguageEngine, PhrasesTheFileCannotHoldAreKeptOnlyForTheRun)
{
    Start();
    const std::vector<std::string> phrases = {
        "Zeile 1\r\nZeile 2",      // would split the entry
        "Spalte\tWert",            // a control inside
        "\xE6\x97\xA5\xE6\x9C\xAC",  // not in Windows-1252
        "\xC3\x83\xC2\xB6",        // its 1252 bytes would read back as UTF-8
        "Datei :",                 // "Datei " would lose its blank on reading
    };
    for (const std::string& p : phrases) {
        EXPECT_EQ(F_TRANS(p), p);
        EXPECT_EQ(F_TRANS(p), p);
    }
    EXPECT_EQ(Db(), "");
    EXPECT_EQ(CurrentPhraseList()->Size(), phrases.size());
    // The file still learns what it can hold.
    EXPECT_EQ(F_TRANS("Gr\xC3\xB6\xC3\x9F" "e"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(Db(), NewBlock("Gr\xF6\xDF" "e"));
}

TEST(LanguageEngine, MissingFinalLineEndIsWrittenBeforeTheNewBlock)
{
    const std::string file = NewBlock("Datei").substr(0, NewBlock("Datei").size() - 2);
    ASSERT_EQ(file.substr(file.size() - 2), "J:");
    WriteDb(file);
    Start();
    EXPECT_EQ(F_TRANS("Neu"), "Neu");
    EXPECT_EQ(F_TRANS("Alt"), "Alt");
    EXPECT_EQ(Db(), file + "\r\n" + NewBlock("Neu") + NewBlock("Alt"));
    Start();
    EXPECT_EQ(CurrentPhraseList()->Size(), 3u);
    EXPECT_EQ(F_TRANS("Neu"), "Neu");
    EXPECT_EQ(Db(), file + "\r\n" + NewBlock("Neu") + NewBlock("Alt"));
}

TEST(LanguageEngine, FirstLineAndFirstEntryWin)
{
    WriteDb("$:Datei\r\nE:Zfile\r\nE:Afile\r\n"
            "$:Ende\r\nE:End\r\n$:Ende\r\nE:Aend\r\n"
            "$:ende\r\nE:lower\r\n");
    Start("Englisch");
    EXPECT_EQ(F_TRANS("Datei"), "Zfile");
    EXPECT_EQ(F_TRANS("Ende"), "End");
    EXPECT_EQ(F_TRANS("ende"), "lower");
    EXPECT_EQ(CurrentPhraseList()->Size(), 4u);
}

TEST(LanguageEngine, ReadingLinesAndCodePages)
{
    WriteDb("E:before any entry\n"
            "x\n"
            "$:Datei\t \n"
            "E:File \t\r\n"
            "$#Ende\n"       // any second character
            "E:End\n"
            "$:Gr\xF6\xDF" "e\r\n"  // Windows-1252
            "E:Size\r\n"
            "$:Sch\xC3\xBC" "tzen\r\n"  // UTF-8
            "E:Prot\xC3\xA9g\xC3\xA9r\r\n"
            "$:Wert\r\n"
            "E:Caf\xE9\r\n"
            "H:\xC1\xF1\xF7\xE5\xDF\xEF\r\n"
            "J:\x93\xFA\x96\x7B\r\n"
            "$:Leer\r\n"
            "H:\xCE\x91\r\n");  // UTF-8 in a Greek line
    Start("Englisch");
    EXPECT_EQ(F_TRANS("Datei"), "File");
    EXPECT_EQ(F_TRANS("Ende"), "End");
    EXPECT_EQ(F_TRANS("Gr\xC3\xB6\xC3\x9F" "e"), "Size");
    EXPECT_EQ(F_TRANS("Sch\xC3\xBC" "tzen"), "Prot\xC3\xA9g\xC3\xA9r");
    EXPECT_EQ(F_TRANS("Wert"), "Caf\xC3\xA9");
    EXPECT_EQ(CurrentPhraseList()->Size(), 5u);
    Start("Griechisch");
    EXPECT_EQ(F_TRANS("Wert"), "\xCE\x91\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xBF");
    EXPECT_EQ(F_TRANS("Leer"), "\xCE\x91");
    Start("Japanisch");
    EXPECT_EQ(F_TRANS("Wert"), "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST(LanguageEngine, ByteOrderMarkHidesNoEntry)
{
    WriteDb("\xEF\xBB\xBF$:Datei\r\nE:File\r\n$:Gr\xC3\xB6\xC3\x9F" "e\r\nE:Size\r\n");
    Start("Englisch");
    EXPECT_EQ(F_TRANS("Datei"), "File");
    EXPECT_EQ(F_TRANS("Gr\xC3\xB6\xC3\x9F" "e"), "Size");
    EXPECT_EQ(CurrentPhraseList()->Size(), 2u);
}

TEST(LanguageEngine, SortedOrderDecidesAmongMarkedSources)
{
    // Without a mark in the text both sources compare equal; the walk meets
    // "&Datei" first because '&' sorts before letters.
    WriteDb("$:D&atei\r\nE:second\r\n$:&Datei\r\nE:first\r\n");
    Start("Englisch");
    EXPECT_EQ(F_TRANS("Datei"), "first");
    const auto items = CurrentPhraseList()->Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].source, "&Datei");
}

namespace {

// The lookup as walks over the sorted items: the source as the text is
// spelt, then (for a text without a mark) a source without its first mark.
const PhraseItem* Walk(const std::vector<PhraseItem>& items, const std::string& text, bool withAmp)
{
    for (const PhraseItem& item : items)
        if (item.source == text)
            return &item;
    if (withAmp)
        return nullptr;
    for (const PhraseItem& item : items)
        if (PhraseList::WithoutFirstAmp(item.source) == text)
            return &item;
    return nullptr;
}

}  // namespace

TEST(PhraseListIndex, AnswersExactlyAsTheWalk)
{
    // Tiny alphabets give many collisions of case, marks and duplicates.
    std::mt19937 rng(12345);
    const std::string alphabet = "aAbB&";
    auto randomText = [&](int maxLen) {
        std::string s;
        const int len = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxLen));
        for (int i = 0; i < len; ++i)
            s += alphabet[rng() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 20; ++round) {
        PhraseList list;
        for (int i = 0; i < 60; ++i) {
            list.Add(randomText(4), "t" + std::to_string(i));
            if (i % 10 == 9) {
                const auto items = list.Items();
                for (int q = 0; q < 200; ++q) {
                    const std::string text = randomText(4);
                    const bool withAmp = text.find('&') != std::string::npos;
                    const PhraseItem* expected = Walk(items, text, withAmp);
                    const PhraseItem* got = list.Find(text, withAmp);
                    ASSERT_EQ(expected == nullptr, got == nullptr) << text;
                    if (expected) {
                        EXPECT_EQ(got->source, expected->source) << text;
                        EXPECT_EQ(got->translation, expected->translation) << text;
                    }
                }
            }
        }
    }
}

TEST(PhraseListIndex, OrderIsCaseBlindAndStable)
{
    PhraseList list;
    list.Add("b", "1");
    list.Add("A", "2");
    list.Add("a", "3");
    list.Add("B", "4");
    list.Add("\xC3\xA4", "5");  // above ASCII: after the letters
    const auto items = list.Items();
    std::vector<std::string> order;
    for (const auto& i : items)
        order.push_back(i.translation);
    EXPECT_EQ(order, (std::vector<std::string>{"2", "3", "1", "4", "5"}));
    EXPECT_LT(PhraseList::CompareNoCase("abc", "ABD"), 0);
    EXPECT_EQ(PhraseList::CompareNoCase("ABC", "abc"), 0);
    EXPECT_GT(PhraseList::CompareNoCase("abc", "ab"), 0);
    EXPECT_EQ(PhraseList::WithoutFirstAmp("&a&b"), "a&b");
}
