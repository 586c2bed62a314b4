// Where the game's images are, whatever the current directory.
//
// The game reads its images by relative paths ("Img/menu/menu.jpg", and the same paths travel in
// the drawing instructions), so the program moves into the folder that holds Img/ before anything
// loads. It looks, in this order:
//   1. CORRIDA_DATA, when set: then that folder only, so a wrong value is reported, not bypassed;
//   2. the executable's own folder (the build tree);
//   3. the data folder of an installation, found from the executable's folder (bin/ to
//      share/corrida, so an installation moved to another prefix still works);
//   4. the data folder of the prefix the program was configured for.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The folders to try, in order, from CORRIDA_DATA's value (nullptr when unset) and the folder of
// the executable (empty when unknown).
std::vector<std::string> dataFolderCandidates(const char* corridaData,
                                              const std::string& executableFolder);

// The first candidate that holds a folder Img/.
std::optional<std::string> firstWithImages(const std::vector<std::string>& candidates);

// Finds the folder for this process and makes it the current directory. When there is none, says
// so on `errors` in one line and returns false.
bool enterDataFolder(std::ostream& errors);
