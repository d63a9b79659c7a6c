#include "kernel/pattern/smzfile.h"

#include <set>
#include <utility>
#include <vector>

#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/services/services.h"
#include "kernel/services/stream.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "ziklib/vpzik.h"

namespace {

const char* const kZikName = "libVpZik.so";
constexpr uint16_t kContainerMark = 32768;
constexpr uint16_t kCompressedByLibrary = 2;

// The library binding. Loaded on first use; a library without the entry
// points we call counts as not loaded, and the next use tries again.
struct ZikLibrary {
    DynamicLibrary library;
    ZCompressFunc compress = nullptr;  // bound, never called
    ZDecompressFunc decompress = nullptr;
    P_FreeMemFunc freeMem = nullptr;

    bool Bound() const { return decompress && freeMem; }

    bool Load()
    {
        if (Bound())
            return true;
        // The program folder first, then the executable's, then the system.
        if (library.Load(kZikName, {ProgrammPfad, ExecutableFolder()})) {
            compress = library.Resolve<ZCompressFunc>("ZCompress");
            decompress = library.Resolve<ZDecompressFunc>("ZDecompress");
            freeMem = library.Resolve<P_FreeMemFunc>("P_FreeMem");
            if (Bound())
                return true;
        }
        Release();
        return false;
    }

    void Release()
    {
        compress = nullptr;
        decompress = nullptr;
        freeMem = nullptr;
        library.Free();
    }
};

ZikLibrary& Zik()
{
    static ZikLibrary zik;
    return zik;
}

// Writes the image's bytes; a failure is shown with its disk error.
bool WriteImage(const uint8_t* data, size_t size, const std::string& outputFileName)
{
    SafeFileWriter out;
    if (!out.Create(outputFileName) || !out.Write(data, size) || !out.Commit()) {
        P_WarningBox(F_DiskErrorText(DiskErrorCode(out.error())));
        return false;
    }
    return true;
}

// The library's buffer, given back when done with.
class ZikBuffer {
public:
    explicit ZikBuffer(int32_t inputLength) : inputLength_(inputLength) {}
    ~ZikBuffer()
    {
        if (data)
            Zik().freeMem(&data, inputLength_);
    }
    ZikBuffer(const ZikBuffer&) = delete;
    ZikBuffer& operator=(const ZikBuffer&) = delete;

    uint8_t* data = nullptr;
    int32_t length = 0;

private:
    int32_t inputLength_;
};

}  // namespace

// Unpacks the image straight into the output file from the library's own
// buffer: a big image is held once, not copied, and the packed bytes go
// before it is written. False when the library is missing, the data do not
// unpack or the file cannot be written.
bool SmzExtractor::WriteUnpacked(std::vector<uint8_t> packed, const std::string& outputFileName)
{
    ZikLibrary& zik = Zik();
    if (!zik.Load()) {
        if (!loadReported_)
            P_WarningBox(F_TRANS("Datei") + ":" + kZikName + "\n" + F_TRANS("Fehler beim Laden der Dll"));
        loadReported_ = true;
        return false;
    }
    if (packed.size() > INT32_MAX)
        return false;
    ZikBuffer plain(static_cast<int32_t>(packed.size()));
    const int32_t rc = zik.decompress(packed.data(), static_cast<int32_t>(packed.size()), &plain.data, &plain.length, 0);
    if (rc != 0 || plain.length < 0 || (!plain.data && plain.length != 0))
        return false;
    std::vector<uint8_t>().swap(packed);
    return WriteImage(plain.data, static_cast<size_t>(plain.length), outputFileName);
}

SmzExtract SmzExtractor::Walk(int imageNumber, const std::string& outputFileName)
{
    bool error = false;
    size_ = F_DiskSize(error);
    uint8_t header[8];
    P_DiskRead(header, sizeof header, error);
    if (error || get_u16(header, 2) != kContainerMark)
        return SmzExtract::NotContainer;

    std::set<uint32_t> visited;
    for (uint32_t offset = get_u32(header, 4); offset != 0;) {
        // A chain that links back would never end.
        if (!visited.insert(offset).second)
            break;
        uint8_t countBytes[2];
        P_DiskSeek(offset, error);
        P_DiskRead(countBytes, 2, error);
        if (error)
            break;
        const uint32_t count = get_u16(countBytes, 0);
        if (uint64_t(offset) + 6 + uint64_t(count) * 12 > size_)
            break;
        std::vector<uint8_t> entries(size_t(count) * 12 + 4);
        P_DiskRead(entries.data(), static_cast<uint32_t>(entries.size()), error);
        if (error)
            break;
        const uint32_t dataAt = offset + 6 + count * 12;
        const uint32_t next = get_u32(entries.data(), count * 12);

        uint16_t compression = kCompressedByLibrary;
        uint32_t dataSize = 0;
        int number = -1;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = entries.data() + size_t(i) * 12;
            switch (get_u16(e, 0)) {
            case 259: compression = get_u16(e, 8); break;
            case 270: {
                // The description is read (not used); the data stay where they are.
                const uint32_t length = get_u32(e, 4);
                const uint32_t at = get_u32(e, 8);
                if (uint64_t(at) + length > size_)
                    error = true;
                std::vector<uint8_t> text(error ? 0 : length);
                P_DiskSeek(at, error);
                P_DiskRead(text.data(), length, error);
                P_DiskSeek(dataAt, error);
                break;
            }
            case 279: dataSize = get_u32(e, 8); break;
            case 317: number = get_u16(e, 8); break;
            default: break;
            }
        }
        if (error)
            break;

        // Data that end past the file end the walk. Only the wanted image
        // is read and unpacked: the others may be big, and nobody asked.
        const bool wanted = number == imageNumber;
        if (uint64_t(dataAt) + dataSize > size_)
            return wanted ? SmzExtract::Unreadable : SmzExtract::NotFound;
        if (!wanted) {
            offset = next;
            continue;
        }
        std::vector<uint8_t> data(dataSize);
        P_DiskRead(data.data(), dataSize, error);
        if (error)
            return SmzExtract::Unreadable;
        if (compression != kCompressedByLibrary)
            return WriteImage(data.data(), data.size(), outputFileName) ? SmzExtract::Written : SmzExtract::Unreadable;
        return WriteUnpacked(std::move(data), outputFileName) ? SmzExtract::Written : SmzExtract::Unreadable;
    }
    return SmzExtract::NotFound;
}

SmzExtract SmzExtractor::Extract(const std::string& fileName, int imageNumber, const std::string& outputFileName)
{
    const std::string name = FileNamePart(fileName);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || AsciiUpper(name.substr(dot)) != ".SMZ")
        return SmzExtract::NotContainer;
    bool error = false;
    P_DiskOpen(fileName, error, true);
    if (error) {
        P_DiskClose();
        return SmzExtract::NotContainer;
    }
    const SmzExtract result = Walk(imageNumber, outputFileName);
    P_DiskClose();
    return result;
}

SmzExtract ExtractSmzImage(const std::string& fileName, int imageNumber, const std::string& outputFileName)
{
    SmzExtractor extractor;
    return extractor.Extract(fileName, imageNumber, outputFileName);
}

bool ReadSmzFile(const std::string& fileName, int imageNumber, const std::string& outputFileName)
{
    const SmzExtract r = ExtractSmzImage(fileName, imageNumber, outputFileName);
    return r == SmzExtract::Written || r == SmzExtract::NotFound;
}

void ReleaseZikLibrary()
{
    Zik().Release();
}
