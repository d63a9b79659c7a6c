#include "tests/kernel/tkf/tkf_testing.h"

#include <gtest/gtest.h>

#include <sstream>

#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/tkf/enginebridge.h"
#include "tests/support/test_env.h"
#include "tests/tools/programdump.h"

namespace tkftest {

uint16_t Put(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector, const Fill& fill, uint8_t system)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetSystemByte(system);
    b.SetSelector(selector);
    if (fill)
        fill(b);
    return ProgramDispatch(b);
}

ProgramCommandBlock Get(uint8_t code, uint16_t line, uint8_t selector, const Fill& fill, uint8_t system)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(0);
    b.SetLine(line);
    b.SetSystemByte(system);
    b.SetSelector(selector);
    if (fill)
        fill(b);
    ProgramDispatch(b);
    return b;
}

void SetMachine(const std::string& model, uint8_t gauge)
{
    ProgrammKopf.SetModel(model);
    SetModelFields(ProgrammKopf, model);
    ProgrammKopf.SetGauge(gauge);
    SetGaugeFields(ProgrammKopf, gauge);
    EngineBridge bridge([](ProgramCommandBlock& b) { return ProgramDispatch(b); });
    bridge.PrepareMachine(TempPfad);
    ProgramCommandBlock folder;
    folder.SetCode(204);
    folder.SetText(TempPfad);
    ProgramDispatch(folder);
}

namespace {

void Comment(uint8_t list, uint16_t line, const std::string& text)
{
    ASSERT_EQ(Put(static_cast<uint8_t>(150 + list), 2, line, 101, [&](ProgramCommandBlock& b) { b.SetText(text); }),
              0);
}

void FillS()
{
    ASSERT_EQ(Put(9, 1, 1, 9, [](ProgramCommandBlock& b) {
                  b.SetU8(9, 0);
                  b.SetU16(10, 5);
                  b.SetI16(12, -3);
                  b.SetU8(14, 1);
                  b.SetU16(16, 4);
                  b.SetU8(18, 1);
                  b.SetU16(20, 7);
                  b.SetU8(22, 1);
                  b.SetI16(24, -20);
                  b.SetU16(26, 11);
                  b.SetI16(28, -12);
                  b.SetU16(30, 13);
                  b.SetI16(32, 14);
              }),
              0);
    Comment(9, 1, "Ablauf eins");
    ASSERT_EQ(Put(9, 1, 2, 9, [](ProgramCommandBlock& b) {
                  b.SetU8(9, 1);
                  b.SetU16(10, 9999);
                  b.SetI16(12, 9999);
                  b.SetU16(16, 9999);
                  b.SetU16(26, 9999);
                  b.SetI16(28, -9999);
                  b.SetU16(30, 1);
                  b.SetI16(32, -1);
              }),
              0);
    ASSERT_EQ(Put(9, 1, 3, 9, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 2);
                  b.SetU8(22, 0);
                  b.SetI16(24, -9);
              }),
              0);
    Comment(9, 3, "Ablauf drei");
}

void FillN()
{
    ASSERT_EQ(Put(6, 1, 1, 6, [](ProgramCommandBlock& b) {
                  b.SetU8(9, 1);
                  b.SetU16(10, 10);
                  b.SetI16(12, -5);
                  b.SetU8(14, 0);
                  b.SetU16(16, 2);
              }),
              0);
    Comment(6, 1, "Einteilung");
    for (uint8_t kind = 1; kind <= 4; ++kind)
        ASSERT_EQ(Put(6, 1, static_cast<uint16_t>(kind + 1), 6, [&](ProgramCommandBlock& b) {
                      b.SetU16(10, static_cast<uint16_t>(100 * kind));
                      b.SetI16(12, static_cast<int16_t>(kind * 7));
                      b.SetU8(14, kind);
                      b.SetU16(16, 9999);
                  }),
                  0);
    Comment(6, 5, "N5");
}

