#include "pattern/zeichenfunktionen.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include "kernel/ui/translate_form.h"
#include "pattern/tool_glyphs.h"
#include "pattern/tool_title_bar.h"

namespace {

constexpr int kColumns = 4;
constexpr int kLeftMargin = 2;
constexpr int kColourPanelHeight = 36;

struct ButtonSpec {
    const char* name;
    const char* hint;
    // 1: the exclusive drawing group; 0: a toggle of its own; -1: a plain button.
    int group;
};

// The shape buttons draw the outline with the left button and fill with the
// right one, so their hints name the outline first.
const ButtonSpec kZeichen[] = {
    {"SpeedButton2", "", 1},
    {"Ellipse_SpeedButton", "\"LT\" Rahmen\u00bf\"RT\" Gef\u00fcllte Ellipse", 1},
    {"KreisVoll_SpeedButton", "\"LT\" Rahmen\u00bf\"RT\" Gef\u00fcllter Kreis", 1},
    {"RechteckVoll_SpeedButton", "\"LT\" Rahmen\u00bf\"RT\" Gef\u00fclltes Rechteck", 1},
    {"Polygon_SpeedButton", "\"LT\" Vieleck\u00bf\"RT\" Rombe", 1},
    {"Bogen_SpeedButton", "Bogen", 1},
    {"LinieEndlos_SpeedButton", "Endloslinie", 1},
    {"Linie_SpeedButton", "Linie", 1},
    {"Spray_SpeedButton", "Spr\u00fchdose", 1},
    {"Fuellen_SpeedButton", "F\u00fcllen", 1},
    {"FreiHand_SpeedButton", "Pinsel", 1},
    {"SpeedButton6", "", -1},
    {"InsDel_SpeedButton", "Zeilen oder Spalten: einf\u00fcgen oder l\u00f6schen", 1},
    {"Umranden_SpeedButton",
     "Umranden mit Vordergrundfarbe auf Transparentfarbe (um gesch\u00fctze Farben herum)", 1},
    {"Letter_SpeedButton", "\"LT\"neuen Text schreiben\u00bf\"RT\" Textformat \u00e4ndern", 1},
};
const ButtonSpec kLinie[] = {
    {"LinienStufe_SpeedButton", "Liniensteigung", 0},
    {"LinienStaerke_SpeedButton", "Strichst\u00e4rke", 0},
    {"Linienart_SpeedButton", "Linienart", 0},
};
const ButtonSpec kKopieren[] = {
    {"BereichMarkieren_SpeedButton", "\"LT\" Bereich definieren\u00bf\"RT\" Bereich l\u00f6schen", 1},
    {"Bewegen_SpeedButton", "Motiv bewegen", 1},
    {"Kopieren_SpeedButton", "\"LT\"Motiv kopieren\u00bf\"RT\" Motiv mehrfach kopieren", 1},
    {"RasterKopie_SpeedButton", "Motiv im Raster kopieren", 1},
};
const ButtonSpec kSonder[] = {
    {"GrosserCursor_SpeedButton", "\"LT\" Zwischen gro\u00dfem Cursor und normalem Cursor umschalten", -1},
    {"Lineal_SpeedButton", "Bereich abmessen", 1},
    {"BildRaster_SpeedButton", "Darstellung mit Raster ", -1},
};
const ButtonSpec kFarbe[] = {
    {"FarbeTauschen_SpeedButton", "\"LT\" Hintergrundfarbe\u00bf\"RT\" Motiv ist Hintergrundfarbe", 1},
    {"ColPipette_SpeedButton", "Farbe als aktuelle Farbe aus Bild aufnehmen", 1},
    {"ColSchutz_SpeedButton", "\"LT\" Farben vor \u00dcberschreiben sch\u00fctzen\u00bf\"RT\" Popup-Men\u00fc", 1},
    {"ColTransp_SpeedButton",
     "\"LT\" Farben transparent schalten (wird nicht mitkopiert)\u00bf\"RT\" Popup-Men\u00fc", 1},
};

const char* const kPopupItems[] = {"Ausschalten", "Einschalten", "L\u00f6schen", "Umkehren"};

QFrame* NewPanel(QWidget* parent, const char* name, int top, int rows)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setGeometry(0, top, TZeichenfunktionen::kClientWidth, rows * TZeichenfunktionen::kButtonSize);
    return panel;
}

QColor Colour(int r, int g, int b)
{
    return QColor(r, g, b);
}

void Paint(QWidget* w, const QColor& colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

template <size_t N>
int Rows(const ButtonSpec (&)[N])
{
    return static_cast<int>((N + kColumns - 1) / kColumns);
}

}  // namespace

TZeichenfunktionen::TZeichenfunktionen(QWidget* parent)
    : QWidget(parent, ToolTitleBar::WindowFlags())
{
    setObjectName("Zeichenfunktionen");
    setWindowTitle("Werkzeuge");
    setFixedSize(kClientWidth, ToolTitleBar::BarHeight() + kClientHeight);
    new ToolTitleBar(this);
    // The tools act on the painting window, which keeps the keyboard.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    CreatePanels();
    FormCreate();
}

