#include "platform/file_problem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <set>

#include "platform/console_report.h"

namespace {

struct ReportedFiles {
    std::mutex lock;
    std::set<std::string> paths;
    // Paths that lacked a descriptor, and when that was last said.
    std::map<std::string, std::chrono::steady_clock::time_point> lackingDescriptors;
};

// Process-wide: each path is said once per process, whoever loads it (screens, the stage, the
// interpreter, the sound player), and none of them has a context to carry it in.
ReportedFiles& reported() {
    static ReportedFiles instance;
    return instance;
}

std::string printable(const std::string& path) {
    std::string shown = path;
    for (char& c : shown) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7e) c = '?';
    }
    return shown;
}

}  // namespace

FileProblem problemOf(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return FileProblem::kMissing;
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        close(descriptor);
        return FileProblem::kUnreadable;
    }
    return errno == EMFILE || errno == ENFILE ? FileProblem::kNoDescriptors
                                              : FileProblem::kUnreadable;
}

namespace {

std::string lineFor(FileKind kind, FileProblem problem, const std::string& path) {
    const bool image = kind == FileKind::kImage;
    const char* what = nullptr;
    switch (problem) {
        case FileProblem::kMissing:
            what = image ? "Imagem nao encontrada: " : "Som nao encontrado: ";
            break;
        case FileProblem::kUnreadable:
            what = image ? "Imagem ilegivel: " : "Som ilegivel: ";
            break;
        case FileProblem::kNoDescriptors:
            what = image ? "Imagem nao carregada, faltam descritores de arquivo (arquivos abertos "
                           "demais): "
                         : "Som nao carregado, faltam descritores de arquivo (arquivos abertos "
                           "demais): ";
            break;
    }
    return what + printable(path);
}

}  // namespace

std::string problemLine(FileKind kind, const std::string& path) {
    return lineFor(kind, problemOf(path), path);
}

bool reportFileProblem(FileKind kind, const std::string& path, AfterText before) {
    ReportedFiles& files = reported();
    const FileProblem problem = problemOf(path);
    const std::string line = lineFor(kind, problem, path);
    {
        std::lock_guard<std::mutex> hold(files.lock);
        if (files.paths.count(path) != 0) return false;
        if (problem == FileProblem::kNoDescriptors) {
            const auto now = std::chrono::steady_clock::now();
            auto [said, first] = files.lackingDescriptors.try_emplace(path, now);
            if (!first && now - said->second < std::chrono::milliseconds(kNoDescriptorsReportMs)) {
                return false;
            }
            said->second = now;
        } else {
            files.paths.insert(path);
        }
    }
    reportLine((before == AfterText::kUnfinished ? "\n" : "") + line);
    return true;
}

void forgetReportedFilesForTesting() {
    ReportedFiles& files = reported();
    std::lock_guard<std::mutex> hold(files.lock);
    files.paths.clear();
    files.lackingDescriptors.clear();
}
