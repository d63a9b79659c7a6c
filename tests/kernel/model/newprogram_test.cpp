// The program model of a new program.
#include <gtest/gtest.h>

#include "kernel/model/bytes.h"
#include "kernel/model/family_data.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

TEST(NewProgram, EmptiesTheProgramAndKeepsTheDefaultMachine)
{
    ProgrammKopf.SetModel("312");
    ProgrammKopf.SetGauge(5);
    ProgrammKopf.SetName("ALT");
    ProgrammKopf.SetWidth(40);
    ProgrammKopf.SetHeight(30);
    BildEbene0.allocate(30);
    BildEbene0.present = true;
    BildEbene2.allocate(30);
    BildEbene2.present = true;
    for (T_ListenVar* list : {static_cast<T_ListenVar*>(ZListe), static_cast<T_ListenVar*>(SListe),
                              static_cast<T_ListenVar*>(PListe), static_cast<T_ListenVar*>(AListe)})
        list->GetLine(5);
    RuestSchema.data()[100] = 7;

    EXPECT_TRUE(NewProgramModel());
    EXPECT_EQ(ProgrammKopf.Model(), kDefaultModel);
    EXPECT_EQ(ProgrammKopf.Gauge(), 8);
    EXPECT_EQ(ProgrammKopf.Name(), "");
    EXPECT_EQ(ProgrammKopf.Width(), 0);
    EXPECT_EQ(ProgrammKopf.Height(), 0);
    // The machine data of the default model: a tandem model with 3 systems.
    EXPECT_EQ(ProgrammKopf.MachineKind(), 3);
    EXPECT_TRUE(ProgrammKopf.ModelOption());
    EXPECT_EQ(ProgrammKopf.MaxRacking(), 20);
    for (int p = 0; p <= 2; ++p) {
        EXPECT_FALSE(PatternPlane(p)->present) << p;
        EXPECT_EQ(PatternPlane(p)->rowCount(), 0u) << p;
    }
    for (int n : {1, 2, 3, 4, 5, 6, 7, 9})
        EXPECT_EQ(ListByNumber(n)->Count(), 0) << n;
    EXPECT_EQ(RuestSchema.data()[0], 1);
    EXPECT_EQ(RuestSchema.data()[100], 0);

    // The same machine again: nothing for the windows to close.
    EXPECT_FALSE(NewProgramModel());
}
