#pragma once
// The machine lists: fixed-size byte lines 1..Count, a spare line 0, each
// line its own allocation so that its address survives growth of the list.
#include <cstdint>
#include <memory>
#include <vector>

class T_ListenVar {
public:
    explicit T_ListenVar(bool allocate = true);
    virtual ~T_ListenVar() = default;
    T_ListenVar(const T_ListenVar&) = delete;
    T_ListenVar& operator=(const T_ListenVar&) = delete;

    uint16_t LineSize() const { return lineSize_; }
    uint16_t Count() const { return count_; }
    uint16_t MaxLines() const { return maxLines_; }

    // Fills line i (clipped to MaxLines; the list grows to it) with the
    // class's defaults.
    virtual void InitLine(uint16_t i);
    void SetCount(uint16_t n);
    // Line i, clipped to 1..MaxLines; the list grows to it. A line the list
    // has already is found inline: the list handlers ask for one with
    // every field they read or write.
    uint8_t* GetLine(uint16_t i)
    {
        if (i >= 1 && i <= count_)
            return lines_[i].get();
        return GrowToLine(i);
    }
    void InsertLine(uint16_t i);
    void DeleteLine(uint16_t i);

    // Line i without growing the list: nullptr when i > Count or line i has
    // no bytes yet (line 0 before the first growth).
    const uint8_t* ExistingLine(uint16_t i) const;
    // Line i for reading, never growing the list (a check or an editor only
    // looks): line i when 1 <= i <= Count, else a scratch line holding what
    // InitLine(i) would give. A scratch line is rewritten by a later look at
    // a missing line (the last four stay apart), so nobody keeps its address.
    const uint8_t* PeekLine(uint16_t i) const;

    // All lines of the list, taken out whole: the list is left empty, and
    // the lines can be put back later, replacing what the list holds then.
    struct TakenLines {
        uint16_t count = 0;
        std::vector<std::unique_ptr<uint8_t[]>> lines;
    };
    TakenLines TakeLines();
    void PutBackLines(TakenLines&& taken);
    // Line buffers for the list's growth to take before it allocates new
    // ones (a line's bytes are set when it is initialised): a program being
    // loaded hands over the lines of the program it replaces, which spares
    // freeing them all and allocating as many again. Drop gives back what
    // was not taken.
    void SetSpareLines(TakenLines&& taken);
    void DropSpareLines();

protected:
    uint16_t lineSize_ = 1;
    uint16_t count_ = 0;
    uint16_t maxLines_ = 255;
    std::vector<std::unique_ptr<uint8_t[]>> lines_;

    uint8_t* raw(uint16_t i) { return lines_[i].get(); }
    // The class's defaults of a new line i on top of the zero fill; lines 1..i
    // that exist may be looked at (index lists number from them).
    virtual void FillDefaults(uint8_t* line, uint16_t i) const;
    // A scratch line filled with the defaults of line i.
    const uint8_t* DefaultLine(uint16_t i) const;
    // Fills a scratch line; the caller adds what differs.
    uint8_t* Scratch() const;

private:
    static constexpr int kScratchLines = 4;
    mutable std::unique_ptr<uint8_t[]> scratch_;
    mutable int nextScratch_ = 0;

    // GetLine for a line outside 1..Count.
    uint8_t* GrowToLine(uint16_t i);
    // The bytes for a new line: a spare line, or a new allocation.
    std::unique_ptr<uint8_t[]> NewLine();

    std::vector<std::unique_ptr<uint8_t[]>> spares_;
};

class T_Kelt8Liste : public T_ListenVar {
public:
    explicit T_Kelt8Liste(bool allocate = true);
};

// Several numbered sub-lists in one line sequence: every line begins with a
// u16 list number, non-zero on the line that opens a sub-list.
class T_Kelt8IndexListe : public T_Kelt8Liste {
public:
    explicit T_Kelt8IndexListe(bool allocate = true);
    uint16_t NextListNumberInit(uint16_t i) const;
    uint16_t NextListNumber(uint16_t i) const;
    uint16_t FindLineByNumber(uint16_t n);
    uint16_t ListNumber(uint16_t i) const;

    // Reading without growing: the index of the first line 1..Count numbered
    // n or above, else 0.
    uint16_t FindSubList(uint16_t n) const;
    // That line, or a scratch default line numbered n when there is none.
    const uint8_t* PeekSubList(uint16_t n) const;

protected:
    void FillDefaults(uint8_t* line, uint16_t i) const override;
};

class T_ZListe : public T_Kelt8Liste {
public:
    explicit T_ZListe(bool allocate = true);

protected:
    void FillDefaults(uint8_t* line, uint16_t i) const override;
};
class T_NListe : public T_Kelt8Liste {
public:
    explicit T_NListe(bool allocate = true);
};
class T_WListe : public T_Kelt8Liste {
public:
    explicit T_WListe(bool allocate = true);
};
class T_SListe : public T_Kelt8Liste {
public:
    explicit T_SListe(bool allocate = true);
};
class T_VListe : public T_Kelt8Liste {
public:
    explicit T_VListe(bool allocate = true);

protected:
    void FillDefaults(uint8_t* line, uint16_t i) const override;
};
class T_FListe : public T_Kelt8IndexListe {
public:
    explicit T_FListe(bool allocate = true);
};
class T_PListe : public T_Kelt8IndexListe {
public:
    explicit T_PListe(bool allocate = true);
};
class T_AListe : public T_Kelt8IndexListe {
public:
    explicit T_AListe(bool allocate = true);

protected:
    void FillDefaults(uint8_t* line, uint16_t i) const override;
};

// Line sizes of the list records.
inline constexpr uint16_t kZLineSize = 640;
inline constexpr uint16_t kFLineSize = 100;
inline constexpr uint16_t kALineSize = 98;
inline constexpr uint16_t kVLineSize = 94;
inline constexpr uint16_t kPLineSize = 100;
inline constexpr uint16_t kNLineSize = 92;
inline constexpr uint16_t kWLineSize = 98;
inline constexpr uint16_t kSLineSize = 108;

// The eight global lists, created by CreateProgramModel in the order
// Z N W S V F P A and freed in the same order.
extern T_ZListe* ZListe;
extern T_NListe* NListe;
extern T_WListe* WListe;
extern T_SListe* SListe;
extern T_VListe* VListe;
extern T_FListe* FListe;
extern T_PListe* PListe;
extern T_AListe* AListe;

// The list behind a dispatcher list number (1..7, 9), else nullptr.
T_ListenVar* ListByNumber(int number);
// Byte offset of the ShortString[80] comment of a list's line (by dispatcher
// list number), or -1.
int CommentOffset(int number);

// Creates the global lists (and clears the header, set-up record and planes).
void CreateProgramModel();
// Frees the global lists and the rows of the pattern planes.
void FreeProgramModel();
