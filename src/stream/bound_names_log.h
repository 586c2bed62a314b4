// BoundNamesLog: a measuring subscriber (CORRIDA_BITMAP_NAMES on a server). It writes "0 screen"
// to its file, then after each picture whose batches changed the bitmap names a receiver holds, a
// line "PICTURE NAME..." with the names then bound (bound_names.h).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "stream/batch_subscriber.h"
#include "stream/bound_names.h"

class BoundNamesLog : public BatchSubscriber {
  public:
    // Nothing when `path` cannot be written.
    static std::unique_ptr<BoundNamesLog> open(const std::string& path);

    void take(const RecordedBatch& batch, int64_t nowMs) override;

  private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    explicit BoundNamesLog(std::FILE* file);

    std::unique_ptr<std::FILE, CloseFile> file;
    BoundNames names;
};
