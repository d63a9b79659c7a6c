#pragma once
// The colour window "Farben" beside the tool palette: one panel per colour
// of the painting form (its symbol as caption) to pick the foreground
// (left button) and background colour (right button) and to mark colours
// protected or transparent; a page of motif panels to paint with or to store
// motifs in. It holds no painting state of its own: the painting form
// connects its signals and sets colours, marks and texts. It is only shown
// and hidden; closing is refused.
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pattern/colour_panel.h"
#include "pattern/core/colour_grid_layout.h"

class PaletteTable;
class QLabel;
class QScrollArea;
class QTabWidget;

class TFarbauswahl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPanelSize = 26;  // the template panel's sides
    static constexpr uint8_t kDefaultForeground = 0;
    static constexpr uint8_t kDefaultBackground = 6;

    explicit TFarbauswahl(QWidget* parent = nullptr);
    // Writes the placement when a key is set.
    ~TFarbauswahl() override;

    // Shows (1) or hides (0) the window; returns the opposite.
    uint8_t F_Visible(uint8_t show);

    // --- what the painting form sets
    // Character i stands for colour i - 1; its length is the panel count.
    // The grid follows at the next showing (or BuildColourGrid).
    QString colourText;
    // Where the motif files "Motiv<n>.BMP" are.
    std::string motifFolder;
    // The program's own ".TAB" file (the executable's name + ".TAB" in the
    // program folder).
    std::string tabFile;
    // The INI key of the placement in section "Windows"; empty: not kept.
    std::string iniKey;
    // Called at the end of every rebuild: paint the panels from the
    // palette (PaintPanels), and wire them.
    std::function<void()> refreshColours;
    std::function<void()> wirePanels;
    // The screen the grid is laid out for; empty: the window's own.
    std::optional<ScreenRect> layoutScreen;

    // Lays the panels out again when the colour count changed; always takes
    // the captions from colourText.
    void BuildColourGrid();
    // Panel i takes palette colour i - 1, its caption and marks the
    // colour's contrast (white or black).
    void PaintPanels(const PaletteTable& palette);

    // Moves the foreground or background marking to the panel of the colour;
    // a colour without a panel marks none.
    void SetForeground(uint8_t colour);
    void SetBackground(uint8_t colour);
    uint8_t Foreground() const { return foreground_; }
    uint8_t Background() const { return background_; }
    // Shows or hides the mark on the colour's panel, when there is one.
    void SetMark(PanelMark mark, uint8_t colour, bool on);
    bool MarkShown(PanelMark mark, uint8_t colour) const;

    // The hints of the panels from a ".TAB" file; false when it does not
    // exist. With copy the file then goes beside the program as its own.
    bool LoadTabHints(bool copy, const std::string& fileName);
    // Every motif panel whose file exists shows it.
    void LoadMotivImages();
    std::string MotifFile(int n) const;

    // A motif panel pressed: with the right button while a motif tool (27,
    // 28, 29) runs, the work bitmap is stored as the panel's motif file
    // and shown ("Motiv speichern"); otherwise an existing motif file is
    // shown in the foreground image ("Mit Motiv malen") and Painting comes
    // back, with the file: the painting form then paints with the motif.
    enum class MotifPress { Nothing, Stored, Painting };
    MotifPress PressMotifPanel(int n, Qt::MouseButton button, uint8_t tool, const std::string& workBitmapFile,
                               QLabel* foregroundImage);

    int ColourCount() const { return static_cast<int>(panels_.size()); }
    int MotifCount() const { return static_cast<int>(motifPanels_.size()); }
    // From 1; nullptr past the end.
    ColourPanel* Panel(int i) const;
    ColourPanel* MotifPanel(int n) const;
    const ColourGridLayout& Layout() const { return layout_; }

    QTabWidget* FAPageControl = nullptr;
    QWidget* Farbe_TabSheet = nullptr;
    QWidget* Motiv_TabSheet = nullptr;
    QScrollArea* Farbe_ScrollBox = nullptr;
    QScrollArea* Motiv_ScrollBox = nullptr;

signals:
    // Colour panel i (colour i - 1), or one of its marks, pressed.
    void ColourPanelPressed(int panel, Qt::MouseButton button);
    void MotifPanelPressed(int n, Qt::MouseButton button);
    void PageChanged(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The main window closing ends the program, and this window with it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    QWidget* AddPage(const char* sheet, const char* scrollBox, const char* caption, QScrollArea** box);
    void MakePanels(int count);
    ColourGridLayout LayOut(int count) const;
    void ShowMarking();
    void SizeToGrid();

    std::vector<ColourPanel*> panels_;
    std::vector<ColourPanel*> motifPanels_;
    ColourGridLayout layout_;
    uint8_t foreground_ = kDefaultForeground;
    uint8_t background_ = kDefaultBackground;
    QWidget* colourGrid_ = nullptr;
    QWidget* motifGrid_ = nullptr;
    bool programEnding_ = false;
};
