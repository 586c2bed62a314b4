// The console line for a game file (a picture or a sound under Img/) that could not be loaded.
//
// A file that is not there is "missing"; one that is there (empty, cut short, random bytes, another
// format) is "unreadable", unless it could not even be opened because the process or the system
// has no file descriptor free ("no descriptors": nothing is wrong with the file, and the same load
// may work a moment later). Each missing or unreadable path is reported once per process, whatever
// loads it and however often: a picture loaded at every frame says so on its first failure only. A
// lack of descriptors is reported at most once every kNoDescriptorsReportMs per path.
#pragma once

#include <string>

enum class FileKind { kImage, kSound };
enum class FileProblem { kMissing, kUnreadable, kNoDescriptors };

constexpr int kNoDescriptorsReportMs = 5000;

// kMissing when nothing exists at `path`; kNoDescriptors when opening it fails for want of a free
// file descriptor (EMFILE, ENFILE); kUnreadable otherwise.
FileProblem problemOf(const std::string& path);

// "Imagem nao encontrada: PATH", "Imagem ilegivel: PATH", "Som nao encontrado: PATH" or
// "Som ilegivel: PATH"; for a lack of descriptors "Imagem nao carregada, faltam descritores de
// arquivo (arquivos abertos demais): PATH" ("Som nao carregado, ..."). Bytes of the path that are
// not printable show as '?'.
std::string problemLine(FileKind kind, const std::string& path);

// Whether the console may hold unfinished text (one without a line end) when the report comes: then
// the report starts with a line end of its own, so that the two do not run together.
enum class AfterText { kFinished, kUnfinished };

// Prints problemLine through reportLine, unless this path was reported before (a lack of
// descriptors: within the last kNoDescriptorsReportMs). True if printed.
bool reportFileProblem(FileKind kind, const std::string& path,
                       AfterText before = AfterText::kFinished);

// Tests: every path may be reported again.
void forgetReportedFilesForTesting();
