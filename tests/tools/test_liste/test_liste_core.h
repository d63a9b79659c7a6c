#pragma once
// The test list editor over SListe: one column of each field kind, so that
// the list window base is driven as a user meets it. Its StoreCell stores
// value and letter, shows the row again and asks for the standard text
// (the comment hands its text back); field 1 stores nothing.
#include <functional>
#include <string>

#include "lists/core/list_window_core.h"

class TestListeCore : public ListWindowCore {
public:
    explicit TestListeCore(ListWindowHost& host);

    // Called for every StoreCell with field, row, value, text (nullopt for
    // none) and line.
    std::function<void(int, int, int32_t, const std::optional<std::string>&, int)> OnStore;

protected:
    void ShowLine(int row, int line, int record) override;
    std::optional<std::string> StoreCell(int field, int row, int32_t value,
                                         const std::optional<std::string>& text, int record,
                                         int line) override;
};
