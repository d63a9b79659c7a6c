#pragma once
// The set-up sheet ("Ruestblatt", "Rüstblatt"): machine model and gauge,
// the comment and the machine settings of the set-up record, one labelled
// value per row of a single page.
#include <functional>
#include <string>

#include "lists/core/setup_list_core.h"

class RustListeCore : public SetupListCore {
public:
    explicit RustListeCore(ListWindowHost& host);
    enum FieldNumber {
        Maschine = 1, Feinheit, Kommentar, WE, WA, TZ, TZUmhaengen, TZLeerreihe, LB, SZ, HF, Kamm, KL1, Kopplung,
        Umkehr, FfMin, FfMax, FfAbstand
    };
    // The columns of the pattern width and height (shown only).
    int XColumn = 0, YColumn = 0;

    // After a model or gauge store: the main window shows the header again.
    std::function<void()> HeaderChanged;
    // After a level store: the windows that show per-level values follow.
    std::function<void()> LevelChanged;

    // The coupling choices of a model's group; empty for a model in none.
    static std::string CouplingChoices(const std::string& model);

protected:
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value, const std::optional<std::string>& text,
                                         int record, int line) override;

private:
    void AddRow(int row, const std::string& caption, const std::string& hint, bool field);
    void ShowChoice(int field, const std::string& wanted, const std::string& raw);
    void ShowNumber(int field, int value);
    bool StoreModel(int entry);
    bool StoreGauge(int entry);
    void StoreCoupling(int entry);

    std::string machines_;
    // The width of the caption column: at least 120 px, more for a longer caption.
    int captionWidth_ = 0;
};
