#include "net/stage_level_fetch.h"

#include <omniORB4/omniORB.h>

#include "net/corba_failure.h"
#include "platform/cache_folder.h"
#include "platform/clock.h"
#include "platform/console_report.h"
#include "world/level_hash.h"
#include "world/own_stages.h"
#include "world/stage_picture_cache.h"

namespace {

bool isStagePicturePath(const std::string& path) {
    return path.compare(0, 4, "Img/") == 0 && path.size() > 4 &&
           path.compare(path.size() - 4, 4, ".jpg") == 0 && isCachePath(path);
}

// The thread's own timeout for the calls it makes while it lives. The ORB keeps it with the
// thread's omni_thread: a thread the program started itself gets a stand-in for as long.
class ThreadCallTimeout {
  public:
    explicit ThreadCallTimeout(uint32_t ms) {
        if (!omni_thread::self()) standIn_ = omni_thread::create_dummy() != nullptr;
        omniORB::setClientThreadCallTimeout(ms);
    }
    ~ThreadCallTimeout() {
        omniORB::setClientThreadCallTimeout(0);
        if (standIn_) omni_thread::release_dummy();
    }
    ThreadCallTimeout(const ThreadCallTimeout&) = delete;
    ThreadCallTimeout& operator=(const ThreadCallTimeout&) = delete;

  private:
    bool standIn_ = false;
};

}  // namespace

bool drawFetchedLevel(const std::string& picturePath, const FetchedLevel& fetched,
                      std::string& error) {
    const std::string prefix = "A fase da imagem " + picturePath + " recebida do servidor ";
    if (fetched.text.empty()) {
        error = "O servidor nao tem a fase da imagem " + picturePath + ".";
        return false;
    }
    if (fetched.text.size() > kMaxLevelBytes) {
        error = prefix + "e grande demais (" + std::to_string(fetched.text.size()) + " bytes).";
        return false;
    }
    if (levelHash(fetched.text) != fetched.hash) {
        error = prefix + "nao confere com o hash que ele deu.";
        return false;
    }
    Level level;
    std::string problem;
    if (!readLevelFor(picturePath, fetched.text, level, problem)) {
        error = prefix + "foi recusada: " + problem;
        return false;
    }
    if (!drawStagePictureIntoCache(level, picturePath, problem)) {
        error = prefix + "nao foi desenhada: " + problem;
        return false;
    }
    return true;
}

bool StageLevelFetch::operator()(const std::string& picturePath) {
    if (unsupported_ || !isStagePicturePath(picturePath) || asked_.size() >= kMaxAsked ||
        !asked_.insert(picturePath).second)
        return false;
    const int64_t start = clockMs();
    FetchedLevel fetched;
    try {
        ThreadCallTimeout bounded(kLevelFetchTimeoutMs);
        CORBA::ULongLong hash = 0;
        CORBA::String_var text = server_->stageLevel(picturePath.c_str(), hash);
        fetched.text = text.in();
        fetched.hash = hash;
    } catch (const CORBA::BAD_OPERATION&) {
        unsupported_ = true;  // an older server: its missing pictures fail as ever
        return false;
    } catch (const CORBA::Exception& failure) {
        reportLine("Nao foi possivel buscar no servidor a fase da imagem " + picturePath + ": " +
                   (isCallTimeout(failure) ? std::string("o servidor nao respondeu a tempo")
                                           : std::string(failure._name())));
        return false;
    }
    std::string error;
    if (!drawFetchedLevel(picturePath, fetched, error)) {
        reportLine(error);
        return false;
    }
    reportLine("Imagem " + picturePath + " desenhada da fase recebida do servidor (" +
               std::to_string(fetched.text.size()) + " bytes, " +
               std::to_string(clockMs() - start) + " ms), guardada em " + cacheFolder() + ".");
    return true;
}
