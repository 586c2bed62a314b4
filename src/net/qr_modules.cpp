#include "net/qr_modules.h"

#include <qrencode.h>

#include <memory>

std::vector<std::vector<bool>> qrModules(const std::string& text) {
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    std::vector<std::vector<bool>> rows;
    if (!code) return rows;
    const int width = code->width;
    for (int y = 0; y < width; ++y) {
        std::vector<bool> row(width);
        for (int x = 0; x < width; ++x) row[x] = (code->data[y * width + x] & 1) != 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ModuleRun> darkRuns(const std::vector<bool>& row) {
    std::vector<ModuleRun> runs;
    const int width = static_cast<int>(row.size());
    for (int x = 0; x < width;) {
        if (!row[x]) {
            ++x;
            continue;
        }
        const int first = x;
        while (x < width && row[x]) ++x;
        runs.push_back({first, x - first});
    }
    return runs;
}
