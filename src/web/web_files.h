// Which files the web port serves, and how: the page (the program's data folder's web/, by the
// names it held when the port opened) and the game's files that the drawing stream names (under
// Img/, by the interpreter's path rules, from the data folder or else the cache: platform/
// image_file.h). Nothing else on the disk is reachable.
//
// Paths are relative to the data folder, which is the current directory (data_folder.h).
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>

// The page's folder, relative to the data folder.
constexpr const char* kPageFolder = "web";
// The largest file served; the game's largest picture is far smaller.
constexpr size_t kMaxServedFileBytes = 32u << 20;

class WebFiles {
  public:
    // The page's file names, read from `pageFolder` now: plain lowercase names with an extension,
    // no folders.
    explicit WebFiles(const std::string& pageFolder = kPageFolder);
    // For tests: the page's names given.
    WebFiles(std::string pageFolder, std::set<std::string> pageNames);

    // The file a request target names ("/" is the page, "/page.js" a page file, "/Img/..." a game
    // file), its query left out; nothing for any other target.
    std::optional<std::string> fileFor(std::string_view target) const;

    size_t pageFileCount() const { return pageNames.size(); }

  private:
    std::string pageFolder;
    std::set<std::string> pageNames;
};

// The media type a browser expects for the file at `path`, from its extension.
std::string contentTypeOf(std::string_view path);

// The whole file at `path`, when it is a regular file of at most `maxBytes`.
std::optional<std::string> readServedFile(const std::string& path,
                                          size_t maxBytes = kMaxServedFileBytes);
