#pragma once
// The centre racking check of a racking row: the racking changes in the
// middle of the stroke, once the systems have left the transfers of the
// old racking behind; the transfers after it must meet the new racking.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "check/rules/needleaction.h"

// Needles between two cam systems of the carriage for the model and its
// system count.
int CheckSystemDistance(int gauge, const std::string& model, int systemCount);
// Needles without transfer after which the racking changes.
int CentreRackingGap(int gauge);

struct CentreRackingInput {
    // The systems' action arrays in walk order (the first system leads).
    std::span<const SystemActions> systems;
    int width = 0;
    int gauge = 0;
    std::string model;
    int systemCount = 0;
    bool toRight = true;
    int currentAmount = 0;
    int newAmount = 0;
    // Place of message 15: S line and Z row.
    int32_t sLine = 0;
    int32_t zRow = 0;
};

// Writes the receive actions opposite the transfers, raises message 15 when
// no transfer follows the change (or the change never comes) and returns,
// per system, where it stood when the racking changed (none when it never
// did). Arrays shorter than W + 1: std::invalid_argument.
std::vector<std::optional<int>> CentreRackingCheck(const CentreRackingInput& in);
