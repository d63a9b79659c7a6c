#pragma once
// The knitting scheme editor ("Z_Liste", "Strickschema"): one course per
// block of cells, a column per knitting system mirrored around the yarn
// carrier row, and the machine functions beside them. Colour and carrier
// cells change their kind with what they hold.
#include <vector>

#include "lists/core/list_editor_core.h"

class ZListeCore : public ListEditorCore {
public:
    // What a field edits; the offset is within the side record for the side
    // fields, within the system record for the middle row, else within the
    // line.
    enum class Role {
        ListNumber, Colour, Density, Lock, PatternRow, Back, Carrier, SystemChoice, Racking, Transfer,
        TakeDown, FastRun, Speed, LineChoice, Delay, Scissors, Comment
    };
    struct FieldRole {
        Role role = Role::ListNumber;
        int column = 0;  // system column 1..N, 0 outside them
        int side = 0;    // 1 or 2 on a side, 0 elsewhere
        int offset = 0;
    };

    explicit ZListeCore(ListWindowHost& host);

    // Knitting systems shown and whether the comb, clamp and scissors rows
    // exist: read once, when the window is made.
    int Systems() const { return systems_; }
    bool CombRows() const { return comb_; }
    const FieldRole& RoleOf(int field) const { return roles_[static_cast<size_t>(field)]; }
    // The field of a system column's cell (side 0: the middle row).
    int FieldAt(int column, int side, Role role, int offset) const;
    // The system slot 1..N that system column k shows on a line.
    int Slot(int line, int column) const;
    int Kommentar = 0;

    // Colours the cells of the system the test or simulation knits: low
    // byte the system number s (column N + 1 - s), bit 8 set for side 1.
    // The stitch density editor then follows that side.
    void SetCellColour(int row, int system, uint32_t rgb) override;

protected:
    void ShowFields(int row, int line) override;
    bool StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text) override;
    void NormaliseLine(uint8_t* p) const override;
    void AdjustFieldKind(int line, int field, int row) override;
    bool InsertDeleteKey(int field, int row, char32_t c, int key) override;
    void CellTextChanged(int line, int field, int row, const std::string& text) override;
    void OpenLinkedList(int line, int field) override;

private:
    int AddCell(const std::string& caption, int x, int top, int width, bool field, CellAlignment alignment);
    int AddField(FieldRole role, const std::string& caption, int x, int top, int width, int kind,
                 const std::string& characters, int maximum, int digits, const std::string& mask = {});
    void DefineSystemColumn(int k, int x);
    void DefineMachineBlock(int x);
    // The bytes a field of a system column edits on a line.
    size_t Base(int line, const FieldRole& r) const;
    void ShowField(int row, int line, int field, const uint8_t* p);
    void ShowColour(int row, int field, uint32_t set, uint32_t lock);
    void ShowCarrier(int row, int field, uint16_t pNumber, uint8_t set);
    void SetColourKind(int field, bool symbols);
    void SetCarrierKind(int field, bool set);
    bool StoreRacking(uint8_t* p, int field, int32_t value, const std::string& letter);
    int RackingLine(int line) const;
    int TakeDownList(int line) const;
    int DensityList(int line, int field) const;

    int systems_ = 1;
    bool comb_ = false;
    int directionColumn_ = 0;
    std::vector<FieldRole> roles_{FieldRole{}};
    std::vector<EditFieldDef> pending_;
};
