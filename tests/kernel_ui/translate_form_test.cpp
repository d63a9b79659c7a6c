// Translating whole windows: which classes give which texts, what stays.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <set>
#include <vector>

#include "kernel/ui/translate_form.h"
#include "tests/kernel_ui/ui_test_util.h"

namespace {

std::string Entries(std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    std::string out;
    for (const auto& [de, en] : pairs)
        out += std::string("$:") + de + "\r\nE:" + en + "\r\n";
    return out;
}

const std::string kDb = Entries({
    {"Einstellungen", "Settings"},
    {"Name", "Name"},
    {"Titel", "Title"},
    {"&Speichern", "&Save"},
    {"Schlie\xDF" "en", "Close"},
    {"&Datei", "&File"},
    {"\xD6" "ffnen", "Open"},
    {"Werkzeug", "Tool"},
    {"Optionen", "Options"},
    {"Seite", "Page"},
    {"Rot", "Red"},
    {"Gr\xFC" "n", "Green"},
    {"Farbe", "Colour"},
    {"Pr\xFC" "fen", "Check"},
    {"Eingabe", "Input"},
    {"Bild", "Picture"},
    {"Tabelle", "Table"},
    {"Muster laden", "Load pattern"},
    {"Bilder (*.tif)", "Pictures (*.tif)"},
    {"A", "One"},
    {"B", "Two"},
    {"Knopf", "Button"},
});

std::string Db()
{
    return ReadTestFile(TestHome() + "DbLang.Txt");
}

// The phrases appended after the given start of the file, except the key
// names that parsing a short-cut anywhere in Qt asks for all at once.
std::vector<std::string> LearntBeyond(const std::string& start)
{
    static const std::set<std::string> keyNames = {
        "Strg", "Umsch", "Alt", "Entf", "Einfg", "Pos1", "Ende", "Bild auf", "Bild ab", "Esc", "Tab",
        "R\xFC" "cktaste", "Eingabe", "Leer", "Links", "Rechts", "Oben", "Unten", "Pause", "Druck"};
    const std::string db = Db();
    EXPECT_EQ(db.substr(0, start.size()), start);
    std::vector<std::string> out;
    std::size_t pos = start.size();
    while ((pos = db.find("\r\n$:", pos)) != std::string::npos) {
        pos += 4;
        const std::string phrase = db.substr(pos, db.find('\r', pos) - pos);
        if (!keyNames.count(phrase))
            out.push_back(phrase);
    }
    return out;
}

}  // namespace

TEST(TranslateForm, TextsHintsAndWhatStays)
{
    StartLanguage("Englisch", kDb);
    QWidget form;
    form.setWindowTitle("Einstellungen");
    auto* layout = new QVBoxLayout(&form);

    auto* fixed = new QLabel("Name", &form);
    fixed->setProperty("Tag", -1);
    auto* label = new QLabel("Titel:", &form);
    auto* picture = new QLabel(&form);
    QPixmap pm(8, 8);
    pm.fill(Qt::red);
    picture->setPixmap(pm);
    picture->setToolTip("Bild");
    auto* button = new QPushButton("&Speichern", &form);
    button->setToolTip("A\u00BFB");
    auto* tool = new QToolButton(&form);
    tool->setText("Werkzeug");
    auto* check = new QCheckBox("Pr\u00FCfen", &form);
    auto* radio = new QRadioButton("Rot", &form);  // not a class that is translated
    auto* group = new QGroupBox("Optionen", &form);
    auto* inGroup = new QPushButton("Schlie\u00DFen", group);
    auto* tabs = new QTabWidget(&form);
    auto* page = new QWidget;
    auto* onPage = new QLabel("Farbe", page);
    tabs->addTab(page, "Seite");
    tabs->setTabToolTip(0, "A");
    auto* combo = new QComboBox(&form);
    combo->addItems({"Rot", "Gr\u00FCn"});
    combo->setToolTip("Farbe");
    auto* edit = new QLineEdit("Eingabe", &form);
    auto* masked = new QLineEdit(&form);
    masked->setInputMask("999");
    masked->setText("123");
    masked->setToolTip("Eingabe");
    auto* table = new QTableView(&form);
    table->setToolTip("Tabelle");
    auto* spin = new QSpinBox(&form);
    auto* knopf = new QPushButton("Knopf", &form);
    knopf->setProperty("Tag", -5);
    knopf->setToolTip("A");
    for (QWidget* w : std::initializer_list<QWidget*>{fixed, label, picture, button, tool, check, radio, group,
                                                      tabs, combo, edit, masked, table, spin, knopf})
        layout->addWidget(w);

    auto* menuBar = new QMenuBar(&form);
    QMenu* file = menuBar->addMenu("&Datei");
    QAction* open = file->addAction("\u00D6ffnen");
    open->setToolTip("A\u00BFB");
    QAction* save = file->addAction("&Speichern");
    auto* formAction = new QAction("Werkzeug", &form);

    TranslateForm(&form);

    EXPECT_EQ(form.windowTitle(), "Settings");
    EXPECT_EQ(fixed->text(), "Name");
    EXPECT_EQ(label->text(), "Title:");
    EXPECT_EQ(picture->toolTip(), "Picture");
    EXPECT_EQ(picture->statusTip(), "Picture  ");
    EXPECT_EQ(button->text(), "&Save");
    EXPECT_EQ(button->toolTip(), "One\nTwo");
    EXPECT_EQ(button->statusTip(), "One  Two  ");
    EXPECT_EQ(tool->text(), "Tool");
    EXPECT_EQ(check->text(), "Check");
    EXPECT_EQ(radio->text(), "Rot");
    EXPECT_EQ(group->title(), "Options");
    EXPECT_EQ(inGroup->text(), "Close");
    EXPECT_EQ(tabs->tabText(0), "Page");
    EXPECT_EQ(tabs->tabToolTip(0), "One");
    EXPECT_EQ(onPage->text(), "Colour");
    EXPECT_EQ(combo->itemText(0), "Red");
    EXPECT_EQ(combo->itemText(1), "Green");
    EXPECT_EQ(combo->toolTip(), "Colour");
    EXPECT_EQ(edit->text(), "Input");
    EXPECT_EQ(masked->text(), "123");
    EXPECT_EQ(masked->toolTip(), "Input");
    EXPECT_EQ(table->toolTip(), "Table");
    EXPECT_EQ(knopf->text(), "Knopf");
    EXPECT_EQ(knopf->toolTip(), "A");
    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(open->text(), "Open");
    EXPECT_EQ(open->toolTip(), "One\nTwo");
    EXPECT_EQ(open->statusTip(), "One  Two  ");
    EXPECT_EQ(save->text(), "&Save");
    // An action without a hint of its own gets none.
    EXPECT_EQ(save->statusTip(), "");
    EXPECT_EQ(formAction->text(), "Tool");
    // Every text came from the database: nothing the widgets build for
    // themselves (spin box, table, tab bar, combo box) was looked up.
    EXPECT_EQ(LearntBeyond(kDb), std::vector<std::string>{});
}

