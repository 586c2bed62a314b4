// classic_server: a game server that offers only the classic operations (built from
// classic_interfaces.idl, without the game library), for the test of a current client against it.
//
//   classic_server ADDRESS PLAYERS
//
// It binds "fifo", "login" and "controle" in the naming service at ADDRESS:9001 and prints
// "Servidor classico rodando". Each player's first batch loads Img/menu/pause.bmp as "aguardando";
// then every 34 ms a batch draws it on the window, one batch per getInstructions call. Every
// Controle call is printed ("alterarGravidade N", "pausar", "usarCheat"). Ends on SIGTERM.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "classic_interfaces.hh"

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
    explicit ClassicFifo(int players) : lastDrawMs(static_cast<size_t>(players), -1) {}
    char* getInstructions(CORBA::UShort player) override {
        std::lock_guard<std::mutex> hold(lock);
        if (player < 1 || player > lastDrawMs.size()) return CORBA::string_dup("");
        int64_t& last = lastDrawMs[player - 1];
        if (last < 0) {
            last = nowMs();
            return CORBA::string_dup(
                "load_bitmap aguardando Img/menu/pause.bmp;draw_sprite screen aguardando 0 0;");
        }
        if (nowMs() - last < 34) return CORBA::string_dup("");
        last = nowMs();
        return CORBA::string_dup("draw_sprite screen aguardando 0 0;");
    }

  private:
    std::mutex lock;
    std::vector<int64_t> lastDrawMs;
};

class ClassicControle : public POA_Controle {
  public:
    void alterarGravidade(CORBA::Short player) override {
        say("alterarGravidade " + std::to_string(player));
    }
    void pausar() override { say("pausar"); }
    void usarCheat() override { say("usarCheat"); }
};

CosNaming::Name named(const char* id) {
    CosNaming::Name name;
    name.length(1);
    name[0].id = CORBA::string_dup(id);
    name[0].kind = CORBA::string_dup("");
    return name;
}

CORBA::ORB_ptr runningOrb = CORBA::ORB::_nil();
std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested = true; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "uso: classic_server ENDERECO JOGADORES\n");
        return 2;
    }
    const std::string reference =
        std::string("NameService=corbaloc::") + argv[1] + ":9001/NameService";
    std::string slot = "classic_server", option = "-ORBInitRef", value = reference;
    char* orbArgs[] = {slot.data(), option.data(), value.data(), nullptr};
    int orbArgc = 3;
    try {
        CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, orbArgs, "");
        CORBA::Object_var poaObject = orb->resolve_initial_references("RootPOA");
        PortableServer::POA_var poa = PortableServer::POA::_narrow(poaObject);
        const int players = std::atoi(argv[2]);
        ClassicFifo fifo(players);
        ClassicLogin login(players);
        ClassicControle controle;
        FifoServer_var fifoRef = fifo._this();
        Login_var loginRef = login._this();
        Controle_var controleRef = controle._this();
        CORBA::Object_var namesObject = orb->resolve_initial_references("NameService");
        CosNaming::NamingContext_var names = CosNaming::NamingContext::_narrow(namesObject);
        names->rebind(named("fifo"), fifoRef);
        names->rebind(named("login"), loginRef);
        names->rebind(named("controle"), controleRef);
        PortableServer::POAManager_var manager = poa->the_POAManager();
        manager->activate();
        signal(SIGTERM, requestStop);
        signal(SIGINT, requestStop);
        say("Servidor classico rodando");
        while (!stopRequested) usleep(20000);
        orb->shutdown(true);
        poa->destroy(true, true);
        orb->destroy();
    } catch (const CORBA::Exception& failure) {
        std::fprintf(stderr, "classic_server: %s\n", failure._name());
        return 1;
    }
    return 0;
}