void FillW()
{
    for (uint16_t line = 1; line <= 5; ++line) {
        ASSERT_EQ(Put(7, 1, line, 57, [&](ProgramCommandBlock& b) {
                      for (int k = 0; k < 8; ++k)
                          b.SetI16(size_t(10 + 2 * k), static_cast<int16_t>((k % 2 ? -1 : 1) * (line * 1000 + k)));
                  }),
                  0);
    }
    Comment(7, 2, "Wahl zwei");
}

void FillF()
{
    auto f = [](uint16_t line, uint8_t sub, uint16_t number, uint8_t lm, uint16_t lv, uint8_t rm, uint16_t rv,
                const char* colours) {
        ASSERT_EQ(Put(2, sub, line, 2, [&](ProgramCommandBlock& b) {
                      b.SetU16(10, number);
                      b.SetU8(12, lm);
                      b.SetU16(14, lv);
                      b.SetU8(16, rm);
                      b.SetU16(18, rv);
                      b.SetText(colours, 21, 32);
                  }),
                  0);
    };
    f(1, 1, 1, 1, 10, 2, 3, "VO");
    f(2, 2, 0, 2, 9999, 0, 999, "");  // continuation of sub-list 1
    f(3, 2, 0, 0, 0, 1, 5, "N");      // and another
    f(4, 1, 2, 0, 999, 2, 1, "AB");
    f(5, 1, 4, 1, 1, 0, 0, "");
    Comment(2, 1, "Festigkeit");
    Comment(2, 3, "F drei");
    Comment(2, 5, "letzte");
}

void FillZ(bool options)
{
    const int systems = ZrVar.Systems;
    for (uint16_t line = 1; line <= 4; ++line) {
        ASSERT_EQ(Put(1, 2, line, 'B', [&](ProgramCommandBlock& b) {
                      b.SetU8(9, 1);
                      b.SetU16(10, line == 1 ? 3 : 0);
                      b.SetU8(12, static_cast<uint8_t>(-static_cast<int>(line)));
                      b.SetU8(13, 2);
                  }),
                  0);
        if (line % 2 == 0) {
            ASSERT_EQ(Put(1, 2, line, 'B', [&](ProgramCommandBlock& b) {
                          b.SetU8(9, 0);
                          b.SetU8(12, 28);
                          b.SetU8(13, 3);
                      }),
                      0);
        }
        ASSERT_EQ(Put(1, 2, line, '=', [&](ProgramCommandBlock& b) {
                      b.SetU8(9, static_cast<uint8_t>(line % 4));
                      b.SetU16(10, line % 4 == 2 ? 50 : 2);
                  }),
                  0);
        if (line != 3) {
            ASSERT_EQ(Put(1, 2, line, '>', [&](ProgramCommandBlock& b) {
                          b.SetU8(9, static_cast<uint8_t>(line % 3));
                          b.SetU16(10, 100);
                      }),
                      0);
        }
        ASSERT_EQ(Put(1, 2, line, static_cast<uint8_t>(63 + line % 3)), 0);
        if (options) {
            ASSERT_EQ(Put(1, 2, line, 'C', [&](ProgramCommandBlock& b) {
                          b.SetU8(9, 'O');
                          b.SetU8(10, '.');
                          b.SetU8(11, 'C');
                          b.SetU8(12, line % 2 ? 'O' : '.');
                          b.SetU16(14, 50);
                      }),
                      0);
            ASSERT_EQ(Put(1, 2, line, 'D', [&](ProgramCommandBlock& b) {
                          b.SetU8(9, line % 2);
                          b.SetU8(10, 1);
                          b.SetU16(12, 77);
                      }),
                      0);
            ASSERT_EQ(Put(1, 2, line, 'E', [&](ProgramCommandBlock& b) { b.SetU8(9, " *12"[line % 4]); }), 0);
        }
        Comment(1, line, "Zeile " + std::to_string(line));
        for (int s = 1; s <= systems && s <= 2; ++s) {
            const auto sys = static_cast<uint8_t>(s);
            if (s == 1) {
                ASSERT_EQ(Put(1, 2, line, 'G', [&](ProgramCommandBlock& b) {
                              b.SetU8(9, 0);
                              b.SetU16(10, 2);
                          }, sys),
                          0);
            } else {
                for (uint16_t c : {1, 4, 7})
                    ASSERT_EQ(Put(1, 2, line, 'G', [&](ProgramCommandBlock& b) {
                                  b.SetU8(9, 1);
                                  b.SetU16(10, static_cast<uint16_t>(c + line % 2));
                              }, sys),
                              0);
            }
            if (options) {
                ASSERT_EQ(Put(1, 2, line, 'H', {}, sys), 0);
                ASSERT_EQ(Put(1, 2, line, 'O', [](ProgramCommandBlock& b) { b.SetU8(9, 1); }, sys), 0);
            }
            for (int side = 0; side < 2; ++side) {
                const auto sb = static_cast<uint8_t>(sys | (side ? 0x80 : 0));
                const int v = line * 10 + s * 3 + side;
                ASSERT_EQ(Put(1, 2, line, 'K', [&](ProgramCommandBlock& b) {
                              b.SetU8(9, 1);
                              b.SetU8(10, static_cast<uint8_t>(1 + v % 3));
                              b.SetU16(12, static_cast<uint16_t>(v));
                          }, sb),
                          0);
                if (side == 1) {
                    ASSERT_EQ(Put(1, 2, line, 'K', [&](ProgramCommandBlock& b) {
                                  b.SetU8(9, 0);
                                  b.SetU8(10, 3);
                                  b.SetU16(12, 240);
                              }, sb),
                              0);
                }
                ASSERT_EQ(Put(1, 2, line, 'J', [&](ProgramCommandBlock& b) {
                              const int mode = v % 3;
                              b.SetU8(9, static_cast<uint8_t>(mode));
                              b.SetI16(10, static_cast<int16_t>(mode == 1 ? -v : v));
                          }, sb),
                          0);
                ASSERT_EQ(Put(1, 2, line, 'I', [&](ProgramCommandBlock& b) { b.SetU8(9, side ? 8 : 1); }, sb), 0);
                if (side == 0) {
                    ASSERT_EQ(Put(1, 2, line, 'L', {}, sb), 0);
                }
                ASSERT_EQ(Put(1, 2, line, 'N', [&](ProgramCommandBlock& b) {
                              b.SetU8(9, 0);
                              b.SetText("VO*", 10, 32);
                          }, sb),
                          0);
                ASSERT_EQ(Put(1, 2, line, 'N', [&](ProgramCommandBlock& b) {
                              b.SetU8(9, 1);
                              b.SetText(std::string{'!', static_cast<char>(line % 6)}, 10, 32);
                          }, sb),
                          0);
                ASSERT_EQ(Put(1, 2, line, 'N', [&](ProgramCommandBlock& b) {
                              b.SetU8(9, 2);
                              b.SetText(std::string{'!', 6, static_cast<char>('A' + line), '3'}, 10, 32);
                          }, sb),
                          0);
            }
        }
    }
}

