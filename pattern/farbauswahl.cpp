#include "pattern/farbauswahl.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/services/services.h"
#include "kernel/ui/translate_form.h"
#include "pattern/core/tab_hints.h"
#include "pattern/tool_title_bar.h"
#include "picture/core/palette_table.h"
#include "picture/screen_placement.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

namespace {

// Tab widget and scroll box frames around the grid.
constexpr int kFrame = 12;
constexpr uint8_t kFirstMotifTool = 27;
constexpr uint8_t kLastMotifTool = 29;

const char* const kColourHint = "\"LT\" Vordergrundfarbe\u00bf\"RT\" Hintergrundfarbe";
const char* const kMotifHint = "\"LT\" Mit Motiv malen\u00bf\"RT\" Motiv speichern";

// Copies a file's bytes over the destination, the old file kept on failure.
bool CopyFileSafely(const std::string& source, const std::string& dest)
{
    SafeFileWriter out;
    return out.Create(dest) && out.WriteFileContents(source) && out.Commit();
}

QPixmap LoadPicture(const std::string& path)
{
    const std::string found = FindExisting(path);
    return found.empty() ? QPixmap() : QPixmap(QString::fromStdString(found));
}

}  // namespace

TFarbauswahl::TFarbauswahl(QWidget* parent)
    : QWidget(parent, ToolTitleBar::WindowFlags())
{
    setObjectName("Farbauswahl");
    setWindowTitle("Farben");
    // The colours act on the painting window, which keeps the keyboard.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    tabFile = ProgrammPfad + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString() +
              ".TAB";
    FormCreate();
    if (parent)
        parent->installEventFilter(this);
}

TFarbauswahl::~TFarbauswahl()
{
    if (!iniKey.empty())
        P_WriteIni("Windows", iniKey, FormPlacementText(this));
}

QWidget* TFarbauswahl::AddPage(const char* sheet, const char* scrollBox, const char* caption, QScrollArea** box)
{
    auto* page = new QWidget;
    page->setObjectName(sheet);
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(scrollBox);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    auto* grid = new QWidget;
    scroll->setWidget(grid);
    const int index = FAPageControl->addTab(page, QString::fromUtf8(caption));
    // Only the colours are offered; the other pages wait for their users.
    FAPageControl->setTabVisible(index, index == 0);
    if (box)
        *box = scroll;
    return page;
}

void TFarbauswahl::FormCreate()
{
    FAPageControl = new QTabWidget(this);
    FAPageControl->setObjectName("FAPageControl");
    FAPageControl->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, ToolTitleBar::BarHeight(), 0, 0);
    layout->addWidget(FAPageControl);
    new ToolTitleBar(this);
    Farbe_TabSheet = AddPage("Farbe_TabSheet", "Farbe_ScrollBox", "Farbe", &Farbe_ScrollBox);
    Motiv_TabSheet = AddPage("Motiv_TabSheet", "Motiv_ScrollBox", "Motiv", &Motiv_ScrollBox);
    AddPage("Bindung_TabSheet", "Bindung_ScrollBox", "Bindung", nullptr);
    AddPage("IntBindung_TabSheet", "IntBindung_ScrollBox", "IntBindung", nullptr);
    AddPage("Muster_TabSheet", "Muster_ScrollBox", "Muster", nullptr);
    AddPage("Shapes_TabSheet", "Shapes_ScrollBox", "Formen", nullptr);
    AddPage("IntMuster_TabSheet", "IntMuster_ScrollBox", "Methoden", nullptr);
    colourGrid_ = Farbe_ScrollBox->widget();
    motifGrid_ = Motiv_ScrollBox->widget();
    connect(FAPageControl, &QTabWidget::currentChanged, this, &TFarbauswahl::PageChanged);
    resize(4 * kPanelSize + 9,
           ToolTitleBar::BarHeight() + kPanelSize + FAPageControl->tabBar()->sizeHint().height() + kFrame);
    TranslateForm(this);
}

