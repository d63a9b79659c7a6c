// The picture window's drawing: geometry and scroll bars, bands into the
// kept images, scrolling by moving them, the overlays and the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "picture/form_bild_kk.h"
#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "picture/render/band_renderer.h"
#include "picture/render/clipboard_picture.h"
#include "platform/paths.h"

namespace {

void DrawOutline(QPainter& painter, const Outline& o, const QColor& colour)
{
    if (o.Empty())
        return;
    painter.setPen(Qt::NoPen);
    const int32_t left = std::max(0, o.left), right = std::min(o.right, o.clipRight - 1);
    const int32_t top = std::max(o.top, o.clipTop), bottom = std::min(o.bottom, o.clipBottom - 1);
    for (int32_t y : {o.top, o.bottom})
        if (y >= o.clipTop && y < o.clipBottom && left <= right)
            painter.fillRect(QRect(left, y, right - left + 1, 1), colour);
    for (int32_t x : {o.left, o.right})
        if (x >= 0 && x < o.clipRight && top <= bottom)
            painter.fillRect(QRect(x, top, 1, bottom - top + 1), colour);
}

QRect OutlineRect(const Outline& o)
{
    return o.Empty() ? QRect() : QRect(QPoint(o.left, o.top), QPoint(o.right, o.bottom));
}

void CopyRect(const QImage& from, QImage& to, const QRect& rect)
{
    const QRect r = rect.intersected(to.rect()).intersected(from.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(reinterpret_cast<uint32_t*>(to.scanLine(y)) + r.left(),
                    reinterpret_cast<const uint32_t*>(from.constScanLine(y)) + r.left(), static_cast<size_t>(r.width()) * 4);
}

}  // namespace

PictureGeometry TFormBildKK::Geometry(int p) const
{
    PictureGeometry g;
    g.pictureWidth = pictureWidth_;
    g.pictureHeight = pictureHeight_;
    g.cellWidth = cellWidth;
    g.cellHeight = cellHeight;
    const TFrameBildKK* pane = frames_.at(std::clamp(p, 0, PaneCount() - 1));
    g.boxWidth = pane->ShowBild->width();
    g.boxHeight = pane->ShowBild->height();
    g.bottomAnchored = bottomAnchored != 0;
    g.Update();
    return g;
}

uint32_t TFormBildKK::BackgroundRgb() const
{
    return palette().color(QPalette::Window).rgb();
}

void TFormBildKK::SetStatus(int panel, const QString& text)
{
    if (StatusBar->StatusText(panel) == text)
        return;
    StatusBar->SetStatusText(panel, text);
    emit statusChanged(panel, text);
}

void TFormBildKK::FitStatusPanels()
{
    const QString largest = QStringLiteral("%1:%2").arg(pictureWidth_).arg(pictureHeight_);
    for (int panel = 0; panel < MalStatusBar::kPanels - 1; ++panel)
        StatusBar->FitPanel(panel, largest);
}

void TFormBildKK::SetBarRange(T_MyScrollBar* bar, const ScrollRange& range)
{
    bar->setRange(range.minimum, range.maximum);
    bar->setPageStep(range.largeChange);
    bar->setEnabled(range.enabled);
    bar->setValue(range.Clamp(range.enabled ? bar->value() : 1));
    if (range.enabled && !temporaryZoom)
        bar->show();
}

void TFormBildKK::SetBarPosition(T_MyScrollBar* bar, int32_t position)
{
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
}

void TFormBildKK::UpdateScrollRanges()
{
    adjustingBars_ = true;
    lastVerPosition_ = -1;
    for (int p = 0; p < PaneCount(); ++p) {
        TFrameBildKK* pane = frames_[p];
        pane->lastHorPosition = -1;
        pane->crosshairX = pane->crosshairY = -1;
        const PictureGeometry g = Geometry(p);
        SetBarRange(pane->HorScrollBar, g.HorizontalRange());
        pane->visibleColumns = static_cast<uint16_t>(g.visibleColumns);
        pane->cellAreaWidth = static_cast<uint16_t>(g.cellAreaWidth);
        visibleRows = static_cast<uint16_t>(g.visibleRows);
        topMargin = static_cast<uint16_t>(g.topMargin);
        const QSize box = pane->ShowBild->size().expandedTo(QSize(1, 1));
        if (pane->keptImage.size() != box) {
            pane->keptImage = QImage(box, QImage::Format_RGB32);
            pane->feedbackImage = QImage();
        }
        pane->feedbackDirty = QRect();
        // What no cell covers shows the window's background.
        pane->keptImage.fill(BackgroundRgb());
    }
    // Row 1 at the bottom stays there when the view changes size.
    const bool atBottom = VerScrollBar->value() >= VerScrollBar->maximum();
    SetBarRange(VerScrollBar, Geometry(0).VerticalRange());
    if (atBottom)
        VerScrollBar->setValue(VerScrollBar->maximum());
    adjustingBars_ = false;
    lastCellX = -1;
    for (TFrameBildKK* pane : frames_)
        pane->ShowBild->update();
}

void TFormBildKK::ApplyScrollPosition(int p)
{
    firstVisibleRow = Geometry(0).FirstRowAt(VerScrollBar->value());
    lastVerPosition_ = VerScrollBar->value();
    for (int i = 0; i < PaneCount(); ++i)
        if (p == 255 || p == i) {
            frames_[i]->firstVisibleColumn = frames_[i]->HorScrollBar->value();
            frames_[i]->lastHorPosition = frames_[i]->HorScrollBar->value();
        }
    ShowViewOrigin(frames_[WidestPane()]->firstVisibleColumn, firstVisibleRow);
    if (mouseTracking && !keyboardCursor)
        CellRoutine(currentPane, 0, false, 0);
}

void TFormBildKK::RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (!redrawEnabled)
        return;
    for (int p = 0; p < PaneCount(); ++p)
        RedrawPaneCells(p, x1, y1, x2, y2);
}

