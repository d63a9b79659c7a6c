#pragma once
// The family's exchange container (".SMZ"): a chain of tagged directories,
// each followed by one numbered image, raw or compressed by libVpZik.so.
// We only read it: 21 is the script, 22..24 the .Bl2..Bl4 layers, 10 the
// machine-type file.
#include <cstdint>
#include <string>
#include <vector>

enum class SmzExtract {
    NotContainer,  // not ".SMZ", unreadable or a wrong header
    NotFound,      // no image of that number (the output is not written)
    Written,       // the output file holds the image
    Unreadable,    // the image is there but could not be read or written
};

// Extractions from one container: a missing libVpZik.so is reported once,
// however many of its images need it.
class SmzExtractor {
public:
    // Writes image imageNumber of the container fileName to outputFileName.
    // Only that image is unpacked; the others are passed over.
    SmzExtract Extract(const std::string& fileName, int imageNumber, const std::string& outputFileName);

private:
    SmzExtract Walk(int imageNumber, const std::string& outputFileName);
    bool WriteUnpacked(std::vector<uint8_t> packed, const std::string& outputFileName);

    bool loadReported_ = false;
    uint32_t size_ = 0;
};

// One image with an extractor of its own.
SmzExtract ExtractSmzImage(const std::string& fileName, int imageNumber, const std::string& outputFileName);

// True when the image was written, or when the container holds no image of
// that number; false for anything that is no container and for an image
// that could not be read.
bool ReadSmzFile(const std::string& fileName, int imageNumber, const std::string& outputFileName);

// Releases libVpZik.so (at program end; tests that want a fresh load).
void ReleaseZikLibrary();