void FillP()
{
    auto p = [](uint16_t line, uint16_t number, uint8_t rail, char box, int16_t left, int16_t right) {
        ASSERT_EQ(Put(5, 1, line, 5, [&](ProgramCommandBlock& b) {
                      b.SetU16(10, number);
                      b.SetU8(12, rail);
                      b.SetU8(13, static_cast<uint8_t>(box));
                      b.SetU8(14, 2);
                      b.SetU8(15, 3);
                      b.SetI16(16, left);
                      b.SetI16(18, right);
                      b.SetText("<>", 21, 32);
                  }),
                  0);
    };
    p(1, 1, 1, 'A', 25, -25);
    p(2, 0, 8, 'H', static_cast<int16_t>(32768), 2621);
    p(3, 2, 3, ' ', -2621, 0);
    Comment(5, 1, "Position");
    Comment(5, 2, "Fortsetzung");
}

void FillA()
{
    ASSERT_EQ(Put(3, 1, 1, 3, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 1);
                  b.SetU8(12, 50);
                  b.SetU8(13, 1);
                  b.SetU8(14, 30);
                  b.SetU8(15, 102);
                  b.SetU8(16, 103);
                  b.SetU8(17, static_cast<uint8_t>(-20));
                  b.SetU16(18, 100);
                  b.SetU16(20, 200);
                  b.SetU8(22, 11);
                  b.SetU8(23, 22);
                  b.SetU8(24, 33);
                  b.SetU8(25, 44);
              }),
              0);
    Comment(3, 1, "Abzug");
    ASSERT_EQ(Put(3, 1, 2, 3, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 0);
                  b.SetU8(12, 101);
                  b.SetU8(13, 2);
                  b.SetU8(14, 100);
                  b.SetU8(15, 40);
                  b.SetU8(16, 101);
                  b.SetU8(17, 127);
                  b.SetU16(18, 10000);
                  b.SetU16(20, 10000);
              }),
              0);
    ASSERT_EQ(Put(3, 1, 3, 3, [](ProgramCommandBlock& b) {
                  b.SetU16(10, 2);
                  b.SetU8(12, 0);
                  b.SetU8(14, 101);
                  b.SetU8(15, 103);
                  b.SetU8(16, 60);
                  b.SetU8(17, 101);
                  b.SetU16(18, 10000);
                  b.SetU16(20, 10000);
              }),
              0);
    Comment(3, 3, "A drei");
}