QToolButton* TZeichenfunktionen::AddButton(QFrame* panel, int index, const char* name, const QString& hint)
{
    auto* b = new QToolButton(panel);
    b->setObjectName(name);
    b->setGeometry(kLeftMargin + (index % kColumns) * kButtonSize, (index / kColumns) * kButtonSize, kButtonSize,
                   kButtonSize);
    b->setIconSize(QSize(kToolGlyphSize - 4, kToolGlyphSize - 4));
    b->setIcon(ToolGlyph(name));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    buttons_.push_back(b);
    return b;
}

void TZeichenfunktionen::CreatePanels()
{
    int top = ToolTitleBar::BarHeight();
    const auto fill = [&](QFrame*& panel, const char* panelName, const auto& specs) {
        panel = NewPanel(this, panelName, top, Rows(specs));
        top += panel->height();
        int i = 0;
        for (const ButtonSpec& s : specs) {
            QToolButton* b = AddButton(panel, i++, s.name, QString::fromUtf8(s.hint));
            b->setCheckable(s.group >= 0);
            if (s.group == 1) {
                toolGroup_.push_back(b);
                connect(b, &QToolButton::toggled, this, [this, b](bool on) {
                    if (on)
                        PressInGroup(b);
                });
            }
        }
    };
    fill(DefLinie_Panel, "DefLinie_Panel", kLinie);
    fill(Zeichenfunktions_Panel, "Zeichenfunktions_Panel", kZeichen);
    fill(Kopieren_Panel, "Kopieren_Panel", kKopieren);
    fill(SonderIkon_Panel, "SonderIkon_Panel", kSonder);
    fill(Farbauswahl_Panel, "Farbauswahl_Panel", kFarbe);
    Button("LinienStufe_SpeedButton")->setIcon(QIcon());
    Button("LinienStufe_SpeedButton")->setText("11");

    Hintergrund_Panel = new QFrame(this);
    Hintergrund_Panel->setObjectName("Hintergrund_Panel");
    Hintergrund_Panel->setGeometry(0, top, kClientWidth, kColourPanelHeight);
    Hintergrund_Panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Hintergrund_Panel->setToolTip("aktuelle Hintergrundfarbe  (beim Kopieren Transparentfarbe)");
    Paint(Hintergrund_Panel, Colour(0, 128, 0));
    Vordergrund_Panel = new QLabel("a", Hintergrund_Panel);
    Vordergrund_Panel->setObjectName("Vordergrund_Panel");
    Vordergrund_Panel->setProperty("Tag", -1);
    Vordergrund_Panel->setAlignment(Qt::AlignCenter);
    Vordergrund_Panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Vordergrund_Panel->setGeometry(6, 6, 60, kColourPanelHeight - 12);
    // The panel keeps its symbol letter untranslated, its hint not.
    SetTranslatedHint(Vordergrund_Panel,
                      QString::fromUtf8("\"LT\"Vordergrundfarbe aktivieren\u00bf\"RT\" Motiv als Vordergrundfarbe definieren"));
    Paint(Vordergrund_Panel, Colour(0, 255, 255));
    MotivFill_Image = new QLabel(Vordergrund_Panel);
    MotivFill_Image->setObjectName("MotivFill_Image");
    MotivFill_Image->setGeometry(Vordergrund_Panel->rect().adjusted(2, 2, -2, -2));
    MotivFill_Image->hide();

    for (QMenu** menu : {&ColSchutz_PopupMenu, &ColTransp_PopupMenu}) {
        *menu = new QMenu(this);
        for (const char* item : kPopupItems)
            (*menu)->addAction(QString::fromUtf8(item));
    }
    ColSchutz_PopupMenu->setObjectName("ColSchutz_PopupMenu");
    ColTransp_PopupMenu->setObjectName("ColTransp_PopupMenu");
}

void TZeichenfunktionen::FormCreate()
{
    TranslateForm(this);
    move(0, y());
    for (int i = 0; i < 8; ++i)
        ImageList1.push_back(ShapeGlyph(i));
    ImageListSim = {QPixmap(), QPixmap(), ToolGlyph("BildRaster_SpeedButton")};
}

void TZeichenfunktionen::PressInGroup(QToolButton* pressed)
{
    for (QToolButton* b : toolGroup_)
        if (b != pressed && b->isChecked())
            b->setChecked(false);
}

QToolButton* TZeichenfunktionen::Button(const QString& name) const
{
    for (QToolButton* b : buttons_)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

uint8_t TZeichenfunktionen::F_Visible(uint8_t show)
{
    if (show) {
        setVisible(true);
    } else {
        if (QWidget* f = focusWidget(); f && f->hasFocus())
            f->clearFocus();
        setVisible(false);
    }
    return show ? 0 : 1;
}
