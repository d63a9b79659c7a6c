#pragma once
// "Patrone" opened from the main window's menu over a 40 x 30 pattern on
// plane 0, at 4 pixels a cell, with the mouse driven cell by cell.
#include "kernel/model/workrecord.h"

#include <QApplication>
#include <QMouseEvent>
#include <QToolButton>
#include <QtTest/QTest>

#include "kernel/model/programmodel.h"
#include "pattern/form_patrone.h"
#include "pattern/zeichenfunktionen.h"
#include "picture/frame_bild_kk.h"
#include "picture/pane_paint_box.h"
#include "tests/shell/main_window_fixture.h"

class PatternWindowFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        // The Edit menu's short-cuts work while the main window is up.
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ProgrammKopf.SetWidth(40);
        ProgrammKopf.SetHeight(30);
        PatternPlane(0)->allocate(30);
        PatternPlane(0)->present = true;
        A("MnuPatronenansehen")->trigger();
        ASSERT_TRUE(QTest::qWaitFor([] { return FormPatrone && FormPatrone->firstActivation == 0; }));
        ASSERT_TRUE(QTest::qWaitForWindowActive(FormPatrone));
        FormPatrone->resize(500, 400);
        QApplication::processEvents();
        FormPatrone->SetCellSize(4);
        FormPatrone->pointerPosition = [this] { return Box()->mapToGlobal(pointer); };
        palette = FormPatrone->Zeichenfunktionen;
    }
    QWidget* Box() { return FormPatrone->Pane(0)->ShowBild; }
    // A pixel inside cell (x, y) of the first pane.
    QPoint Pixel(int32_t x, int32_t y)
    {
        const PictureGeometry g = FormPatrone->Geometry(0);
        return {g.CellLeft(x, FormPatrone->Pane(0)->firstVisibleColumn) + 1,
                g.CellTop(y, FormPatrone->FirstVisibleRow()) + 1};
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        pointer = at;
        QMouseEvent e(type, at, Box()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(Box(), &e);
    }
    void Drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
    {
        Send(QEvent::MouseMove, Pixel(x0, y0), Qt::NoButton, Qt::NoButton);
        Send(QEvent::MouseButtonPress, Pixel(x0, y0), Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseMove, Pixel(x1, y1), Qt::NoButton, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, Pixel(x1, y1), Qt::LeftButton, Qt::NoButton);
    }
    // Plane 0's byte of cell (x, y).
    uint8_t& Cell(int32_t x, int32_t y) { return PatternPlane(0)->rows[y * kPatternStride + x - 1]; }

    TZeichenfunktionen* palette = nullptr;
    QPoint pointer;
};
