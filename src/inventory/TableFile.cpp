#include "inventory/TableFile.h"

#include <algorithm>
#include <array>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define PICTAVO_CRC_FOLDING 1
#endif

#include "inventory/RecordEncoding.h"
#include "platform/Paths.h"

namespace pictavo {

namespace {

// Slicing-by-8: a table file of 100,000 records is about 15 MB, and the byte-at-a-time CRC
// alone would eat a good part of the load budget.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
    CrcTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (std::size_t s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}

constexpr CrcTables Crc = MakeCrcTables();

std::uint32_t Load32u(const unsigned char* p) noexcept {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

#if PICTAVO_CRC_FOLDING
// Carry-less multiplication folds 64 bytes per step, several times faster than the tables: the
// checksum of a 100,000-picture list would otherwise take longer than reading the file. The
// method and its constants (for the bit-reflected polynomial 0xEDB88320) are those of Intel's
// "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ Instruction".
bool CanFold() {
    static const bool can = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        // CPUID 1: ECX bit 1 is PCLMULQDQ; EDX bit 26 is SSE2.
        return __get_cpuid(1, &a, &b, &c, &d) && (c & (1u << 1)) && (d & (1u << 26));
    }();
    return can;
}

#define PICTAVO_FOLD_TARGET __attribute__((target("sse2,pclmul")))

PICTAVO_FOLD_TARGET inline __m128i load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x carried 128 bits further (by the distance k stands for), then the next 16 bytes added.
PICTAVO_FOLD_TARGET inline __m128i fold(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(
        _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// n is at least 64 and a multiple of 16; c is the running (inverted) remainder, as returned.
PICTAVO_FOLD_TARGET std::uint32_t CrcFold(const unsigned char* p, std::size_t n, std::uint32_t c) {
    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(c)));
    __m128i x2 = load(p + 16);
    __m128i x3 = load(p + 32);
    __m128i x4 = load(p + 48);
    p += 64;
    n -= 64;

    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    for (; n >= 64; n -= 64, p += 64) {
        x1 = fold(x1, k1k2, load(p));
        x2 = fold(x2, k1k2, load(p + 16));
        x3 = fold(x3, k1k2, load(p + 32));
        x4 = fold(x4, k1k2, load(p + 48));
    }

    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    x1 = fold(x1, k3k4, x2);
    x1 = fold(x1, k3k4, x3);
    x1 = fold(x1, k3k4, x4);
    for (; n >= 16; n -= 16, p += 16) x1 = fold(x1, k3k4, load(p));

    // 128 bits to 64, then Barrett reduction to 32.
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 4),
                       _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00));
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    __m128i x2b = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
    x2b = _mm_clmulepi64_si128(_mm_and_si128(x2b, low32), poly, 0x00);
    x1 = _mm_xor_si128(x1, x2b);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}
#endif

std::string Refusal(const std::string& why) { return "the table file was refused: " + why; }

// What the header says, once the header, the length and the checksum have been found sound.
struct Frame {
    std::string error;
    std::uint32_t count = 0;
    std::size_t payload = 0;
};

