// classic_server: a game server that offers only the classic operations (built from
// classic_interfaces.idl, without the game library), for the test of a current client against it.
//
//   classic_server ADDRESS PLAYERS [sem-pausa]
//
// It binds "fifo", "login" and "controle" in the naming service at ADDRESS:9001 and prints
// "Servidor classico rodando". Each player's first batch loads Img/menu/pause.bmp as "aguardando";
// then every 34 ms a batch draws it on the window, one batch per getInstructions call. With
// "sem-pausa" every call is answered at once with a batch (a server with a backlog to send), which
// draws "aguardando" and Img/menu/aguardando.bmp in turn, so the window keeps changing. Every
// Controle call is printed ("alterarGravidade N", "pausar", "usarCheat"). Ends on SIGTERM.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "classic_interfaces.hh"
#include "named_servants.h"

namespace {

int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

class ClassicLogin : public POA_Login {
  public:
    explicit ClassicLogin(int players) : players(players) {}
    CORBA::Short logar() override {
        const int number = ++joined;
        return number <= players ? static_cast<CORBA::Short>(number) : -1;
    }

  private:
    const int players;
    std::atomic<int> joined{0};
};

class ClassicFifo : public POA_FifoServer {
  public:
    ClassicFifo(int players, bool eager)
        : lastDrawMs(static_cast<size_t>(players), -1), eager(eager) {}
    char* getInstructions(CORBA::UShort player) override {
        std::lock_guard<std::mutex> hold(lock);
        if (player < 1 || player > lastDrawMs.size()) return CORBA::string_dup("");
        int64_t& last = lastDrawMs[player - 1];
        if (last < 0) {
            last = nowMs();
            return CORBA::string_dup(
                "load_bitmap aguardando Img/menu/pause.bmp;draw_sprite screen aguardando 0 0;"
                "load_bitmap fundo Img/menu/aguardando.bmp;");
        }
        if (eager) {
            return CORBA::string_dup(++answers % 2 ? "draw_sprite screen fundo 0 0;"
                                                   : "draw_sprite screen aguardando 0 0;");
        }
        if (nowMs() - last < 34) return CORBA::string_dup("");
        last = nowMs();
        return CORBA::string_dup("draw_sprite screen aguardando 0 0;");
    }

  private:
    std::mutex lock;
    std::vector<int64_t> lastDrawMs;
    const bool eager;
    uint64_t answers = 0;
};

class ClassicControle : public POA_Controle {
  public:
    void alterarGravidade(CORBA::Short player) override {
        say("alterarGravidade " + std::to_string(player));
    }
    void pausar() override { say("pausar"); }
    void usarCheat() override { say("usarCheat"); }
};

}  // namespace

int main(int argc, char** argv) {
    const bool eager = argc == 4 && std::string(argv[3]) == "sem-pausa";
    if (argc != 3 && !eager) {
        std::fprintf(stderr, "uso: classic_server ENDERECO JOGADORES [sem-pausa]\n");
        return 2;
    }
    const int players = std::atoi(argv[2]);
    ClassicFifo fifo(players, eager);
    ClassicLogin login(players);
    ClassicControle controle;
    return named_servants::serve("classic_server", argv[1], fifo, login, controle,
                                 "Servidor classico rodando");
}