void TFormBildKK::RedrawPaneCells(int p, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const PictureGeometry g = Geometry(p);
    const int32_t first = std::max(1, frames_[p]->firstVisibleColumn);
    const int32_t row = std::max(1, firstVisibleRow);
    const CellBand band = x1 == -1 ? g.WholeView(first, row) : g.Rectangle(x1, y1, x2, y2, first, row);
    if (band.Empty())
        return;
    lastCellX = -1;
    RenderBand(p, band);
}

void TFormBildKK::RenderBand(int p, const CellBand& band)
{
    TFrameBildKK* pane = frames_.at(p);
    RenderSettings s;
    s.pictureWidth = pictureWidth_;
    s.pictureHeight = pictureHeight_;
    s.cellWidth = cellWidth;
    s.cellHeight = cellHeight;
    s.gridPeriod = gridPeriod;
    s.background = BackgroundRgb();
    s.pane = p;
    if (interruptible)
        s.interrupted = [this] { return MouseCellChanged(); };
    BandRenderer renderer(*this, palette_, glyphs_);
    const BandRenderer::Result result = renderer.Render(band, s, pane->keptImage);
    if (!result.drawn)
        return;
    const QRect rect(band.leftPixel, band.topPixel, band.columns * cellWidth,
                     std::min(pane->ShowBild->height(), band.rows * cellHeight + band.topPixel) - band.topPixel);
    // A tool frame shown over the picture stays where the band left it.
    if (!pane->feedbackImage.isNull())
        CopyRect(pane->keptImage, pane->feedbackImage, rect);
    pane->ShowBild->update(rect);
    emit bandRendered(p, result.mode, band.columns, band.rows);
}

void TFormBildKK::ShiftImages(TFrameBildKK* pane, int dx, int dy, int top)
{
    for (QImage* image : {&pane->keptImage, &pane->feedbackImage}) {
        if (image->isNull())
            continue;
        const int w = pane->cellAreaWidth > 0 ? std::min<int>(pane->cellAreaWidth, image->width()) : image->width();
        const int h = image->height();
        const int bytes = static_cast<int>(sizeof(uint32_t));
        if (dx != 0) {
            const int keep = w - std::abs(dx);
            for (int y = 0; y < h && keep > 0; ++y) {
                auto* line = reinterpret_cast<uint32_t*>(image->scanLine(y));
                std::memmove(line + std::max(0, dx), line + std::max(0, -dx), static_cast<size_t>(keep) * bytes);
            }
        }
        if (dy > 0) {
            for (int y = h - 1; y - dy >= top; --y)
                std::memcpy(image->scanLine(y), image->constScanLine(y - dy), static_cast<size_t>(w) * bytes);
        } else if (dy < 0) {
            for (int y = top; y - dy < h; ++y)
                std::memcpy(image->scanLine(y), image->constScanLine(y - dy), static_cast<size_t>(w) * bytes);
        }
    }
    pane->ShowBild->update();
}

