#pragma once
// The drawing tool palette "Werkzeuge": 29 small buttons in panels, the
// colour panels and two pop-up menus. It holds no logic of its own: the
// painting form that owns the tools wires the buttons when it is shown.
#include <QList>
#include <QPixmap>
#include <QWidget>
#include <cstdint>

class QFrame;
class QLabel;
class QMenu;
class QToolButton;

class TZeichenfunktionen : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 109;
    static constexpr int kClientHeight = 244;
    static constexpr int kButtonSize = 26;

    explicit TZeichenfunktionen(QWidget* parent = nullptr);

    // Shows (1) or hides (0) the window; a hidden window gives up the focus.
    // Returns the opposite of the argument.
    uint8_t F_Visible(uint8_t show);

    // The button by its component name, nullptr when there is none.
    QToolButton* Button(const QString& name) const;
    const QList<QToolButton*>& Buttons() const { return buttons_; }
    // The exclusive drawing group: pressing one releases the others, and
    // all may be up.
    const QList<QToolButton*>& ToolGroup() const { return toolGroup_; }

    QFrame* DefLinie_Panel = nullptr;
    QFrame* Zeichenfunktions_Panel = nullptr;
    QFrame* Kopieren_Panel = nullptr;
    QFrame* SonderIkon_Panel = nullptr;
    QFrame* Farbauswahl_Panel = nullptr;
    QFrame* Hintergrund_Panel = nullptr;
    QLabel* Vordergrund_Panel = nullptr;
    QLabel* MotivFill_Image = nullptr;
    QMenu* ColSchutz_PopupMenu = nullptr;
    QMenu* ColTransp_PopupMenu = nullptr;
    // The shape glyphs, outline then filled: ellipse 0/1, circle 2/3,
    // rectangle 4/5, polygon 6, rhombus 7.
    QList<QPixmap> ImageList1;
    QList<QPixmap> ImageListSim;

private:
    void CreatePanels();
    QToolButton* AddButton(QFrame* panel, int index, const char* name, const QString& hint);
    void FormCreate();
    void PressInGroup(QToolButton* pressed);

    QList<QToolButton*> buttons_;
    QList<QToolButton*> toolGroup_;
};
