#pragma once
// Pattern planes as TIFF files of 8-bit palette samples, one byte a cell,
// the plane's highest row first. Progress goes to the four-line progress
// box, failures to a warning box.
#include <string>

class SafeFileWriter;

// Writes plane 0..2 (the program header's pattern size) to fileName,
// LZW-compressed when compress is set. Unless quiet, success is reported
// ("Patrone erfolgreich gesichert" when patternOnly, else "Listen und
// Patrone erfolgreich gesichert"). The old file stays when writing fails.
bool WriteTiffPattern(bool compress, const std::string& fileName, int plane, bool quiet, bool patternOnly);

// Writes plane 0..2 LZW-compressed to a temporary file beside fileName,
// which file holds finished but not yet in place (file.Commit() puts it
// there), so that a caller can put several files in place together. Shows
// the progress but no message: empty, or the message of the failure.
std::string StageTiffPattern(SafeFileWriter& file, const std::string& fileName, int plane);

// Reads fileName (found in any letter case) into plane 0..2 and sets the
// program header's pattern size from it; on success the plane is marked
// present. Success is reported unless the design program drives us
// (Fernsteuerung). Esc in the progress box stops after a strip without a
// message; the rows read stay.
bool ReadTiffPattern(const std::string& fileName, bool patternOnly, int plane);
// As ReadTiffPattern, but a failure is handed back instead of shown: the
// message (empty on success and after Esc); aborted tells Esc apart.
std::string ReadTiffPatternFor(const std::string& fileName, bool patternOnly, int plane, bool& aborted);