void TFormBildKK::ScrollHorizontally(int p, int32_t oldFirst)
{
    TFrameBildKK* pane = frames_[p];
    const int32_t newFirst = pane->HorScrollBar->value();
    const int32_t d = std::abs(newFirst - oldFirst);
    const int32_t shift = d * cellWidth;
    if (oldFirst == -1 || shift > pane->ShowBild->width()) {
        ApplyScrollPosition(p);
        RedrawPaneCells(p, -1, -1, -1, -1);
        return;
    }
    if (d == 0)
        return;
    ShiftImages(pane, newFirst > oldFirst ? -shift : shift, 0, 0);
    ApplyScrollPosition(p);
    const int32_t x1 = newFirst > oldFirst ? newFirst + pane->visibleColumns - d : newFirst;
    RedrawPaneCells(p, x1, firstVisibleRow, x1 + d - 1, firstVisibleRow + visibleRows - 1);
}

void TFormBildKK::ScrollVertically(int32_t oldPosition)
{
    const PictureGeometry g = Geometry(0);
    const int32_t oldFirst = oldPosition == -1 ? -1 : g.FirstRowAt(oldPosition);
    const int32_t newFirst = g.FirstRowAt(VerScrollBar->value());
    const int32_t d = std::abs(newFirst - oldFirst);
    const int32_t shift = d * cellHeight;
    if (oldFirst == -1 || !bottomAnchored || shift > g.boxHeight - g.topMargin) {
        ApplyScrollPosition();
        RedrawCells();
        return;
    }
    if (d == 0)
        return;
    // Higher rows come into view from the top: the picture moves down.
    for (TFrameBildKK* pane : frames_)
        ShiftImages(pane, 0, newFirst > oldFirst ? shift : -shift, g.topMargin);
    ApplyScrollPosition();
    const int32_t y1 = newFirst > oldFirst ? newFirst + visibleRows - d : newFirst;
    for (int p = 0; p < PaneCount(); ++p)
        RedrawPaneCells(p, frames_[p]->firstVisibleColumn, y1, pictureWidth_, y1 + d - 1);
}

void TFormBildKK::ScrollBarChange(T_MyScrollBar* bar)
{
    if (adjustingBars_)
        return;
    const bool feedback = feedbackActive_;
    if (feedback)
        FeedbackWipe();
    const TFrameBildKK* current = frames_[std::clamp(currentPane, 0, PaneCount() - 1)];
    const int32_t x = current->crosshairX, y = current->crosshairY;
    DrawCrosshair(-1, -1);
    if (bar == VerScrollBar) {
        ScrollVertically(lastVerPosition_);
    } else {
        const int p = bar->property("Tag").toInt();
        if (p >= 0 && p < PaneCount())
            ScrollHorizontally(p, frames_[p]->lastHorPosition);
    }
    if (x >= 0)
        DrawCrosshair(x, y);
    if (feedback) {
        FeedbackBegin();
        CellEvent();
    }
    lastCellX = -1;
}

void TFormBildKK::ShiftViewForNewRows(int32_t n)
{
    if (n <= 0)
        return;
    const PictureGeometry g = Geometry(0);
    if (g.visibleRows >= pictureHeight_ + n)
        return;
    adjustingBars_ = true;
    VerScrollBar->setValue(VerScrollBar->minimum());
    adjustingBars_ = false;
    const int32_t m = std::min(n, pictureHeight_ + n - g.visibleRows);
    for (TFrameBildKK* pane : frames_) {
        ShiftImages(pane, 0, m * cellHeight, g.topMargin);
        if (!pane->feedbackImage.isNull())
            pane->feedbackImage = pane->keptImage.copy();
    }
    firstVisibleRow = g.FirstRowAt(VerScrollBar->value());
    lastVerPosition_ = VerScrollBar->value();
}

void TFormBildKK::SetPictureWidth(uint16_t width)
{
    if (width == pictureWidth_)
        return;
    pictureWidth_ = width;
    FitStatusPanels();
    UpdateScrollRanges();
    ApplyScrollPosition();
    RedrawCells();
}

void TFormBildKK::SetPictureHeight(uint16_t height)
{
    SetPictureRows(height);
}

void TFormBildKK::SetPictureRows(int32_t height)
{
    if (height == pictureHeight_)
        return;
    pictureHeight_ = height;
    FitStatusPanels();
    UpdateScrollRanges();
    // Row 1 sits at the bottom: the bar starts at its end.
    adjustingBars_ = true;
    VerScrollBar->setValue(VerScrollBar->maximum());
    adjustingBars_ = false;
    ApplyScrollPosition();
    RedrawCells();
}

bool TFormBildKK::InPicture(int32_t x, int32_t y) const
{
    return x >= 1 && y >= 1 && x <= pictureWidth_ && y <= pictureHeight_;
}

