#include "stream/bound_names_log.h"

std::unique_ptr<BoundNamesLog> BoundNamesLog::open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return nullptr;
    return std::unique_ptr<BoundNamesLog>(new BoundNamesLog(file));
}

BoundNamesLog::BoundNamesLog(std::FILE* opened) : file(opened) {
    // Whole lines as they happen: the log is read while the server runs.
    std::setvbuf(file.get(), nullptr, _IOLBF, 0);
    names.takeChanged();
    std::fprintf(file.get(), "%s\n", formatBoundNames(0, names.names()).c_str());
}

void BoundNamesLog::take(const RecordedBatch& batch, int64_t) {
    names.absorb(batch.text);
    if (batch.closesFrame && names.takeChanged()) {
        const std::string line = formatBoundNames(batch.closesFrame->frame, names.names());
        std::fprintf(file.get(), "%s\n", line.c_str());
    }
}
