#include "web/web_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/image_file.h"
#include "stream/interpreter.h"

namespace {

// A page file's name: lowercase letters, digits and "_", then one extension of letters.
bool isPageName(std::string_view name) {
    const size_t dot = name.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot + 1 == name.size()) return false;
    const auto plain = [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); };
    return std::all_of(name.begin(), name.begin() + dot,
                       [&](char c) { return plain(c) || c == '_'; }) &&
           std::all_of(name.begin() + dot + 1, name.end(),
                       [](char c) { return c >= 'a' && c <= 'z'; });
}

std::set<std::string> pageNamesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator(folder, failure)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(failure) && isPageName(name)) names.insert(name);
    }
    return names;
}

}  // namespace

WebFiles::WebFiles(const std::string& pageFolder) : WebFiles(pageFolder, pageNamesIn(pageFolder)) {}

WebFiles::WebFiles(std::string pageFolder, std::set<std::string> pageNames)
    : pageFolder(std::move(pageFolder)), pageNames(std::move(pageNames)) {}

std::optional<std::string> WebFiles::fileFor(std::string_view target) const {
    target = target.substr(0, target.find('?'));
    if (target.empty() || target.front() != '/') return std::nullopt;
    const std::string_view path = target.substr(1);
    if (path.empty()) {
        if (pageNames.count("index.html") == 0) return std::nullopt;
        return pageFolder + "/index.html";
    }
    if (pageNames.count(std::string(path)) != 0) return pageFolder + "/" + std::string(path);
    const std::string file(path);
    // From the data folder, else the cache (a player's own stage's picture: cache_folder.h).
    if (file.compare(0, 4, "Img/") == 0 && isSafeImagePath(file)) return imageFileOf(file);
    return std::nullopt;
}

std::string contentTypeOf(std::string_view path) {
    const size_t dot = path.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? "" : path.substr(dot + 1);
    if (extension == "html") return "text/html; charset=utf-8";
    if (extension == "js") return "text/javascript; charset=utf-8";
    if (extension == "css") return "text/css; charset=utf-8";
    if (extension == "txt") return "text/plain; charset=utf-8";
    if (extension == "png") return "image/png";
    if (extension == "jpg" || extension == "jpeg") return "image/jpeg";
    if (extension == "bmp") return "image/bmp";
    if (extension == "svg") return "image/svg+xml";
    if (extension == "wav") return "audio/wav";
    return "application/octet-stream";
}

std::optional<std::string> readServedFile(const std::string& path, size_t maxBytes) {
    std::error_code failure;
    if (!std::filesystem::is_regular_file(path, failure)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, failure);
    if (failure || size > maxBytes) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string contents(static_cast<size_t>(size), '\0');
    if (!file.read(contents.data(), static_cast<std::streamsize>(size))) return std::nullopt;
    return contents;
}
