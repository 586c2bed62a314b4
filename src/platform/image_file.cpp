#include "platform/image_file.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/cache_folder.h"
#include "platform/file_problem.h"

namespace {

constexpr size_t kBmpHeadersSize = 54;  // file header (14) and the classic info header (40)
constexpr uint32_t kUncompressed = 0;

uint32_t littleEndian32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// False only for an uncompressed BMP with the classic headers whose pixel rows run past the end of
// the file; any other file is left to the library to judge.
bool bmpIsWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return true;
    const std::streamoff size = file.tellg();
    unsigned char header[kBmpHeadersSize];
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(header), sizeof header)) return true;
    if (header[0] != 'B' || header[1] != 'M') return true;
    const uint32_t infoSize = littleEndian32(header + 14);
    const uint16_t bitsPerPixel = header[28] | header[29] << 8;
    if (infoSize < 40 || littleEndian32(header + 30) != kUncompressed || bitsPerPixel == 0) {
        return true;
    }
    const int64_t width = static_cast<int32_t>(littleEndian32(header + 18));
    const int64_t height = std::llabs(static_cast<int32_t>(littleEndian32(header + 22)));
    const int64_t rowBytes = (std::llabs(width) * bitsPerPixel + 31) / 32 * 4;
    const int64_t needed = littleEndian32(header + 10) + rowBytes * height;
    return size >= needed;
}

// False only for a JPEG (it starts with the start-of-image marker) that does not end with the
// end-of-image marker (trailing zero bytes aside): one cut short. The JPEG reader may decode such a
// file partly, from memory it never filled, and give a different picture from one load to the next.
bool jpegIsWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return true;
    std::streamoff end = file.tellg();
    unsigned char start[2];
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(start), 2) || start[0] != 0xFF || start[1] != 0xD8) {
        return true;
    }
    char byte = 0;
    while (end > 2) {
        file.seekg(end - 1);
        if (!file.get(byte)) return false;
        if (byte != 0) break;
        --end;
    }
    if (end < 4 || static_cast<unsigned char>(byte) != 0xD9) return false;
    file.seekg(end - 2);
    return file.get(byte) && static_cast<unsigned char>(byte) == 0xFF;
}

}  // namespace

std::string imageFileOf(const std::string& path) {
    std::error_code error;
    if (path.empty() || path[0] == '/' || std::filesystem::exists(path, error)) return path;
    const std::string cached = cachedFile(path);
    if (cached.empty() || !std::filesystem::exists(cached, error)) return path;
    return cached;
}

BitmapHandle loadImageFile(const std::string& path) {
    const std::string file = imageFileOf(path);
    // Judged before the library reads it: the JPEG reader reads past the end of its buffer on
    // some files cut short.
    if (!bmpIsWhole(file) || !jpegIsWhole(file)) return BitmapHandle();
    return BitmapHandle(load_bitmap(file.c_str(), nullptr));
}

BitmapHandle loadImageOrReport(const std::string& path) {
    BitmapHandle bitmap = loadImageFile(path);
    if (!bitmap) reportFileProblem(FileKind::kImage, path);
    return bitmap;
}
