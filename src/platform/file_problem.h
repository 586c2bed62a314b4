// The console line for a game file (a picture or a sound under Img/) that could not be loaded.
//
// A file that is not there is "missing"; one that is there (empty, cut short, random bytes, another
// format) is "unreadable". Each path is reported once per process, whatever loads it and however
// often: a picture loaded at every frame says so on its first failure only.
#pragma once

#include <string>

enum class FileKind { kImage, kSound };
enum class FileProblem { kMissing, kUnreadable };

// kMissing when nothing exists at `path`, kUnreadable otherwise.
FileProblem problemOf(const std::string& path);

// "Imagem nao encontrada: PATH", "Imagem ilegivel: PATH", "Som nao encontrado: PATH" or
// "Som ilegivel: PATH"; bytes of the path that are not printable show as '?'.
std::string problemLine(FileKind kind, const std::string& path);

// Whether the console may hold unfinished text (one without a line end) when the report comes: then
// the report starts with a line end of its own, so that the two do not run together.
enum class AfterText { kFinished, kUnfinished };

// Prints problemLine through reportLine, unless this path was reported before. True if printed.
bool reportFileProblem(FileKind kind, const std::string& path,
                       AfterText before = AfterText::kFinished);

// Tests: every path may be reported again.
void forgetReportedFilesForTesting();