void FillV()
{
    ASSERT_EQ(Put(4, 1, 1, 4, [](ProgramCommandBlock& b) {
                  b.SetU8(9, static_cast<uint8_t>(-5));
                  b.SetU8(10, 3);
                  b.SetU8(11, 1);
                  b.SetU8(12, 3);
                  b.SetU8(13, static_cast<uint8_t>(-100));
                  b.SetU8(14, 100);
                  b.SetU8(15, 255);
                  b.SetU8(16, 0);
              }),
              0);
    Comment(4, 1, "Versatz");
    ASSERT_EQ(Put(4, 1, 2, 4, [](ProgramCommandBlock& b) {
                  b.SetU8(9, 28);
                  b.SetU8(12, 1);
                  b.SetU8(16, 100);
              }),
              0);
}

void FillC(bool options)
{
    auto machine = [](uint8_t selector, const Fill& fill, uint16_t line = 1) {
        ASSERT_EQ(Put(12, 2, line, selector, fill), 0);
    };
    auto carrier = [](uint8_t selector, const Fill& fill) { ASSERT_EQ(Put(10, 2, 1, selector, fill), 0); };
    for (uint8_t lv : {1, 3, 8}) {
        machine(34, [&](ProgramCommandBlock& b) { b.SetU8(9, lv); });
        machine(31, [&](ProgramCommandBlock& b) { b.SetU8(9, static_cast<uint8_t>(lv * 20)); });
        machine(32, [&](ProgramCommandBlock& b) { b.SetU16(10, static_cast<uint16_t>(lv * 111)); });
        machine(33, [&](ProgramCommandBlock& b) { b.SetU16(10, static_cast<uint16_t>(lv * 1000 + 1)); });
        for (uint16_t n : {1, 2, 8})
            machine(
                12,
                [&](ProgramCommandBlock& b) {
                    b.SetU16(10, static_cast<uint16_t>(lv * 1000 + n * 11));
                    b.SetU16(12, static_cast<uint16_t>(lv * 1000 + n * 11 + 500));
                },
                n);
    }
    machine(34, [](ProgramCommandBlock& b) { b.SetU8(9, 2); });
    machine(35, [](ProgramCommandBlock& b) { b.SetU8(9, 10); });
    machine(36, [](ProgramCommandBlock& b) { b.SetU8(9, 20); });
    machine(37, [](ProgramCommandBlock& b) { b.SetU8(9, 255); });
    machine(38, [](ProgramCommandBlock& b) { b.SetU8(9, 1); });
    machine(40, [](ProgramCommandBlock& b) { b.SetText("AB", 9, 32); });
    if (ZrVar.MachineValue > 1)
        machine(44, [](ProgramCommandBlock& b) { b.SetU16(10, 47); });
    if (options)
        machine(45, {});
    carrier(20, [](ProgramCommandBlock& b) { b.SetU16(10, 7); });
    carrier(21, [](ProgramCommandBlock& b) { b.SetU16(10, 900); });
    carrier(22, [](ProgramCommandBlock& b) { b.SetU8(9, 9); });
    carrier(23, [](ProgramCommandBlock& b) {
        b.SetU8(9, 3);
        b.SetU8(10, 5);
    });
    carrier(23, [](ProgramCommandBlock& b) {
        b.SetU8(9, 8);
        b.SetU8(10, 1);
    });
    for (int rail = 1; rail <= 8; ++rail) {
        for (int box = 0; box < 8; ++box) {
            carrier(24, [&](ProgramCommandBlock& b) {
                b.SetU8(9, static_cast<uint8_t>(rail));
                b.SetU8(10, static_cast<uint8_t>('A' + box));
                b.SetU8(11, (rail + box) % 3 == 0 ? 'I' : 'N');
                b.SetU8(12, 1);
                for (int k = 0; k < 8; ++k) {
                    const int v = (rail * 8 + box + k) % 5 == 0 ? 32768 : ((k % 2 ? -1 : 1) * (rail * 60 + k * 7));
                    b.SetI16(size_t(14 + 2 * k), static_cast<int16_t>(v));
                }
            });
        }
    }
    carrier(25, [](ProgramCommandBlock& b) { b.SetText("Testprogramm"); });
}

}  // namespace

