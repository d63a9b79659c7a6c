#include "text_fakes.h"

#include <algorithm>

#include "textedit/core/my_string_list.h"

RecordingTextView::RecordingTextView(int32_t columns, int32_t rows) : columns(columns), rows(rows) {}

TextViewGeometry RecordingTextView::Geometry() const
{
    TextViewGeometry g;
    g.firstColumn = firstColumn;
    g.columns = columns;
    g.topLine = topLine;
    g.rows = rows;
    g.pageStep = rows - 1;
    g.vertMax = lines_ ? std::max(0, lines_->Count() - rows) : 0;
    return g;
}

void RecordingTextView::RedrawTextRows(int32_t firstColumn, int32_t firstLine, int32_t lastLine, int32_t lastColumn)
{
    redraws.push_back(RedrawRequest{firstColumn, firstLine, lastLine, lastColumn});
}
