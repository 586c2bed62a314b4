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
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "corrida.hh"

namespace {

constexpr size_t kAnswerBytes = 1900000;

class AnyLogin : public POA_Login {
  public:
    CORBA::Short logar() override { return 1; }
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
};

CosNaming::Name named(const char* id) {
    CosNaming::Name name;
    name.length(1);
    name[0].id = CORBA::string_dup(id);
    name[0].kind = CORBA::string_dup("");
    return name;
}

std::atomic<bool> stopRequested{false};
void requestStop(int) { stopRequested = true; }

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[2] : "";
    if (mode != "out-of-order" && mode != "heavy") {
        std::fprintf(stderr, "uso: hostile_server ENDERECO (out-of-order | heavy)\n");
        return 2;
    }
    const std::string reference =
        std::string("NameService=corbaloc::") + argv[1] + ":9001/NameService";
    std::string slot = "hostile_server", option = "-ORBInitRef", value = reference;
    char* orbArgs[] = {slot.data(), option.data(), value.data(), nullptr};
    int orbArgc = 3;
    try {
        CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, orbArgs, "");
        CORBA::Object_var poaObject = orb->resolve_initial_references("RootPOA");
        PortableServer::POA_var poa = PortableServer::POA::_narrow(poaObject);
        HostileFifo fifo(mode == "heavy");
        AnyLogin login;
        SilentControle controle;
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
        std::printf("Servidor hostil rodando\n");
        std::fflush(stdout);
        while (!stopRequested) usleep(20000);
        orb->shutdown(true);
        orb->destroy();
    } catch (const CORBA::Exception& failure) {
        std::fprintf(stderr, "hostile_server: %s\n", failure._name());
        return 1;
    }
    return 0;
}