TEST(TranslateForm, NegativeFormTagKeepsTheTitleOnly)
{
    StartLanguage("Englisch", kDb);
    QWidget form;
    form.setProperty("Tag", -1);
    form.setWindowTitle("Einstellungen");
    auto* label = new QLabel("Titel", &form);
    TranslateForm(&form);
    EXPECT_EQ(form.windowTitle(), "Einstellungen");
    EXPECT_EQ(label->text(), "Title");
    TranslateForm(nullptr);
}

TEST(TranslateForm, FileDialogTitleAndFilterAsOnePhrase)
{
    StartLanguage("Englisch", kDb);
    QWidget form;
    auto* dialog = new QFileDialog(&form, "Muster laden");
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setNameFilter("Bilder (*.tif)");
    TranslateForm(&form);
    EXPECT_EQ(dialog->windowTitle(), "Load pattern");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Pictures (*.tif)"});
    EXPECT_EQ(LearntBeyond(kDb), std::vector<std::string>{});
}

TEST(TranslateForm, AnotherFormParentedToTheFormIsLeftToItself)
{
    StartLanguage("Englisch", kDb);
    QWidget form;
    // Made, and translated, while the form is built: a form of its own.
    auto* tool = new QWidget(&form, Qt::Tool);
    tool->setWindowTitle("Werkzeug");
    auto* toolLabel = new QLabel("Farbe", tool);
    TranslateForm(tool);
    auto* dialog = new QDialog(&form);
    auto* dialogButton = new QPushButton("Knopf", dialog);
    TranslateForm(dialog);
    auto* label = new QLabel("Titel", &form);
    TranslateForm(&form);
    EXPECT_EQ(label->text(), "Title");
    EXPECT_EQ(tool->windowTitle(), "Tool");
    EXPECT_EQ(toolLabel->text(), "Colour");
    EXPECT_EQ(dialogButton->text(), "Button");
    // Their English texts were not looked up a second time as German ones.
    EXPECT_EQ(LearntBeyond(kDb), std::vector<std::string>{});
}

TEST(TranslateForm, UnknownTextsAreLearnt)
{
    StartLanguage("Englisch", kDb);
    QWidget form;
    new QLabel("Neues Feld", &form);
    TranslateForm(&form);
    EXPECT_EQ(LearntBeyond(kDb), std::vector<std::string>{"Neues Feld"});
}

TEST(TranslateForm, KeyNamesOfShortcutsComeFromTheDatabase)
{
    StartLanguage("Englisch", Entries({{"Strg", "Ctl"}, {"Entf", "Delete"}}));
    QWidget form;
    TranslateForm(&form);
    const QKeySequence seq(Qt::CTRL | Qt::Key_Delete);
    EXPECT_EQ(seq.toString(QKeySequence::NativeText), "Ctl+Delete");
    // Each name is looked up once in a run: the phrase file learns it once.
    EXPECT_EQ(QKeySequence(Qt::SHIFT | Qt::Key_Home).toString(QKeySequence::NativeText), "Umsch+Pos1");
    const std::string learnt = Db();
    EXPECT_NE(learnt.find("$:Umsch\r\n"), std::string::npos);
    EXPECT_NE(learnt.find("$:Pos1\r\n"), std::string::npos);
    EXPECT_EQ(seq.toString(QKeySequence::NativeText), "Ctl+Delete");
    EXPECT_EQ(QKeySequence(Qt::SHIFT | Qt::Key_Home).toString(QKeySequence::NativeText), "Umsch+Pos1");
    EXPECT_EQ(Db(), learnt);
    EXPECT_EQ(seq.toString(QKeySequence::PortableText), "Ctrl+Del");
    // A new start of the engine (another language) asks again.
    StartLanguage("Deutsch", Entries({{"Strg", "Ctl"}}) + "$:Entf\r\nG:Entf\r\n");
    EXPECT_EQ(seq.toString(QKeySequence::NativeText), "Strg+Entf");
}
