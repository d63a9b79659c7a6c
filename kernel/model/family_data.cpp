#include "kernel/model/family_data.h"

// The 3-series are the narrower machines, the 8-series the wider ones. The
// last digit is the number of cam systems. Tandem machines couple two
// carriages and come from two systems upwards; the comb take-down is
// offered on a few single-carriage models and one tandem.
const std::array<FamilyModel, kFamilyModelCount> kFamilyModels = {{
    {"311", 1, 1, false, "3A"},
    {"312", 2, 1, false, "3B"},
    {"322", 2, 1, false, "3C"},
    {"323", 3, 1, true, "3D"},
    {"332", 2, 1, false, "3E"},
    {"333", 3, 1, true, "3F"},
    {"342", 2, 2, false, "3G"},
    {"343", 3, 2, false, "3H"},
    {"352", 2, 1, false, "3J"},
    {"364", 4, 2, false, "3K"},
    {"374", 4, 1, false, "3L"},
    {"811", 1, 1, false, "8A"},
    {"822", 2, 1, false, "8B"},
    {"823", 3, 1, true, "8C"},
    {"832", 2, 2, false, "8D"},
    {"834", 4, 1, true, "8E"},
    {"843", 3, 2, false, "8F"},
    {"844", 4, 2, true, "8G"},
    {"854", 4, 2, false, "8H"},
    {"856", 6, 2, false, "8J"},
    {"863", 3, 1, true, "8K"},
    {"876", 6, 2, false, "8L"},
}};

const char* const kDefaultModel = "843";

const std::array<const char*, kTandemModelCount> kTandemModels = {
    "342", "343", "364", "832", "843", "844", "854", "856", "876",
};

// Grouped by bed width: each tandem model is in exactly one group.
const std::array<CouplingGroup, kCouplingGroupCount> kCouplingGroups = {{
    {{"364", "844", nullptr, nullptr}, 47},
    {{"854", "856", nullptr, nullptr}, 49},
    {{"343", "843", nullptr, nullptr}, 34},
    {{"342", "832", nullptr, nullptr}, 26},
    {{"876", nullptr, nullptr, nullptr}, 51},
}};

const std::array<CombModel, kCombModelCount> kCombModels = {{
    {"323", 42},
    {"333", 44},
    {"823", 48},
    {"834", 50},
    {"844", 52},
    {"863", 46},
}};

// The six-system machines and the wide four-system tandems need the room.
const std::array<WideDistance, kWideDistanceCount> kWideDistanceModels = {{
    {"844", 4},
    {"854", 4},
    {"856", 6},
    {"876", 6},
}};
