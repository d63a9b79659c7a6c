#pragma once
// The machine program file's container: a little-endian tagged image-file
// layout ("II", 42, first directory offset) with the two bytes "GH" behind
// the header, tag data blocks, then a directory of 12-byte entries. Written
// and read through the unit stream (kernel/stream.h).
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace tkf {

// Header tags.
constexpr uint16_t kTagEnd = 1;
constexpr uint16_t kTagComment = 270;
constexpr uint16_t kTagSoftware = 305;
constexpr uint16_t kTagDateTime = 306;
constexpr uint16_t kTagArtist = 315;
constexpr uint16_t kTagHost = 316;
constexpr uint16_t kTagFamily = 32768;
constexpr uint16_t kTagFormat = 32769;
constexpr uint16_t kTagModelHundreds = 32770;
constexpr uint16_t kTagModelRest = 32771;
constexpr uint16_t kTagGauge = 32772;
constexpr uint16_t kTagSystems = 32773;
constexpr uint16_t kTagReserved = 32774;
constexpr uint16_t kTagRights = 33432;

// List sections.
constexpr uint16_t kTagSList = 34816;
constexpr uint16_t kTagNList = 34817;
constexpr uint16_t kTagWList = 34818;
constexpr uint16_t kTagFList = 34819;
constexpr uint16_t kTagZList = 34821;
constexpr uint16_t kTagPList = 34822;
constexpr uint16_t kTagAList = 34823;
constexpr uint16_t kTagVList = 34824;
constexpr uint16_t kTagCList = 34825;
constexpr uint16_t kTagSpecial = 34827;
constexpr uint16_t kTagComments = 34828;

// Pattern file names of planes 0, 2 and 1.
constexpr uint16_t kTagPattern1 = 34832;
constexpr uint16_t kTagPattern2 = 34833;
constexpr uint16_t kTagPattern3 = 34834;

// Entry types.
constexpr uint16_t kTypeAscii = 2;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeSection = 22;

constexpr uint16_t kMagic = 0x4949;   // "II"
constexpr uint16_t kVersion = 42;
constexpr uint16_t kMarker = 0x4847;  // "GH"
constexpr uint32_t kHeaderSize = 10;
constexpr uint32_t kEntrySize = 12;
constexpr uint16_t kMaxEntries = 30;
constexpr uint32_t kBlockSize = 368;

constexpr const char* kSoftwareText = "Listeneditor - V2.13";
constexpr const char* kHostText = "SKREL - MSW 2.06";
constexpr const char* kFamilyText = "Keltaris RK";
constexpr const char* kRightsText = "Copyright (c) Zorit. All rights reserved.";

}  // namespace tkf

// One directory entry as it stands in the file.
struct TkfEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    uint32_t value = 0;
};

// The type a tag is written with; 0 for a tag the file does not know.
uint16_t TkfTagType(uint16_t tag);

// On an empty stream: writes the file header and clears the directory buffer
// (the tag itself is not entered). Otherwise enters the tag; a full buffer
// goes out as a directory block first. With close set the entry is entered
// and then the buffer is written as the last block, so the closing tag always
// stands in the directory. A tag the file does not know is entered without a
// type and reported.
void TkfAddTag(uint16_t tag, uint32_t count, uint32_t value, bool close, bool& error);

// A text tag: the entry (count = length + 1, value = the current position),
// then the text, its NUL and a padding NUL when the count is odd.
void TkfAddString(uint16_t tag, const std::string& text, bool& error);

// Where the data of the next tag start: a full directory buffer goes out
// first, so that nothing lands between the data and their entry.
uint32_t TkfDataPosition(bool& error);

// True when the stream starts with "II", 42 and "GH".
bool TkfHeaderValid();

// The first entry with the tag along the directory chain. False when the
// header does not match or the tag is absent; a damaged directory (entry
// count 0 or above 30, a block cut short, a link past the end of the file or
// back to a block already read) ends the search with the tag absent.
bool TkfLookup(uint16_t tag, TkfEntry& entry);

// Every entry along the chain, in order, up to its end or the first damage
// (none when the header does not match). True when the chain is whole: the
// header matches and the chain ends in a link of 0. The loader reads the
// directory once this way and refuses a damaged one.
bool TkfReadDirectory(std::vector<TkfEntry>& entries);

// Value and count of the first entry with the tag: -1 and -1 when absent;
// -1 and 0 when the header does not match.
void TkfFindTag(uint16_t tag, int32_t& value, int32_t& count);

// "YYYY:MM:DD HH:MM:SS".
std::string TkfDateText(const std::tm& time);
// The local time now in that form.
std::string TkfNowText();
