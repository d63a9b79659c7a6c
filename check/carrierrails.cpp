#include "check/carrierrails.h"

#include <algorithm>
#include <stdexcept>

#include "kernel/language/language.h"

void CarrierRails::clear()
{
    rails_ = {};
}

bool CarrierRails::place(T_ZFfMove& move, const PushSink& pushed)
{
    if (move.direction != '<' && move.direction != '>')
        throw std::runtime_error(F_TRANS("Interner Fehler:") + " " + F_TRANS("Strickrichtung"));
    if (move.rail < 1 || move.rail > kRails)
        return true;
    T_Rail& r = rails_[size_t(move.rail - 1)];
    int k = -1;
    for (int j = 0; j < r.count; ++j)
        if (r.entries[size_t(j)].id == move.id)
            k = j;
    const bool right = move.direction == '>';
    if (k < 0) {
        if (r.count >= kCarriersPerRail)
            return false;
        if (right) {
            k = r.count;
        } else {
            for (int j = r.count; j > 0; --j)
                r.entries[size_t(j)] = r.entries[size_t(j - 1)];
            k = 0;
        }
        ++r.count;
        T_RailEntry& e = r.entries[size_t(k)];
        e = T_RailEntry{};
        e.home = right ? 'L' : 'R';
        e.id = move.id;
        // A new carrier stands where its stroke begins.
        e.position = right ? move.start : move.end;
    }
    T_RailEntry& e = r.entries[size_t(k)];
    auto far = [](int v) { return v > kCarrierFar || v < -kCarrierFar; };
    if (far(move.start))
        move.start = e.position;
    if (far(move.end))
        move.end = e.position;
    e.position = right ? move.end : move.start;
    e.lastDirection = move.direction;
    e.target = static_cast<uint16_t>(e.position);

    // Carriers do not pass each other: the ones ahead give way.
    if (right) {
        for (int j = k + 1; j < r.count; ++j) {
            T_RailEntry& n = r.entries[size_t(j)];
            const int least = r.entries[size_t(j - 1)].position + kCarrierSpacing;
            if (n.position >= least)
                break;
            n.position = static_cast<int16_t>(std::min(least, 32767));
            if (pushed)
                pushed(n);
        }
    } else {
        for (int j = k - 1; j >= 0; --j) {
            T_RailEntry& n = r.entries[size_t(j)];
            const int most = r.entries[size_t(j + 1)].position - kCarrierSpacing;
            if (n.position <= most)
                break;
            n.position = static_cast<int16_t>(std::max(most, -32768));
            if (pushed)
                pushed(n);
        }
    }
    return true;
}

void CarrierRails::clearTarget(uint8_t rail, uint8_t id)
{
    if (rail < 1 || rail > kRails)
        return;
    T_Rail& r = rails_[size_t(rail - 1)];
    for (int j = 0; j < r.count; ++j)
        if (r.entries[size_t(j)].id == id)
            r.entries[size_t(j)].target = kNoTarget;
}
