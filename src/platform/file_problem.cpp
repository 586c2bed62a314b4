#include "platform/file_problem.h"

#include <sys/stat.h>

#include <mutex>
#include <set>

#include "platform/console_report.h"

namespace {

struct ReportedFiles {
    std::mutex lock;
    std::set<std::string> paths;
};

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
    return stat(path.c_str(), &info) == 0 ? FileProblem::kUnreadable : FileProblem::kMissing;
}

std::string problemLine(FileKind kind, const std::string& path) {
    const bool missing = problemOf(path) == FileProblem::kMissing;
    const char* what;
    if (kind == FileKind::kImage) {
        what = missing ? "Imagem nao encontrada: " : "Imagem ilegivel: ";
    } else {
        what = missing ? "Som nao encontrado: " : "Som ilegivel: ";
    }
    return what + printable(path);
}

bool reportFileProblem(FileKind kind, const std::string& path, AfterText before) {
    ReportedFiles& files = reported();
    {
        std::lock_guard<std::mutex> hold(files.lock);
        if (!files.paths.insert(path).second) return false;
    }
    reportLine((before == AfterText::kUnfinished ? "\n" : "") + problemLine(kind, path));
    return true;
}

void forgetReportedFilesForTesting() {
    ReportedFiles& files = reported();
    std::lock_guard<std::mutex> hold(files.lock);
    files.paths.clear();
}