void TFormBildKK::ShowBildPaint(TFrameBildKK* pane, QPainter& painter, const QRect& rect)
{
    if (!redrawEnabled)
        return;
    const QImage& shown = pane->feedbackImage.isNull() ? pane->keptImage : pane->feedbackImage;
    const QRect covered = rect.intersected(shown.rect());
    // A paint box larger than its image (before the next layout) shows background.
    if (covered != rect)
        painter.fillRect(rect, QColor::fromRgb(BackgroundRgb()));
    painter.drawImage(covered.topLeft(), shown, covered);
    PaintOverlays(pane, painter);
}

void TFormBildKK::PaintOverlays(TFrameBildKK* pane, QPainter& painter)
{
    if (markX1 != -1) {
        const PictureGeometry g = Geometry(pane->Index());
        DrawOutline(painter, g.CellOutline(markX1, markY1, markX2, markY2, pane->firstVisibleColumn, firstVisibleRow),
                    QColor::fromRgb(palette_.Argb()[kMarkedRangeColour]));
    }
    const QColor crosshair = QColor::fromRgb(palette_.Argb()[kCrosshairColour]);
    if (pane->crosshairY >= 0)
        painter.fillRect(QRect(0, pane->crosshairY, pane->ShowBild->width(), 1), crosshair);
    if (pane->crosshairX >= 0)
        painter.fillRect(QRect(pane->crosshairX, 0, 1, pane->ShowBild->height()), crosshair);
}

void TFormBildKK::UpdateOutline(int p)
{
    if (markX1 == -1)
        return;
    const Outline o = Geometry(p).CellOutline(markX1, markY1, markX2, markY2, frames_[p]->firstVisibleColumn,
                                              firstVisibleRow);
    frames_[p]->ShowBild->update(OutlineRect(o).adjusted(0, 0, 1, 1));
}

void TFormBildKK::SetMarkedRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    for (int p = 0; p < PaneCount(); ++p)
        UpdateOutline(p);
    if (x1 == -1) {
        markX1 = markY1 = markX2 = markY2 = -1;
        SetStatus(2, QString());
        return;
    }
    markX1 = std::min(x1, x2);
    markX2 = std::max(x1, x2);
    markY1 = std::min(y1, y2);
    markY2 = std::max(y1, y2);
    for (int p = 0; p < PaneCount(); ++p)
        UpdateOutline(p);
    SetStatus(2, QStringLiteral("%1:%2").arg(markX2 - markX1 + 1).arg(markY2 - markY1 + 1));
}

void TFormBildKK::CrosshairOn()
{
    crosshairOn = 1;
    for (TFrameBildKK* pane : frames_) {
        pane->crosshairX = pane->crosshairY = -1;
        pane->savedCursor = pane->ShowBild->cursor();
        pane->ShowBild->setCursor(Qt::BlankCursor);
    }
}

void TFormBildKK::CrosshairOff()
{
    DrawCrosshair(-1, -1);
    crosshairOn = 0;
    for (TFrameBildKK* pane : frames_)
        pane->ShowBild->setCursor(pane->savedCursor);
}

void TFormBildKK::UpdateCrosshairLines(int p)
{
    TFrameBildKK* pane = frames_[p];
    if (pane->crosshairY >= 0)
        pane->ShowBild->update(0, pane->crosshairY, pane->ShowBild->width(), 1);
    if (pane->crosshairX >= 0)
        pane->ShowBild->update(pane->crosshairX, 0, 1, pane->ShowBild->height());
}

void TFormBildKK::DrawCrosshair(int32_t x, int32_t y)
{
    if (x == -2) {
        const TFrameBildKK* current = frames_[std::clamp(currentPane, 0, PaneCount() - 1)];
        x = current->crosshairCopyX;
        y = current->crosshairCopyY;
        if (x < 0)
            return;
    }
    for (int p = 0; p < PaneCount(); ++p) {
        TFrameBildKK* pane = frames_[p];
        UpdateCrosshairLines(p);
        if (x == -1 || !crosshairOn) {
            pane->crosshairX = pane->crosshairY = -1;
            continue;
        }
        pane->crosshairY = y;
        pane->crosshairX = p == currentPane ? x : -1;
        pane->crosshairCopyX = x;
        pane->crosshairCopyY = y;
        UpdateCrosshairLines(p);
    }
}

