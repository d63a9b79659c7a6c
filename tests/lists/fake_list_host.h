#pragma once
// A list window without a display: a fixed-width measure, focus that runs
// the core's enter and exit handling at once, scripted dialog answers.
#include <deque>
#include <iostream>
#include <map>

#include "lists/core/list_tools.h"
#include "lists/core/list_window_core.h"

class FakeListHost : public ListWindowHost {
public:
    ListWindowCore* core = nullptr;
    int charWidth = 7;
    int clientHeight = 200;
    bool active = true;
    bool visible = true;
    bool hidden = false;
    int focusRow = 0, focusColumn = 0;
    WindowPlace place{100, 100, 250};
    int moves = 0;
    std::map<std::string, std::string> ini;
    std::deque<std::optional<int>> entryAnswers;
    std::deque<std::optional<uint32_t>> entriesAnswers;
    std::deque<std::optional<std::string>> textAnswers;
    ChoiceRequest lastRequest;
    std::string statusText;
    int beeps = 0;

    int TextWidth(const std::string& text, int) const override
    {
        return charWidth * static_cast<int>(ToU32(text).size());
    }
    bool IsVisible() const override { return visible; }
    bool CellHasFocus(int row, int column) const override
    {
        return active && row == focusRow && column == focusColumn;
    }
    void FocusCell(int row, int column) override
    {
        if (!active || !core) {
            focusRow = row, focusColumn = column;
            return;
        }
        const int oldRow = focusRow, oldColumn = focusColumn;
        focusRow = row, focusColumn = column;
        if (oldRow && !(oldRow == row && oldColumn == column))
            core->OnExit(oldRow, oldColumn);
        if (!(oldRow == row && oldColumn == column))
            core->OnEnter(row, column);
    }
    void HideWindow() override { hidden = true; }
    void CloseWindow() override {}
    void CloseMainWindow() override {}
    void SetBlinking(bool) override {}
    void ShowStatusHint(const std::string& hint) override { statusText = hint; }
    void Beep() override { ++beeps; }
    void ShowFatalMessage(const std::string& text) override { std::cerr << text << std::endl; }
    void ShowProgress(const std::string&, int) override {}
    void HideProgress() override {}
    std::optional<int> SelectEntry(const ChoiceRequest& request) override
    {
        lastRequest = request;
        return Next(entryAnswers);
    }
    std::optional<uint32_t> SelectEntries(const ChoiceRequest& request) override
    {
        lastRequest = request;
        return Next(entriesAnswers);
    }
    std::optional<std::string> EditText(const std::string&, int, int) override
    {
        return Next(textAnswers);
    }
    int ClientHeight() const override { return clientHeight; }
    WindowPlace Place() const override { return place; }
    void MoveWindow(const WindowPlace& p) override
    {
        ++moves;
        if (p.left >= 0)
            place.left = p.left;
        if (p.top >= 0)
            place.top = p.top;
        if (p.height >= 0)
            place.height = p.height;
    }
    std::vector<ScreenArea> Screens() const override { return {{0, 0, 1024, 768}}; }
    int ScreenOfWindow() const override { return 0; }
    std::string ReadPlacement(const std::string& key) const override
    {
        auto it = ini.find(key);
        return it == ini.end() ? std::string() : it->second;
    }
    void WritePlacement(const std::string& key, const std::string& value) override { ini[key] = value; }

private:
    template <class T>
    static T Next(std::deque<T>& answers)
    {
        if (answers.empty())
            return T{};
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
