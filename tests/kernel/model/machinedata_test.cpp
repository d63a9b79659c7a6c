// The machine data derived from the header's model and gauge.
#include <gtest/gtest.h>

#include "kernel/model/bytes.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/programmodel.h"

namespace {
void Set(const char* model, uint8_t gauge)
{
    ProgrammKopf.SetModel(model);
    ProgrammKopf.SetGauge(gauge);
    P_SetMaschinenDaten();
}

uint16_t Coupling()
{
    return get_u16(RuestSchema.data(), T_RuestSchema::kCoupling);
}
}  // namespace

TEST(MachineData, GaugeFields)
{
    Set("312", 5);
    EXPECT_EQ(ProgrammKopf.MaxUnitD(), 140);
    EXPECT_EQ(ProgrammKopf.MaxRacking(), 12);
    Set("312", 7);
    EXPECT_EQ(ProgrammKopf.MaxUnitD(), 130);
    EXPECT_EQ(ProgrammKopf.MaxRacking(), 17);
    Set("312", 0);  // no band: the limit stays
    EXPECT_EQ(ProgrammKopf.MaxUnitD(), 130);
    EXPECT_EQ(ProgrammKopf.MaxRacking(), 0);
    Set("312", 12);
    EXPECT_EQ(ProgrammKopf.MaxUnitD(), 80);
    EXPECT_EQ(ProgrammKopf.MaxRacking(), 30);
}

TEST(MachineData, ModelColumnsAndCoupling)
{
    put_u16(RuestSchema.data(), T_RuestSchema::kCoupling, 99);
    Set("844", 8);  // tandem, comb, four systems
    EXPECT_EQ(ProgrammKopf.MachineKind(), 4);
    EXPECT_TRUE(ProgrammKopf.ModelOption());
    EXPECT_TRUE(ProgrammKopf.TakeDownColumns());
    EXPECT_EQ(Coupling(), 47);
    Set("856", 8);
    EXPECT_EQ(ProgrammKopf.MachineKind(), 6);
    EXPECT_FALSE(ProgrammKopf.TakeDownColumns());
    EXPECT_EQ(Coupling(), 49);

    // A model outside every coupling group leaves the distance alone.
    Set("323", 8);
    EXPECT_EQ(ProgrammKopf.MachineKind(), 3);
    EXPECT_FALSE(ProgrammKopf.ModelOption());
    EXPECT_TRUE(ProgrammKopf.TakeDownColumns());
    EXPECT_EQ(Coupling(), 49);

    // Unknown models, parts of numbers: 2 systems, no options.
    for (const char* model : {"999", "84", "", "4 8"}) {
        Set(model, 8);
        EXPECT_EQ(ProgrammKopf.MachineKind(), 2) << model;
        EXPECT_FALSE(ProgrammKopf.ModelOption()) << model;
        EXPECT_FALSE(ProgrammKopf.TakeDownColumns()) << model;
        EXPECT_EQ(Coupling(), 49) << model;
    }
}