void TFormBildKK::FeedbackBegin()
{
    for (TFrameBildKK* pane : frames_) {
        if (pane->feedbackImage.isNull())
            pane->feedbackImage = pane->keptImage.copy();
        if (crosshairOn)
            pane->feedbackDirty = pane->feedbackImage.rect();
    }
    feedbackActive_ = true;
}

void TFormBildKK::FeedbackWipe()
{
    for (TFrameBildKK* pane : frames_) {
        if (pane->feedbackImage.isNull() || pane->feedbackDirty.isNull())
            continue;
        CopyRect(pane->keptImage, pane->feedbackImage, pane->feedbackDirty);
        pane->ShowBild->update(pane->feedbackDirty);
        pane->feedbackDirty = QRect();
    }
}

void TFormBildKK::GrowFeedback(TFrameBildKK* pane, const QRect& rect)
{
    const QRect r = rect.intersected(pane->feedbackImage.rect());
    pane->feedbackDirty = pane->feedbackDirty.isNull() ? r : pane->feedbackDirty.united(r);
    pane->ShowBild->update(r);
}

void TFormBildKK::FeedbackFrame(int p, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (p < 0 || p >= PaneCount())
        return;
    TFrameBildKK* pane = frames_[p];
    if (pane->feedbackImage.isNull())
        pane->feedbackImage = pane->keptImage.copy();
    const Outline o = Geometry(p).CellOutline(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2),
                                              pane->firstVisibleColumn, firstVisibleRow);
    QPainter painter(&pane->feedbackImage);
    DrawOutline(painter, o, QColor::fromRgb(palette_.Argb()[kFeedbackColour]));
    GrowFeedback(pane, OutlineRect(o).adjusted(0, 0, 1, 1));
}

void TFormBildKK::FeedbackQuad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                               int32_t y4)
{
    for (int p = 0; p < PaneCount(); ++p) {
        TFrameBildKK* pane = frames_[p];
        if (pane->feedbackImage.isNull())
            pane->feedbackImage = pane->keptImage.copy();
        const QPolygon corners(QList<QPoint>{CellCentre(p, x1, y1), CellCentre(p, x2, y2), CellCentre(p, x3, y3),
                                             CellCentre(p, x4, y4)});
        QPainter painter(&pane->feedbackImage);
        painter.setPen(QColor::fromRgb(palette_.Argb()[kFeedbackColour]));
        painter.drawPolygon(corners);
        GrowFeedback(pane, corners.boundingRect().adjusted(0, 0, 1, 1));
    }
}

void TFormBildKK::FeedbackShowAndDrop()
{
    // The image stays as what the paint box shows until the layer is begun
    // again or ended; only the layer is no longer active.
    for (TFrameBildKK* pane : frames_)
        if (!pane->feedbackDirty.isNull())
            pane->ShowBild->update(pane->feedbackDirty);
    feedbackActive_ = false;
}

void TFormBildKK::FeedbackEnd()
{
    feedbackActive_ = false;
    for (TFrameBildKK* pane : frames_) {
        pane->feedbackImage = QImage();
        pane->feedbackDirty = QRect();
        pane->ShowBild->update();
    }
}

QPoint TFormBildKK::CellCentre(int p, int32_t x, int32_t y) const
{
    const PictureGeometry g = Geometry(p);
    const int32_t first = frames_[p]->firstVisibleColumn;
    return QPoint(g.CellLeft(x, first) + cellWidth / 2, g.CellTop(y, firstVisibleRow) + cellHeight / 2);
}

std::string TFormBildKK::CopyPictureToClipboard(int32_t width, int32_t rows, int32_t levels)
{
    levels = std::max(1, levels);
    const Bmp8 picture = ClipboardPicture::Copy(*this, width, rows, levels, palette_);
    rememberedLevels = levels;
    if (picture.width > 0 && picture.height > 0)
        QApplication::clipboard()->setImage(ClipboardPicture::ToImage(picture));
    if (workBitmapFile.empty())
        return {};
    return WriteBmp8(workBitmapFile, picture);
}

bool TFormBildKK::PastePictureFromClipboard(int32_t width)
{
    if (rememberedLevels < 1)
        return false;
    Bmp8 picture;
    std::string error;
    if (!workBitmapFile.empty() && std::filesystem::exists(NormalizePath(workBitmapFile))) {
        if (!ReadBmp8(workBitmapFile, picture, error))
            return false;
    } else {
        const QImage image = QApplication::clipboard()->image();
        if (image.isNull())
            return false;
        picture = ClipboardPicture::FromImage(image, palette_);
    }
    ClipboardPicture::Paste(*this, picture, width, rememberedLevels);
    return true;
}
