#pragma once
// The racking statements of a module: "RV" (racking entry 1) and "MV"
// (entry 2) of the current Z line, given directly ("RV=R3,U1"), as a line
// of the racking (V) list ("RV=V2"), or through the V list line that holds
// the racking or is made for it ("RV=V,R3,U1").
#include <cstdint>
#include <string>

class ZLineWriter;
struct t_modulset_info;

// 0 or an error code. A bad number in the "V", "L" or "R" items gives the
// position of its first bad character as the code.
int32_t RackingStatement(bool entry1, const std::string& value, const ZLineWriter& z, t_modulset_info& info);
