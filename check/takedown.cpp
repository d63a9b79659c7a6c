#include "check/takedown.h"

#include "kernel/listaccess/alistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/services/services.h"

void T_TakeDownState::reset()
{
    std::string keep;
    keep.swap(comment);
    *this = T_TakeDownState{};
    keep.clear();
    comment.swap(keep);
}

void T_TakeDownState::clearNeedleCounts()
{
    needles1 = needles2 = kNeedleCountUnset;
    value1 = pulse1 = value2 = pulse2 = kTakeDownUnset;
}

void T_TakeDownState::setLower(int32_t value)
{
    if (value < 0 || value >= kTakeDownUnset)
        return;
    lower = static_cast<uint8_t>(value);
    clearNeedleCounts();
}

void T_TakeDownState::applyLine(const uint8_t* a, bool combMachine)
{
    auto take = [](uint8_t& field, uint8_t v) {
        if (v != kTakeDownUnset)
            field = v;
    };
    take(lower, a[aline::kLowerValue]);
    take(pulse, a[aline::kLowerPulse]);
    take(pressure, a[aline::kLowerPressure]);
    const uint16_t n1 = get_u16(a, aline::kNeedleCount1);
    const uint16_t n2 = get_u16(a, aline::kNeedleCount2);
    if (n1 < kNeedleCountUnset || n2 < kNeedleCountUnset) {
        // Take-down by needle count replaces the plain lower take-down.
        lower = kTakeDownUnset;
        pulse = kTakeDownUnset;
    }
    if (n1 < kNeedleCountUnset) {
        needles1 = n1;
        value1 = a[aline::kRelativeValue1];
        pulse1 = a[aline::kRelativePulse1];
    }
    if (n2 < kNeedleCountUnset) {
        needles2 = n2;
        value2 = a[aline::kRelativeValue2];
        pulse2 = a[aline::kRelativePulse2];
    }
    if (combMachine) {
        if (a[aline::kUpperValue] != kTakeDownUnset) {
            upper = a[aline::kUpperValue];
            upperKind = a[aline::kLowerOption] <= 2 ? a[aline::kLowerOption] : 0;
        }
        take(upperCode, a[aline::kUpperPressure]);
    }
    const uint8_t len = std::min<uint8_t>(a[aline::kComment], 80);
    comment.assign(reinterpret_cast<const char*>(a + aline::kComment + 1), len);
}

namespace {

void Pad(std::string& out, int32_t value, int width)
{
    out += F_ZeroPadNum(value, width);
}

void AppendCode(std::string& out, uint8_t code)
{
    if (code == kCodeOpen)
        out += "O<>O";
    else if (code == kCodeClose)
        out += "O><O";
}

}  // namespace

void BuildTakeDownText(const T_TakeDownState& s, std::string& out)
{
    out.clear();
    out += "WA: ";
    if (s.lowerSet())
        Pad(out, s.lower, 3);
    if (s.pulse == kPulseNone) {
        out += ",*";
    } else if (s.pulse != kTakeDownUnset) {
        out += ',';
        out += F_SignedZeroPadNum(static_cast<int8_t>(s.pulse), 4);
    }
    if (s.pressure == kCodeOpen || s.pressure == kCodeClose) {
        out += ',';
        AppendCode(out, s.pressure);
    }
    const bool min = s.needles1 != kNeedleCountUnset;
    const bool max = s.needles2 != kNeedleCountUnset;
    if (min) {
        out += "MIN ";
        Pad(out, s.needles1, 4);
        out += ',';
        Pad(out, s.value1, 3);
        out += ',';
        Pad(out, s.pulse1, 3);
        if (max)
            out += ' ';
    }
    if (max) {
        out += "MAX ";
        Pad(out, s.needles2, 4);
        out += ',';
        Pad(out, s.value2, 3);
        out += ',';
        Pad(out, s.pulse2, 3);
    }
    out += "; ";

    const bool upperSet = s.upper != kTakeDownUnset;
    const bool codeSet = s.upperCode != kTakeDownUnset;
    if (upperSet || codeSet) {
        out += "WO: ";
        if (upperSet) {
            static constexpr char kSigns[] = {'+', '-', '*'};
            out += kSigns[s.upperKind <= 2 ? s.upperKind : 0];
            Pad(out, s.upper, 3);
            if (codeSet)
                out += ',';
        }
        if (s.upperCode == kCodeOpen || s.upperCode == kCodeClose)
            AppendCode(out, s.upperCode);
        else if (s.upperCode < kTakeDownUnset)
            Pad(out, s.upperCode, 3);
        out += ';';
    }

    const bool comb1 = s.comb1 != kTakeDownUnset;
    const bool comb2 = s.comb2 != kNeedleCountUnset;
    if (comb1 || comb2) {
        out += " Comb: ";
        if (comb1) {
            Pad(out, s.comb1, 3);
            out += ',';
        }
        if (comb2) {
            out += F_SignedZeroPadNum(static_cast<int16_t>(s.comb2), 3);
            out += ';';
        }
        if (out.back() == ',')
            out.back() = ';';
    }
    if (!s.comment.empty()) {
        out += " C: ";
        out += s.comment;
    }
}
