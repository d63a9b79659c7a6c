#include "tests/support/damaged_files.h"

std::string DamagedFile::Describe() const
{
    switch (kind) {
    case Kind::Empty: return "empty";
    case Kind::OneByte: return "1 byte";
    case Kind::Truncated: return "cut at " + std::to_string(at);
    case Kind::HeaderByteFlipped: return "byte " + std::to_string(at) + " flipped";
    }
    return {};
}

std::vector<DamagedFile> DamagedVariants(const std::string& valid, std::size_t headerBytes)
{
    return DamagedVariants(valid, std::vector<ByteRange>{{0, headerBytes}});
}

std::vector<DamagedFile> DamagedVariants(const std::string& valid, const std::vector<ByteRange>& header)
{
    std::vector<DamagedFile> out;
    out.push_back({DamagedFile::Kind::Empty, 0, {}});
    if (!valid.empty())
        out.push_back({DamagedFile::Kind::OneByte, 1, valid.substr(0, 1)});
    for (std::size_t n = 10; n < valid.size(); n += 10)
        out.push_back({DamagedFile::Kind::Truncated, n, valid.substr(0, n)});
    for (const ByteRange& range : header) {
        for (std::size_t i = range.offset; i < range.offset + range.length && i < valid.size(); ++i) {
            std::string bytes = valid;
            bytes[i] = static_cast<char>(~static_cast<unsigned char>(bytes[i]));
            out.push_back({DamagedFile::Kind::HeaderByteFlipped, i, std::move(bytes)});
        }
    }
    return out;
}
