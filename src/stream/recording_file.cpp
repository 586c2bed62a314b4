#include "stream/recording_file.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "stream/instruction_text.h"
#include "stream/recorded_batch.h"

namespace {

// MS: up to 18 decimal digits, so it always fits.
bool readMs(const std::string& text, size_t start, size_t end, int64_t& ms) {
    if (start == end || end - start > 18) return false;
    ms = 0;
    for (size_t i = start; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        ms = ms * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

Recording parseRecording(const std::string& text) {
    Recording recording;
    size_t start = 0;
    size_t lineNumber = 0;
    while (start < text.size()) {
        ++lineNumber;
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            // A last line without its end was cut short while being written.
            if (lineNumber > 1) break;
            end = text.size();
        }
        if (end - start > kMaxLineBytes) {
            recording.problem = "linha " + std::to_string(lineNumber) + " longa demais";
            return recording;
        }
        if (lineNumber == 1) {
            if (text.compare(start, end - start, kRecordingHeader) != 0) {
                recording.problem = "nao e uma gravacao deste jogo";
                return recording;
            }
        } else {
            const size_t space = text.find(' ', start);
            RecordedPicture picture;
            if (space == std::string::npos || space > end ||
                !readMs(text, start, space, picture.ms)) {
                recording.problem = "linha " + std::to_string(lineNumber) + " ilegivel";
                return recording;
            }
            picture.text = text.substr(space + 1, end - space - 1);
            picture.changesBitmaps = holdsBitmapChange(picture.text);
            recording.pictures.push_back(std::move(picture));
        }
        start = end + 1;
    }
    if (lineNumber == 0) recording.problem = "nao e uma gravacao deste jogo";
    return recording;
}

std::optional<Recording> readRecordingFile(const std::string& path, std::string& error) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "nao foi possivel abrir " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    std::vector<char> buffer(1 << 16);
    bool cutShort = false;
    for (;;) {
        const int n = gzread(file, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n > 0) {
            if (text.size() + static_cast<size_t>(n) > kMaxRecordingBytes) {
                cutShort = true;  // past the largest recording read: what came so far plays
                break;
            }
            text.append(buffer.data(), static_cast<size_t>(n));
            continue;
        }
        int code = Z_OK;
        gzerror(file, &code);
        // A compressed stream that ends early, or damaged data.
        if (n < 0 || code != Z_OK) cutShort = true;
        break;
    }
    gzclose(file);
    Recording recording = parseRecording(text);
    if (recording.pictures.empty() && !recording.problem.empty()) {
        error = path + ": " + recording.problem;
        return std::nullopt;
    }
    if (recording.problem.empty() && cutShort) recording.problem = "o arquivo termina antes do fim";
    return recording;
}

std::unique_ptr<RecordingWriter> RecordingWriter::open(const std::string& path,
                                                       std::string& error) {
    gzFile file = gzopen(path.c_str(), "wb6");
    if (file == nullptr) {
        error = "nao foi possivel criar " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    const std::string header = std::string(kRecordingHeader) + "\n";
    if (gzwrite(file, header.data(), static_cast<unsigned>(header.size())) <= 0 ||
        gzflush(file, Z_SYNC_FLUSH) != Z_OK) {
        gzclose(file);
        error = "nao foi possivel escrever em " + path;
        return nullptr;
    }
    return std::unique_ptr<RecordingWriter>(new RecordingWriter(file, path));
}

RecordingWriter::RecordingWriter(void* file, std::string path)
    : file(file), path(std::move(path)), thread([this] { writeAll(); }) {}

RecordingWriter::~RecordingWriter() {
    {
        std::lock_guard<std::mutex> hold(lock);
        closing = true;
    }
    waiting.notify_all();
    thread.join();
    std::lock_guard<std::mutex> hold(fileLock);
    if (!fileClosed) gzclose(static_cast<gzFile>(file));
}

void RecordingWriter::finishNow() {
    std::lock_guard<std::mutex> writing(fileLock);
    if (fileClosed) return;
    std::deque<RecordedPicture> waitingPictures;
    {
        std::lock_guard<std::mutex> hold(lock);
        waitingPictures.swap(pictures);
    }
    for (const RecordedPicture& picture : waitingPictures) {
        if (!writeLine(picture)) break;
    }
    gzclose(static_cast<gzFile>(file));
    fileClosed = true;
}

bool RecordingWriter::writeLine(const RecordedPicture& picture) {
    gzFile out = static_cast<gzFile>(file);
    const std::string line = std::to_string(picture.ms) + " " + picture.text + "\n";
    return gzwrite(out, line.data(), static_cast<unsigned>(line.size())) > 0 &&
           gzflush(out, Z_SYNC_FLUSH) == Z_OK;
}

void RecordingWriter::add(int64_t ms, std::string text) {
    // One picture is one line: a line break inside (from a hostile sender) would split it.
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    {
        std::lock_guard<std::mutex> hold(lock);
        if (pictures.size() >= kMostWaiting) {
            ++droppedCount;
            return;
        }
        pictures.push_back(RecordedPicture{ms, std::move(text), false});
    }
    waiting.notify_one();
}

uint64_t RecordingWriter::dropped() const {
    std::lock_guard<std::mutex> hold(lock);
    return droppedCount;
}

void RecordingWriter::writeAll() {
    bool failed = false;
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(lock);
            waiting.wait(hold, [this] { return closing || !pictures.empty(); });
            if (pictures.empty()) return;  // closing, and everything is written
            if (failed) {
                pictures.clear();
                continue;
            }
        }
        // The picture is taken with the file held, so that finishNow() finds each one either
        // written or still waiting.
        std::unique_lock<std::mutex> writing(fileLock);
        if (fileClosed) return;  // finished by finishNow()
        RecordedPicture picture;
        {
            std::lock_guard<std::mutex> hold(lock);
            picture = std::move(pictures.front());  // only this thread and finishNow() take any
            pictures.pop_front();
        }
        if (!writeLine(picture)) {
            failed = true;
            writing.unlock();
            std::cout << "A gravacao em " << path
                      << " parou: nao foi possivel escrever (disco cheio?)." << std::endl;
        }
    }
}

bool openAskedRecording(const std::string& path, std::unique_ptr<RecordingWriter>& writer) {
    if (path.empty()) return true;
    std::string error;
    writer = RecordingWriter::open(path, error);
    if (!writer) std::cout << "A partida nao sera gravada: " << error << std::endl;
    return writer != nullptr;
}