uint8_t TFarbauswahl::F_Visible(uint8_t show)
{
    setVisible(show != 0);
    return show ? 0 : 1;
}

void TFarbauswahl::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    BuildColourGrid();
}

// The user cannot close the window; the end of the program can: quitting
// closes every window and gives up when one refuses.
void TFarbauswahl::closeEvent(QCloseEvent* event)
{
    if (programEnding_)
        event->accept();
    else
        event->ignore();
}

bool TFarbauswahl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Close)
        programEnding_ = true;
    return QWidget::eventFilter(watched, event);
}

ColourPanel* TFarbauswahl::Panel(int i) const
{
    return i >= 1 && i <= ColourCount() ? panels_[static_cast<size_t>(i - 1)] : nullptr;
}

ColourPanel* TFarbauswahl::MotifPanel(int n) const
{
    return n >= 1 && n <= MotifCount() ? motifPanels_[static_cast<size_t>(n - 1)] : nullptr;
}

ColourGridLayout TFarbauswahl::LayOut(int count) const
{
    ColourGridInput in;
    in.count = count;
    in.panelWidth = kPanelSize;
    in.panelHeight = kPanelSize;
    if (layoutScreen) {
        in.screen = *layoutScreen;
    } else {
        const QRect s = (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
        in.screen = {s.x(), s.y(), s.width(), s.height()};
    }
    in.windowTop = frameGeometry().top();
    const int titleBar = std::max(0, frameGeometry().height() - height()) + ToolTitleBar::BarHeight();
    in.chromeHeight = titleBar + FAPageControl->tabBar()->sizeHint().height() + kFrame;
    return LayOutColourGrid(in);
}

void TFarbauswahl::MakePanels(int count)
{
    for (ColourPanel* p : panels_)
        delete p;
    for (ColourPanel* p : motifPanels_)
        delete p;
    panels_.clear();
    motifPanels_.clear();
    layout_ = LayOut(count);
    const auto place = [this](ColourPanel* p, int i) {
        const PanelPosition at = layout_.Position(i);
        p->setGeometry(at.left, at.top, kPanelSize, kPanelSize);
        p->show();
    };
    for (int i = 1; i <= count; ++i) {
        auto* p = new ColourPanel(i, colourGrid_);
        p->setObjectName(QString("IkonCol_Panel%1").arg(i));
        SetTranslatedHint(p, QString::fromUtf8(kColourHint));
        place(p, i);
        connect(p, &ColourPanel::pressed, this, &TFarbauswahl::ColourPanelPressed);
        panels_.push_back(p);
    }
    for (int n = 1; n <= layout_.motifCount; ++n) {
        auto* p = new ColourPanel(n, motifGrid_);
        p->setObjectName(QString("IkonMuster_Panel%1").arg(n));
        SetTranslatedHint(p, QString::fromUtf8(kMotifHint));
        p->SetColour(palette().color(QPalette::Button), Qt::black);
        place(p, n);
        connect(p, &ColourPanel::pressed, this, &TFarbauswahl::MotifPanelPressed);
        motifPanels_.push_back(p);
    }
    colourGrid_->resize(layout_.GridWidth(), layout_.GridHeight());
    motifGrid_->resize(layout_.GridWidth(), layout_.motifRows * kPanelSize);
}

void TFarbauswahl::SizeToGrid()
{
    const int tabBar = FAPageControl->tabBar()->sizeHint().height();
    resize(layout_.GridWidth() + kFrame, ToolTitleBar::BarHeight() + tabBar + layout_.GridHeight() + kFrame);
}

void TFarbauswahl::BuildColourGrid()
{
    const int count = static_cast<int>(colourText.size());
    if (count != ColourCount()) {
        MakePanels(count);
        SizeToGrid();
        foreground_ = kDefaultForeground;
        background_ = kDefaultBackground;
        ShowMarking();
        LoadTabHints(false, tabFile);
        if (refreshColours)
            refreshColours();
        if (wirePanels)
            wirePanels();
        LoadMotivImages();
    }
    // A new symbol text of the same length still shows its own symbols.
    for (int i = 1; i <= count; ++i)
        panels_[static_cast<size_t>(i - 1)]->SetCaption(colourText.mid(i - 1, 1));
}

void TFarbauswahl::PaintPanels(const PaletteTable& palette)
{
    for (int i = 1; i <= ColourCount(); ++i) {
        const auto c = static_cast<uint8_t>(i - 1);
        const QColor ink = palette.Contrast(c) == kWhiteLettering ? Qt::white : Qt::black;
        panels_[static_cast<size_t>(i - 1)]->SetColour(QColor(palette.Red(c), palette.Green(c), palette.Blue(c)),
                                                       ink);
    }
}

void TFarbauswahl::ShowMarking()
{
    for (ColourPanel* p : panels_)
        p->SetMarked(p->Tag() - 1 == foreground_ || p->Tag() - 1 == background_);
}

void TFarbauswahl::SetForeground(uint8_t colour)
{
    foreground_ = colour;
    ShowMarking();
}

void TFarbauswahl::SetBackground(uint8_t colour)
{
    background_ = colour;
    ShowMarking();
}

void TFarbauswahl::SetMark(PanelMark mark, uint8_t colour, bool on)
{
    if (ColourPanel* p = Panel(colour + 1))
        p->SetMarkVisible(mark, on);
}

bool TFarbauswahl::MarkShown(PanelMark mark, uint8_t colour) const
{
    const ColourPanel* p = Panel(colour + 1);
    return p && p->MarkVisible(mark);
}

bool TFarbauswahl::LoadTabHints(bool copy, const std::string& fileName)
{
    const auto hints = ReadTabHints(fileName, panels_.size());
    if (!hints)
        return false;
    for (size_t i = 0; i < hints->size(); ++i)
        panels_[i]->setToolTip(QString::fromStdString((*hints)[i]));
    if (copy) {
        const std::string own = FindExisting(tabFile);
        const std::string source = FindExisting(fileName);
        if (own != source)
            CopyFileSafely(source, own.empty() ? tabFile : own);
    }
    return true;
}

std::string TFarbauswahl::MotifFile(int n) const
{
    return motifFolder + "Motiv" + std::to_string(n) + ".BMP";
}

void TFarbauswahl::LoadMotivImages()
{
    for (int n = 1; n <= MotifCount(); ++n) {
        const QPixmap picture = LoadPicture(MotifFile(n));
        if (!picture.isNull())
            motifPanels_[static_cast<size_t>(n - 1)]->SetImage(picture);
    }
}

TFarbauswahl::MotifPress TFarbauswahl::PressMotifPanel(int n, Qt::MouseButton button, uint8_t tool,
                                                       const std::string& workBitmapFile, QLabel* foregroundImage)
{
    ColourPanel* panel = MotifPanel(n);
    if (!panel)
        return MotifPress::Nothing;
    if (button == Qt::RightButton && tool >= kFirstMotifTool && tool <= kLastMotifTool) {
        // Without a motif there is nothing worth keeping: the panel's
        // earlier motif stays.
        const std::string work = FindExisting(workBitmapFile);
        if (work.empty() || !CopyFileSafely(work, MotifFile(n)))
            return MotifPress::Nothing;
        panel->SetImage(LoadPicture(MotifFile(n)));
        return MotifPress::Stored;
    }
    const QPixmap picture = LoadPicture(MotifFile(n));
    if (picture.isNull())
        return MotifPress::Nothing;
    if (foregroundImage) {
        foregroundImage->setScaledContents(true);
        foregroundImage->setPixmap(picture);
        foregroundImage->show();
    }
    return MotifPress::Painting;
}