Frame CheckFrame(std::string_view bytes) {
    Frame f;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (size == 0) {
        f.error = "it is empty";
        return f;
    }
    if (bytes.substr(0, TableFileMagic.size()) != TableFileMagic.substr(0, size)) {
        f.error = "it is not a Pictavo table file (wrong magic)";
        return f;
    }
    if (size < TableFileHeaderSize + TableFileTrailerSize) {
        f.error = "it is truncated (" + std::to_string(size) + " bytes, shorter than a header)";
        return f;
    }
    const std::uint32_t version = Load32u(data + 8);
    if (version != TableFileVersion) {
        f.error = "unknown format version " + std::to_string(version) + " (this program reads " +
                  std::to_string(TableFileVersion) + ")";
        return f;
    }
    const std::uint32_t count = Load32u(data + 12);
    const std::uint32_t payload = Load32u(data + 16);

    // 64-bit sum: a damaged length must not wrap around on a 32-bit size_t.
    const std::uint64_t expected =
        std::uint64_t{TableFileHeaderSize} + payload + TableFileTrailerSize;
    if (size < expected) {
        f.error = "it is truncated (" + std::to_string(size) + " of " + std::to_string(expected) +
                  " bytes)";
        return f;
    }
    if (size > expected) {
        f.error = std::to_string(size - expected) + " trailing bytes after the checksum";
        return f;
    }
    const std::size_t crcAt = size - TableFileTrailerSize;
    if (Crc32(bytes.substr(0, crcAt)) != Load32u(data + crcAt)) {
        f.error = "checksum mismatch (the file is damaged)";
        return f;
    }
    // Every record takes at least FixedBytes, so a damaged count cannot make us reserve more
    // than the data could hold.
    if (count > payload / encoding::FixedBytes) {
        f.error = "record count mismatch (header says " + std::to_string(count) +
                  ", the data holds at most " + std::to_string(payload / encoding::FixedBytes) +
                  ")";
        return f;
    }
    f.count = count;
    f.payload = payload;
    return f;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    std::uint32_t c = 0xFFFFFFFFu;
#if PICTAVO_CRC_FOLDING
    if (n >= 64 && CanFold()) {
        const std::size_t folded = n & ~std::size_t{15};
        c = CrcFold(p, folded, c);
        p += folded;
        n -= folded;
    }
#endif
    for (; n >= 8; n -= 8, p += 8) {
        std::uint32_t lo = Load32u(p) ^ c;
        std::uint32_t hi = Load32u(p + 4);
        c = Crc[7][lo & 0xFF] ^ Crc[6][(lo >> 8) & 0xFF] ^ Crc[5][(lo >> 16) & 0xFF] ^
            Crc[4][lo >> 24] ^ Crc[3][hi & 0xFF] ^ Crc[2][(hi >> 8) & 0xFF] ^
            Crc[1][(hi >> 16) & 0xFF] ^ Crc[0][hi >> 24];
    }
    for (; n > 0; --n, ++p) c = Crc[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string SerializeTable(const InventoryTable& table) {
    const std::size_t payload = table.EncodedSize();
    std::string out(TableFileHeaderSize + payload + TableFileTrailerSize, '\0');
    char* p = std::copy(TableFileMagic.begin(), TableFileMagic.end(), out.data());
    p = encoding::Put32(p, TableFileVersion);
    p = encoding::Put32(p, static_cast<std::uint32_t>(table.Count()));
    p = encoding::Put32(p, static_cast<std::uint32_t>(payload));
    p = table.WriteEncoded(p);
    const std::size_t crcAt = out.size() - TableFileTrailerSize;
    encoding::Put32(p, Crc32(std::string_view(out).substr(0, crcAt)));
    return out;
}

TableParseResult ParseTable(std::string_view bytes) {
    TableParseResult result;
    const Frame frame = CheckFrame(bytes);
    if (!frame.error.empty()) {
        result.Error = Refusal(frame.error);
        return result;
    }
    const char* p = bytes.data() + TableFileHeaderSize;
    const char* const end = p + frame.payload;
    std::vector<InventoryRecord> records;
    records.reserve(frame.count);
    for (std::uint32_t i = 0; i < frame.count; ++i) {
        encoding::Lengths lengths;
        const auto available = static_cast<std::size_t>(end - p);
        if (!encoding::Check(p, available, lengths)) {
            result.Error = Refusal(encoding::Explain(p, available, std::size_t{i} + 1));
            return result;
        }
        InventoryRecord record = encoding::View(p, lengths).ToRecord();
        // Keyed for the code page the program runs in, as loading keys them: a copy stored
        // under another one (or by an earlier build) may have lowered a second byte.
        record.LCFilename = LowerCase(record.FileName);
        record.LCLocation = LowerCase(record.Location);
        records.push_back(std::move(record));
        p += encoding::SizeOf(lengths);
    }
    if (p != end) {
        result.Error = Refusal("record count mismatch (" + std::to_string(end - p) +
                               " bytes of record data left after " + std::to_string(frame.count) +
                               " records)");
        return result;
    }
    result.Records = std::move(records);
    return result;
}

std::string LoadTable(std::string&& bytes, InventoryTable& table) {
    const Frame frame = CheckFrame(bytes);
    if (!frame.error.empty()) return Refusal(frame.error);
    std::string error = table.AssignEncoded(std::move(bytes), TableFileHeaderSize,
                                            TableFileHeaderSize + frame.payload, frame.count);
    return error.empty() ? error : Refusal(error);
}

std::string LoadTable(std::string_view bytes, InventoryTable& table) {
    return LoadTable(std::string(bytes), table);
}

}  // namespace pictavo
