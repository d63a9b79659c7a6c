#include "lists/core/symbol_farben.h"

namespace {
struct Record {
    char c;
    uint8_t text[3];
    uint8_t background[3];
};

std::string Table(std::initializer_list<Record> records)
{
    std::string table;
    for (const Record& r : records) {
        table.push_back(r.c);
        for (uint8_t b : r.text)
            table.push_back(static_cast<char>(b));
        for (uint8_t b : r.background)
            table.push_back(static_cast<char>(b));
    }
    return table;
}

constexpr uint8_t W = 255;

std::string InitialTable()
{
    return Table({{'a', {W, W, W}, {0, 132, 0}},     {'b', {W, W, W}, {0, 0, 180}},
                  {'c', {0, 0, 0}, {240, 0, 0}},     {'d', {0, 0, 0}, {200, 0, 200}},
                  {'e', {0, 0, 0}, {120, 120, 0}},   {'f', {0, 0, 0}, {0, 160, 200}},
                  {'g', {0, 0, 0}, {168, 168, 168}}, {'h', {0, 0, 0}, {232, 232, 0}},
                  {'i', {0, 0, 0}, {116, 200, 0}},   {'j', {0, 0, 0}, {0, 252, 0}},
                  {'k', {0, 0, 0}, {244, 232, 208}}, {'l', {W, W, W}, {140, 0, 140}},
                  {'m', {0, 0, 0}, {0, 160, 252}},   {'n', {0, 0, 0}, {136, 136, 0}},
                  {'o', {0, 0, 0}, {252, 124, 148}}});
}
}  // namespace

std::string SymbolFarben = InitialTable();

std::string PatternSymbolColourTable()
{
    return Table({{'V', {W, W, W}, {0, 0, 0}},       {'O', {W, W, W}, {0, 0, 255}},
                  {'*', {W, W, W}, {255, 0, 0}},     {'(', {0, 0, 0}, {255, 0, 255}},
                  {')', {W, W, W}, {0, 255, 0}},     {'+', {0, 0, 0}, {0, 255, 255}},
                  {'/', {0, 0, 0}, {255, 255, 100}}, {'^', {0, 0, 0}, {255, 255, 255}},
                  {'<', {W, W, W}, {119, 0, 0}},     {'>', {W, W, W}, {119, 119, 119}},
                  {'=', {W, W, W}, {204, 119, 0}},   {'#', {W, W, W}, {153, 0, 153}},
                  {'I', {0, 0, 0}, {0, 187, 255}},   {'X', {W, W, W}, {136, 136, 0}},
                  {'.', {W, W, W}, {255, 126, 150}}, {'-', {W, W, W}, {0, 187, 0}},
                  {'%', {W, W, W}, {160, 80, 0}},    {'&', {0, 0, 0}, {255, 180, 0}},
                  {'$', {W, W, W}, {160, 80, 140}},  {'A', {W, W, W}, {60, 0, 128}},
                  {'B', {W, W, W}, {0, 140, 0}},     {'C', {W, W, W}, {0, 100, 0}},
                  {'D', {W, W, W}, {0, 60, 0}},      {'E', {W, W, W}, {80, 0, 80}},
                  {'F', {W, W, W}, {187, 0, 0}},     {'G', {W, W, W}, {182, 182, 0}},
                  {'H', {W, W, W}, {61, 61, 61}},    {'J', {0, 0, 0}, {255, 255, 255}},
                  {'K', {W, W, W}, {0, 128, 128}},   {'L', {W, W, W}, {0, 160, 160}},
                  {'M', {W, W, W}, {210, 50, 150}},  {'N', {0, 0, 0}, {190, 120, 120}}});
}

void SetPatternSymbolColours()
{
    SymbolFarben = PatternSymbolColourTable();
}

std::optional<SymbolColours> FindSymbolColours(const std::string& table, unsigned char c)
{
    auto rgb = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<unsigned char>(table[at])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(table[at + 1])) << 8 |
               static_cast<unsigned char>(table[at + 2]);
    };
    for (size_t at = 0; at + 7 <= table.size(); at += 7)
        if (static_cast<unsigned char>(table[at]) == c)
            return SymbolColours{rgb(at + 1), rgb(at + 4)};
    return std::nullopt;
}
