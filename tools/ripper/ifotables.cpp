#include "ifotables.h"

#include <cstring>

namespace ifo {

namespace {

constexpr uint64_t kSector = 2048;

// Big-endian fields, read only where `at + width` lies inside the file.
class Reader
{
public:
    explicit Reader(const Bytes &file) : m_file(file) {}

    bool has(uint64_t at, uint64_t width) const { return at <= m_file.size() && width <= m_file.size() - at; }
    unsigned u8(uint64_t at) const { return m_file[at]; }
    unsigned u16(uint64_t at) const { return unsigned(m_file[at]) << 8 | m_file[at + 1]; }
    uint32_t u32(uint64_t at) const { return uint32_t(u16(at)) << 16 | u16(at + 2); }
    bool startsWith(const char *identifier) const
    {
        const size_t n = std::strlen(identifier);
        return has(0, 0x100) && std::memcmp(m_file.data(), identifier, n) == 0;
    }

private:
    const Bytes &m_file;
};

int bcd(unsigned v)
{
    return int(v >> 4) * 10 + int(v & 0x0f);
}

// Playback time: BCD fields, the frame rate in the top two bits of the frame
// byte (01 = 25, 11 = 29.97 frames per second).
long long milliseconds(const Reader &in, uint64_t at)
{
    const long long whole = (bcd(in.u8(at)) * 3600LL + bcd(in.u8(at + 1)) * 60LL + bcd(in.u8(at + 2))) * 1000;
    const unsigned frameByte = in.u8(at + 3);
    const int frames = bcd(frameByte & 0x3f);
    switch (frameByte >> 6) {
    case 1: return whole + frames * 40LL;
    case 3: return whole + frames * 1001LL / 30;
    default: return whole;
    }
}

bool no(std::string &why, const std::string &reason)
{
    why = reason;
    return false;
}

// The program chain that starts at `at`.
bool readChain(const Reader &in, uint64_t at, Chain &chain, std::string &why)
{
    constexpr uint64_t kHeader = 0xec, kCell = 24;
    if (!in.has(at, kHeader))
        return no(why, "a program chain lies beyond the end of the file");
    chain.milliseconds = milliseconds(in, at + 4);
    const unsigned cells = in.u8(at + 3);
    if (cells == 0)
        return true;
    const unsigned offset = in.u16(at + 0xe8);
    if (offset < kHeader || !in.has(at + offset, cells * kCell))
        return no(why, "a cell table lies beyond the end of the file");
    for (unsigned c = 0; c < cells; ++c) {
        const uint64_t cell = at + offset + c * kCell;
        const unsigned mode = in.u8(cell) >> 6, type = (in.u8(cell) >> 4) & 3;
        // Angle 1: of an angle block only its first cell.
        if (type == 1 && mode != 1)
            continue;
        const Cell sectors{in.u32(cell + 8), in.u32(cell + 20)};
        if (sectors.last < sectors.first)
            return no(why, "a cell ends before it starts");
        chain.cells.push_back(sectors);
    }
    return true;
}

} // namespace

bool readTitles(const Bytes &file, std::vector<Title> &titles, std::string &why)
{
    const Reader in(file);
    if (!in.startsWith("DVDVIDEO-VMG"))
        return no(why, "not a video manager file");
    const uint64_t table = in.u32(0xc4) * kSector;
    if (table == 0 || !in.has(table, 8))
        return no(why, "the title table lies beyond the end of the file");
    const unsigned count = in.u16(table);
    if (count < 1 || count > 99)
        return no(why, "the title table lists " + std::to_string(count) + " titles");
    if (!in.has(table + 8, count * 12ULL))
        return no(why, "the title table runs past the end of the file");
    titles.clear();
    for (unsigned t = 0; t < count; ++t) {
        const uint64_t entry = table + 8 + t * 12ULL;
        const Title title{int(in.u8(entry + 6)), int(in.u8(entry + 7))};
        if (title.titleSet < 1 || title.titleSet > 99 || title.setTitle < 1 || title.setTitle > 99)
            return no(why, "title " + std::to_string(t + 1) + " names no title set");
        titles.push_back(title);
    }
    return true;
}

bool readTitleSet(const Bytes &file, std::vector<Chain> &chains, std::string &why)
{
    const Reader in(file);
    if (!in.startsWith("DVDVIDEO-VTS"))
        return no(why, "not a title set file");
    const uint64_t parts = in.u32(0xc8) * kSector, programs = in.u32(0xcc) * kSector;
    if (parts == 0 || programs == 0 || !in.has(parts, 8) || !in.has(programs, 8))
        return no(why, "the title set's tables lie beyond the end of the file");
    const unsigned titles = in.u16(parts), chainCount = in.u16(programs);
    if (titles < 1 || titles > 99 || !in.has(parts + 8, titles * 4ULL))
        return no(why, "the title set's part table is broken");
    if (chainCount < 1 || !in.has(programs + 8, chainCount * 8ULL))
        return no(why, "the title set's program chain table is broken");
    chains.clear();
    for (unsigned t = 0; t < titles; ++t) {
        // A title starts with the chain of its first part.
        const uint64_t first = parts + in.u32(parts + 8 + t * 4ULL);
        if (first < parts + 8 || !in.has(first, 4))
            return no(why, "the parts of title " + std::to_string(t + 1) + " lie beyond the end of the file");
        const unsigned number = in.u16(first);
        if (number < 1 || number > chainCount)
            return no(why, "title " + std::to_string(t + 1) + " starts with no program chain");
        const uint64_t start = in.u32(programs + 8 + (number - 1) * 8ULL + 4);
        if (start < 8)
            return no(why, "a program chain overlaps its table");
        Chain chain;
        if (!readChain(in, programs + start, chain, why))
            return false;
        chains.push_back(std::move(chain));
    }
    return true;
}

} // namespace ifo
