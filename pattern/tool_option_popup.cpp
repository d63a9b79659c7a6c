#include "pattern/tool_option_popup.h"

#include <QToolButton>

#include "kernel/ui/forms.h"
#include "kernel/ui/translate_form.h"
#include "pattern/option_glyphs.h"
#include "pattern/tool_glyphs.h"

const char* ToolOptionPopup::PaletteButtonName(ToolOption option)
{
    switch (option) {
    case ToolOption::Slope: return "LinienStufe_SpeedButton";
    case ToolOption::LineType: return "Linienart_SpeedButton";
    case ToolOption::LineWidth: return "LinienStaerke_SpeedButton";
    case ToolOption::Outline: return "Umranden_SpeedButton";
    case ToolOption::InsertDelete: return "InsDel_SpeedButton";
    }
    return "";
}

const char* ToolOptionPopup::FormName(ToolOption option)
{
    switch (option) {
    case ToolOption::Slope: return "LokalStufen_Form";
    case ToolOption::LineType: return "LokalLinienart_Form";
    case ToolOption::LineWidth: return "LokalLinienStaerke_Form";
    case ToolOption::Outline: return "LokalUmranden_Form";
    case ToolOption::InsertDelete: return "LokalInsDel_Form";
    }
    return "";
}

ToolOptionPopup::ToolOptionPopup(ToolOption option, int columns, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), option_(option)
{
    setObjectName(FormName(option));
    const int count = ToolOptionButtonCount(option);
    for (int i = 1; i <= count; ++i) {
        QToolButton* b = AddButton(i, columns);
        connect(b, &QToolButton::clicked, this, [this, i] { ButtonClick(i); });
    }
    const int rows = (count + columns - 1) / columns;
    setFixedSize(columns * kButtonSize, rows * kButtonSize);
    TranslateForm(this);
}

QToolButton* ToolOptionPopup::AddButton(int i, int columns)
{
    auto* b = new QToolButton(this);
    b->setObjectName(QString("Option%1_SpeedButton").arg(i));
    b->setGeometry(((i - 1) % columns) * kButtonSize, ((i - 1) / columns) * kButtonSize, kButtonSize, kButtonSize);
    b->setIconSize(QSize(kToolGlyphSize - 4, kToolGlyphSize - 4));
    b->setFocusPolicy(Qt::NoFocus);
    if (option_ == ToolOption::Slope) {
        b->setText(QString::number(SlopeTag(i)));
        b->setProperty("Tag", SlopeTag(i));
        b->setCheckable(true);
        b->setChecked(i == 1);
        b->setAutoExclusive(true);
    } else {
        b->setIcon(OptionGlyph(option_, i));
        if (option_ == ToolOption::InsertDelete)
            b->setToolTip(QString::fromUtf8(InsertDeleteButtons()[static_cast<size_t>(i - 1)].hint));
    }
    buttons_.push_back(b);
    return b;
}

void ToolOptionPopup::ButtonClick(int i)
{
    const int value = option_ == ToolOption::Slope ? SlopeTag(i) : i;
    if (QWidget* palette = FindForm(toolWindowName)) {
        if (auto* target = palette->findChild<QToolButton*>(PaletteButtonName(option_))) {
            if (option_ == ToolOption::Slope)
                target->setText(buttons_[i - 1]->text());
            else
                target->setIcon(buttons_[i - 1]->icon());
            target->setChecked(false);
        }
    }
    ApplyToolOption(PaintUnitSettings(), option_, value);
    chosen_ = value;
    emit OptionChosen(option_, value);
    accept();
}
