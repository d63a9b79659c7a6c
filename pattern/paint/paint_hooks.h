#pragma once
// Points where a painting window that keeps a second picture of its cells
// (a symbol layer) would follow the painting. None of ours does: every
// operation is empty, and the rules call them where such a window needs to
// know.
#include <cstdint>

class PaintHooks {
public:
    virtual ~PaintHooks() = default;

    virtual void P_INSDELRegisteraktivieren(bool) {}
    virtual bool F_SymbolLevelfuellen(bool) { return false; }
    virtual void P_SymbolBereichInit() {}
    virtual void P_SymbolCopyLevelLoeschen() {}
    virtual void P_SymbolCopyBildtoClipBoard(int32_t, int32_t, int32_t, int32_t) {}
    virtual void P_SymbolCopyClipBoardToBild(bool, int32_t) {}
    virtual void P_SymbolCopyZuruecksetzen(bool) {}
    virtual void P_SymbolEbenenInUndoSchreiben(int32_t, int32_t, int32_t, int32_t) {}
    virtual void P_SymbolInUndoSchreiben(uint8_t, int32_t, int32_t, int32_t) {}
    virtual void P_SymbolUndoPosInc() {}
    virtual void P_SymbolUndoZurueckLesen(bool, int32_t, int32_t, int32_t, int32_t) {}
    virtual void P_SymbolUndoZurueckSetzen() {}
    virtual void P_SymbolZeilenSpaltenInsDel() {}
    virtual void P_SymbolLevelzeichnen() {}
    virtual bool F_SymbolMotiversetzen() { return false; }
    virtual void P_SymbolRandfarbeTransparent(int32_t, bool) {}
    virtual bool MotifLoadedHook(const char*) { return false; }
};
