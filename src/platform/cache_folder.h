// The player's folders beside the game's data folder (the XDG base directory rules; a variable
// that is unset, empty or not an absolute path is left aside):
// - the cache, $XDG_CACHE_HOME/corrida (by default ~/.cache/corrida): what the game draws or
//   fetches for itself, such as the pictures of players' own stages ("Img/fases/NAME-HASH.jpg")
//   and the solver's verdicts on them. The image loader looks there after the data folder.
// - the player's data, $XDG_DATA_HOME/corrida (by default ~/.local/share/corrida): the player's own
//   level files, in fases/.
//
// The program writes only inside the cache, and only at a cache path it built itself and
// isCachePath accepts: relative, made of components of letters, digits and "_-.", none empty, none
// starting with ".", at most kMaxCachePathBytes. A path from outside (a level file, the network) is
// never written to; it may only be looked for.
#pragma once

#include <functional>
#include <string>

constexpr size_t kMaxCachePathBytes = 200;

// The cache's path, or empty when neither XDG_CACHE_HOME nor HOME is set.
std::string cacheFolder();
// The player's data folder's path, or empty when neither XDG_DATA_HOME nor HOME is set.
std::string userDataFolder();

bool isCachePath(const std::string& relative);

// Where the cache holds `relative`; empty when it is not a cache path or there is no cache.
std::string cachedFile(const std::string& relative);

// Writes the cache file `relative` through `write`, which is given a temporary path in the same
// folder and returns whether it wrote the whole file there; the temporary file is then renamed
// over `relative` (a reader never sees half a file). Creates the folders it needs. False when
// `relative` is not a cache path, there is no cache or anything fails (the temporary file is then
// removed); `error` then says why.
bool storeInCache(const std::string& relative, const std::function<bool(const std::string&)>& write,
                  std::string& error);
