#include "check/rules/centreracking.h"

#include <cmath>
#include <stdexcept>

#include "check/rules/checkmessages.h"
#include "kernel/model/family_data.h"

int CheckSystemDistance(int gauge, const std::string& model, int systemCount)
{
    for (const WideDistance& wide : kWideDistanceModels)
        if (model == wide.number && systemCount == wide.systems)
            return int(std::lrint(gauge * 9.0));
    return int(std::lrint(gauge * 6.5));
}

int CentreRackingGap(int gauge)
{
    return int(std::lrint(gauge * 7.5));
}

std::vector<std::optional<int>> CentreRackingCheck(const CentreRackingInput& in)
{
    const int w = in.width;
    const int n = int(in.systems.size());
    if (w < 0)
        throw std::invalid_argument("CentreRackingCheck: negative needle room");
    for (const SystemActions& s : in.systems)
        if (s.front.size() < size_t(w) + 1 || s.back.size() < size_t(w) + 1)
            throw std::invalid_argument("CentreRackingCheck: action arrays shorter than the needle room");

    const int distance = CheckSystemDistance(in.gauge, in.model, in.systemCount);
    const int gap = CentreRackingGap(in.gauge);
    auto inRoom = [w](int p) { return p >= 1 && p <= w; };
    auto position = [&](int t, int i) {
        return in.toRight ? t - i * distance : w + 1 - t + i * distance;
    };

    int a = in.currentAmount;
    bool hitSeen = false;
    bool changed = false;
    bool hitAfterChange = false;
    int quiet = 0;
    std::vector<std::optional<int>> changeAt(static_cast<size_t>(n));
    // The last system has passed the far end once it stands at 0 or W + 1.
    const int lastStep = w + 1 + (n > 0 ? (n - 1) * distance : 0);
    for (int t = 0; t <= lastStep; ++t) {
        bool hit = false;
        for (int i = 0; i < n; ++i) {
            const int p = position(t, i);
            if (!inRoom(p))
                continue;
            const SystemActions& s = in.systems[size_t(i)];
            if (inRoom(p + a) && s.back[size_t(p + a)] == nadel::kTransfer) {
                s.front[size_t(p)] = nadel::kReceive;
                hit = true;
            }
            if (inRoom(p - a) && s.front[size_t(p - a)] == nadel::kTransfer) {
                s.back[size_t(p)] = nadel::kReceive;
                hit = true;
            }
        }
        if (hit) {
            hitSeen = true;
            quiet = 0;
            if (changed)
                hitAfterChange = true;
        } else if (hitSeen && !changed && ++quiet >= gap) {
            changed = true;
            a = in.newAmount;
            for (int i = 0; i < n; ++i)
                changeAt[size_t(i)] = position(t, i);
        }
    }
    // A change that never came leaves the new racking unchecked just as
    // much as one without transfers after it.
    if (!hitAfterChange)
        CheckMessage(15, std::string(), {in.sLine, in.zRow});
    return changeAt;
}
