#pragma once
// The painting rules' view of a painting form: feedback frames and hints
// on the form, the tool palette's buttons and colour panels, the Edit
// menu's undo entry, the hourglass and the warning box.
#include <functional>
#include <memory>

#include <QCursor>

#include "pattern/paint/paint_view.h"

class TFormBildLevels;

class FormPaintView : public PaintView {
public:
    // undo: what the Edit menu's undo runs while bound.
    FormPaintView(TFormBildLevels& form, std::function<void()> undo);

    void FeedbackFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void ClearFeedback() override;
    void FeedbackQuad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                      int32_t y4) override;
    void SetMarkedRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void ShowCellHint(const std::string& text) override;
    void HideCellHint() override;
    void SetBusy(bool busy) override;
    void SetToolHint(const std::string& first, const std::string& second) override;
    void SetToolButtonDown(const std::string& button, bool down) override;
    void SetButtonGlyph(const std::string& button, int image) override;
    void BindUndo(bool bound) override;
    void Warning(const std::string& text) override;
    void TakeFocus() override;
    void ForegroundChanged(uint8_t colour) override;
    void BackgroundChanged(uint8_t colour) override;
    void FlagMarkChanged(ColourFlagKind kind, uint8_t colour, bool on) override;
    void P_KopierenButtonEnable(bool on) override;
    void BindMotifCommands(bool on) override;
    int MultiCopyCount(uint8_t tool) override;
    void SetCaption(const std::string& text) override;
    void PaletteChanged(const std::array<uint32_t, 256>& colours) override;
    bool ChooseFont() override;
    bool RenderText(const std::u32string& text, MotifImage& motif) override;

    // Binds the undo entry again (after another window took it).
    void RebindUndo();

private:
    TFormBildLevels& form_;
    std::function<void()> undo_;
    int busy_ = 0;
};
