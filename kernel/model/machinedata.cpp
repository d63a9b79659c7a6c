#include "kernel/model/machinedata.h"

#include <string>

#include "kernel/model/bytes.h"
#include "kernel/model/family_data.h"
#include "kernel/model/programmodel.h"

namespace {
// The smallest coupling distance of the model's group, or -1.
int SmallestCoupling(const std::string& model)
{
    if (model.empty())
        return -1;
    for (const CouplingGroup& group : kCouplingGroups) {
        for (const char* number : group.models) {
            if (number && model == number)
                return group.firstInch;
        }
    }
    return -1;
}
}  // namespace

void P_SetMaschinenDaten()
{
    std::string model = ProgrammKopf.Model();
    // The model fields start as an unknown model's (2 systems, no options)
    // and take the table's columns when the model is one of the family.
    SetModelFields(ProgrammKopf, model);
    SetGaugeFields(ProgrammKopf, ProgrammKopf.Gauge());
    int inches = SmallestCoupling(model);
    if (inches >= 0)
        put_u16(RuestSchema.data(), T_RuestSchema::kCoupling, static_cast<uint16_t>(inches));
}
