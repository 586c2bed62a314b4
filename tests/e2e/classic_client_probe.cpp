// classic_client_probe: a client that uses only the classic operations, as clients did before
// takeFrames: it joins with logar and then calls getInstructions again and again without any pause,
// replaying every batch on a 640 x 480 picture in memory (no window needed).
//
//   classic_client_probe ADDRESS PICTURES SECONDS [LOG]
//
// It stops once PICTURES pictures have been drawn on its window (a blit or sprite onto "screen")
// or after SECONDS, and prints "imagens N". Replay problems appear on standard output as the
// interpreter reports them ("Bitmap nao encontrado na lista"). With LOG, the pictures the server
// marked (CORRIDA_MARK_FRAMES=1 on the server) are logged as the client's replay log. Run it from
// the folder that holds Img/.
#include <allegro.h>
#include <jpgalleg.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "corrida.hh"
#include "net/orb_setup.h"
#include "stream/frame_replayer.h"
#include "stream/interpreter.h"

namespace {

// Pieces of `batch` that draw onto the window.
int windowDraws(const std::string& batch) {
    int draws = 0;
    size_t start = 0;
    while (start < batch.size()) {
        size_t end = batch.find(';', start);
        if (end == std::string::npos) end = batch.size();
        const std::string piece = batch.substr(start, end - start);
        if (piece.rfind("draw_sprite screen ", 0) == 0 ||
            piece.rfind("draw_sprite_v_flip screen ", 0) == 0 ||
            (piece.rfind("blit ", 0) == 0 && piece.find(" screen ") != std::string::npos)) {
            ++draws;
        }
        start = end + 1;
    }
    return draws;
}

CORBA::Object_ptr lookUp(CORBA::ORB_ptr orb, const char* id) {
    CosNaming::NamingContext_var names = rootNamingContext(orb);
    return names->resolve(oneComponentName(id));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "uso: classic_client_probe ENDERECO IMAGENS SEGUNDOS [LOG]" << std::endl;
        return 2;
    }
    const long wanted = std::atol(argv[2]);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(std::atol(argv[3]));
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();  // the stage pictures are JPEG files
    BITMAP* window = create_bitmap(640, 480);
    long pictures = 0;
    int status = 0;
    try {
        CORBA::ORB_var orb = startOrb("classic_client_probe", argv[1]);
        CORBA::Object_var loginObject = lookUp(orb, "login");
        Login_var login = Login::_narrow(loginObject);
        CORBA::Object_var fifoObject = lookUp(orb, "fifo");
        FifoServer_var fifo = FifoServer::_narrow(fifoObject);
        const CORBA::Short player = login->logar();
        std::cout << "VOCE EH O PLAYER: " << player << std::endl;
        {
            ListaBitmaps registry(window);
            FrameReplayer replayer(registry, argc > 4 ? argv[4] : "");
            while (pictures < wanted && std::chrono::steady_clock::now() < deadline) {
                CORBA::String_var batch = fifo->getInstructions(static_cast<CORBA::UShort>(player));
                if (batch[0] == '\0') continue;
                pictures += windowDraws(batch.in());
                replayer.replay(batch.in());
            }
        }
        orb->destroy();
    } catch (const CORBA::Exception& failure) {
        std::cout << "falha: " << failure._name() << std::endl;
        status = 1;
    }
    std::cout << "imagens " << pictures << std::endl;
    destroy_bitmap(window);
    return status;
}
