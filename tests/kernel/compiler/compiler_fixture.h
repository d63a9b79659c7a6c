#pragma once
// Passes 1 and 2 of the script compiler, prepared as the compile driver
// prepares them: lists 1 to 12 cleared, the text handed over, a fresh
// compiler record, no module sets, the statement file in the test's
// temporary folder.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "kernel/compiler/compilerblock.h"
#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/headerpass.h"
#include "kernel/compiler/modulesets.h"
#include "kernel/compiler/statementfile.h"
#include "kernel/compiler/statementpass.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

// The three-digit number of the first model with 2 cam systems ("M2").
inline std::string M2()
{
    for (int pos = 1; size_t(pos) + 3 <= ZrVar.ModelTable.size(); pos += 4) {
        if (ModelColumnChar(1, pos) == '2')
            return ZrVar.ModelTable.substr(size_t(pos) - 1, 3);
    }
    return {};
}

// The lines joined by CR LF (or by LF), a line end after the last.
inline std::string Script(std::initializer_list<std::string> lines, const char* end = "\r\n", bool lastEnd = true)
{
    std::string text;
    size_t i = 0;
    for (const std::string& line : lines) {
        text += line;
        if (++i < lines.size() || lastEnd)
            text += end;
    }
    return text;
}

// "MODULSET TEST;" / "BEGIN" / "$ZR_TYP=M2;" / the lines / "END;".
inline std::string Header(std::initializer_list<std::string> lines)
{
    std::string text = Script({"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + M2() + ";"});
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text + "END;\r\n";
}

inline std::string Hex(const uint8_t* bytes, size_t n)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        if (i)
            out += ' ';
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

struct CompileError {
    int32_t code;
    int line;
    int column;
    std::string token;
    std::string value;
    bool operator==(const CompileError&) const = default;
};

inline void PrintTo(const CompileError& e, std::ostream* os)
{
    *os << "{" << e.code << ", (" << e.line << ", " << e.column << "), \"" << e.token << "\", \"" << e.value
        << "\"}";
}

class CompilerPasses : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramCommandBlock clear = CompilerBlock(206, 0, 0, 0);
        ProgramDispatch(clear);
        ZrVar.Level = 1;
        ZrVar.StatementFile = TempPfad + "STR_PHS6.TMP";
        ZrVar.ModuleSetsPresent = 0;
        ZrVar.ModuleSets.clear();
        ZrVar.ModuleSetCursor = -1;
        ZrVar.WorkFlags = {};
        ZrVar.ModulsetInfo = std::make_shared<t_modulset_info>();
        ZrVar.Statements.reset();
    }
    void TearDown() override
    {
        FreeModuleSets();
        ZrVar.Statements.reset();
        ZrVar.ModulsetInfo.reset();
    }

    // Pass 1 alone.
    int32_t Pass1(const std::string& text)
    {
        ZrVar.ScriptText = text;
        return ParseScriptHeader();
    }
    // Passes 1 and 2, with the statement file created between them.
    int32_t Passes(const std::string& text)
    {
        if (int32_t e = Pass1(text))
            return e;
        auto file = std::make_shared<StatementFile>();
        if (!file->Create(ZrVar.StatementFile))
            return ZrVar.ErrorCode = 303;
        ZrVar.Statements = file;
        return BuildStatementFile();
    }
    // The error as the report would show it.
    static CompileError Error()
    {
        return {ZrVar.ErrorCode, ZrVar.ErrorLine, ZrVar.ErrorColumn, ZrVar.ErrorToken, ZrVar.ErrorValue};
    }
    static t_modulset_info& Rec() { return *ZrVar.ModulsetInfo; }
    // The first n bytes of a list line, as hex.
    static std::string Line(T_ListenVar* list, uint16_t line, size_t n)
    {
        if (line > list->Count())
            return "(none)";
        return Hex(list->GetLine(line), n);
    }
    static uint16_t Setup16(size_t off) { return get_u16(RuestSchema.data(), off); }
};