void FillProgram()
{
    const bool options = ZrVar.TakeDownColumns != 0;
    FillS();
    FillN();
    FillW();
    FillF();
    FillZ(options);
    FillP();
    FillA();
    FillV();
    FillC(options);
}

uint16_t SaveTo(const std::string& path)
{
    ProgramCommandBlock open;
    open.SetCode(99);
    open.SetSub(1);
    open.SetText(path);
    if (uint16_t rc = ProgramDispatch(open))
        return rc;
    ProgramCommandBlock save;
    save.SetCode(205);
    save.SetSub(1);
    return ProgramDispatch(save);
}

uint16_t LoadFrom(const std::string& path)
{
    ProgramCommandBlock open;
    open.SetCode(99);
    open.SetSub(0);
    open.SetText(path);
    if (uint16_t rc = ProgramDispatch(open))
        return rc;
    ProgramCommandBlock load;
    load.SetCode(205);
    load.SetSub(0);
    return ProgramDispatch(load);
}

std::string DumpLines(const std::string& letters)
{
    std::istringstream in(ProgramDump());
    std::string out, line;
    while (std::getline(in, line))
        if (!line.empty() && letters.find(line[0]) != std::string::npos)
            out += line + "\n";
    return out;
}

TkfFile::TkfFile(const std::string& path) : bytes(ReadTestFile(path))
{
    if (bytes.size() < 10)
        return;
    directory = get_u32(reinterpret_cast<const uint8_t*>(bytes.data()), 4);
    if (directory + 2 > bytes.size())
        return;
    const uint16_t n = U16(directory);
    for (uint16_t i = 0; i < n && directory + 2 + 12 * (i + 1) <= bytes.size(); ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + directory + 2 + 12 * i;
        entries.push_back({get_u16(p, 0), get_u16(p, 2), get_u32(p, 4), get_u32(p, 8)});
    }
}

const TkfFile::Entry* TkfFile::Find(uint16_t tag) const
{
    for (const Entry& e : entries)
        if (e.tag == tag)
            return &e;
    return nullptr;
}

std::string TkfFile::Record(uint16_t tag, uint32_t index, uint32_t size) const
{
    const Entry* e = Find(tag);
    if (!e || size_t(e->value) + size_t(index + 1) * size > bytes.size())
        return {};
    return bytes.substr(e->value + size_t(index) * size, size);
}

uint16_t TkfFile::U16(size_t at) const
{
    return get_u16(reinterpret_cast<const uint8_t*>(bytes.data()), at);
}

void Patch(std::string& bytes, size_t at, const std::string& with)
{
    if (bytes.size() < at + with.size())
        bytes.resize(at + with.size(), '\0');
    bytes.replace(at, with.size(), with);
}

std::string U16Bytes(uint16_t v)
{
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string U32Bytes(uint32_t v)
{
    return U16Bytes(static_cast<uint16_t>(v)) + U16Bytes(static_cast<uint16_t>(v >> 16));
}

}  // namespace tkftest
