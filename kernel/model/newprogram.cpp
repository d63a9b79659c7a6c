#include "kernel/model/newprogram.h"

#include <string>

#include "kernel/model/listmodel.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

namespace {
constexpr uint8_t kDefaultGauge = 8;

void EmptyPlanes()
{
    for (int p = 0; p <= 2; ++p) {
        T_Patrone* plane = PatternPlane(p);
        plane->present = false;
        plane->second = false;
        plane->release();
    }
}
}  // namespace

bool NewProgramModel()
{
    const std::string before = ProgrammKopf.Model();

    uint8_t* kopf = ProgrammKopf.data();
    ProgrammKopf.SetModel(ZrVar.DefaultModel);
    ProgrammKopf.SetGauge(kDefaultGauge);
    kopf[10] = 1;
    kopf[11] = 0;
    ProgrammKopf.SetName("");
    ProgrammKopf.SetWidth(0);
    ProgrammKopf.SetHeight(0);

    EmptyPlanes();
    for (T_ListenVar* list : {static_cast<T_ListenVar*>(ZListe), static_cast<T_ListenVar*>(NListe),
                              static_cast<T_ListenVar*>(WListe), static_cast<T_ListenVar*>(SListe),
                              static_cast<T_ListenVar*>(FListe), static_cast<T_ListenVar*>(PListe),
                              static_cast<T_ListenVar*>(AListe), static_cast<T_ListenVar*>(VListe)})
        if (list)
            list->SetCount(0);

    RuestSchema.clear();
    RuestSchema.data()[T_RuestSchema::kLevel] = 1;

    P_SetMaschinenDaten();
    EmptyPlanes();
    return ProgrammKopf.Model() != before;
}
