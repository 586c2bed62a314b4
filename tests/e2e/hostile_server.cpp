// hostile_server: a server that follows the published interfaces and abuses them, for the tests of
// what a client does against a server that sends anything (built from idl/corrida.idl alone).
//
//   hostile_server ADDRESS out-of-order   every takeFrames answer is a later part than the one the
//                                         client awaits (part 1 never comes), 1.9 MB each
//   hostile_server ADDRESS heavy          answers in order, each 1.9 MB of the largest blits a
//                                         client accepts, a picture marker after every ten, each
//                                         call held as long as the client allows
//
// It binds "fifo", "login" and "controle" in the naming service at ADDRESS:9001 and prints
// "Servidor hostil rodando"; logar gives player 1 to everyone. Ends on SIGTERM.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "corrida.hh"
#include "named_servants.h"

namespace {

constexpr size_t kAnswerBytes = 1900000;

class AnyLogin : public POA_Login {
  public:
    CORBA::Short logar() override { return 1; }
    CORBA::Short join(CORBA::String_out secret) override {
        secret = CORBA::string_dup("hostil");
        return 1;
    }
    CORBA::Short rejoin(const char*, CORBA::ULongLong& nextPart) override {
        nextPart = 1;
        return 1;
    }
    CORBA::Short assistir() override { return 7; }
};

// The largest bitmaps a client creates, blitted onto each other over and over.
std::string heavyDrawing() {
    const std::string blit = "blit huge target 0 0 0 0 18000 480;";
    std::string text;
    int blits = 0;
    int frame = 0;
    while (text.size() < kAnswerBytes) {
        text += blit;
        if (++blits % 10 == 0) text += "frame " + std::to_string(++frame) + " 0;";
    }
    return text;
}

class HostileFifo : public POA_FifoServer {
  public:
    explicit HostileFifo(bool inOrder) : inOrder(inOrder), drawing(heavyDrawing()) {}
    char* getInstructions(CORBA::UShort) override { return CORBA::string_dup(""); }
    char* takeFrames(CORBA::UShort, CORBA::UShort waitMs) override {
        // In order, each call is held as long as the client allows, as a server with no picture
        // ready would: the client gets answers as fast as it takes them, never faster.
        if (inOrder) usleep(1000u * waitMs);
        const uint64_t number = ++part;
        std::string answer = "part " + std::to_string(inOrder ? number : number + 1) + ";";
        if (inOrder && number == 1) {
            answer += "create_bitmap huge 18000 480;create_bitmap target 18000 480;";
        }
        answer += drawing;
        return CORBA::string_dup(answer.c_str());
    }
    char* takeOwnFrames(const char*, CORBA::UShort waitMs) override {
        return takeFrames(1, waitMs);
    }
    // The plain texts are the hostile ones: clients are sent to them.
    Deflated* takeDeflatedFrames(CORBA::UShort, CORBA::UShort, CORBA::ULongLong&) override {
        throw CORBA::BAD_OPERATION();
    }
    Deflated* takeOwnDeflatedFrames(const char*, CORBA::UShort, CORBA::ULongLong&) override {
        throw CORBA::BAD_OPERATION();
    }
    Deflated* takePackedFrames(CORBA::UShort, CORBA::UShort, CORBA::ULongLong&) override {
        throw CORBA::BAD_OPERATION();
    }
    CORBA::ULongLong pop(CORBA::ULongLong, CORBA::UShort, Deflated_out) override {
        throw CORBA::BAD_OPERATION();
    }
    // A level past the size a client reads, under a hash that is not its own.
    char* stageLevel(const char*, CORBA::ULongLong& hash) override {
        hash = 1;
        std::string level;
        while (level.size() <= 100000) level += "floor 0 18000 0\n";
        return CORBA::string_dup(level.c_str());
    }

  private:
    const bool inOrder;
    const std::string drawing;
    std::atomic<uint64_t> part{0};
};

class SilentControle : public POA_Controle {
  public:
    void alterarGravidade(CORBA::Short) override {}
    void pausar() override {}
    void usarCheat() override {}
    void flip(const char*) override {}
    void pause(const char*) override {}
    void cheat(const char*) override {}
};

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[2] : "";
    if (mode != "out-of-order" && mode != "heavy") {
        std::fprintf(stderr, "uso: hostile_server ENDERECO (out-of-order | heavy)\n");
        return 2;
    }
    HostileFifo fifo(mode == "heavy");
    AnyLogin login;
    SilentControle controle;
    return named_servants::serve("hostile_server", argv[1], fifo, login, controle,
                                 "Servidor hostil rodando");
}
