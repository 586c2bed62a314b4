// name_thief: a peer that tries to take the game's names over in the naming service at
// ADDRESS:9001, built from idl/corrida.idl and CosNaming alone.
//
//   name_thief ADDRESS all     rebind "fifo", "login" and "controle" to its own objects, unbind
//                              them, bind 20 names of 1 MB each, and try the other writing
//                              operations (bind_context, rebind_context, new_context,
//                              bind_new_context, destroy); then says whose objects the three names
//                              lead to, and ends
//   name_thief ADDRESS login   rebind "login" alone to its own object, and serve it until SIGTERM
//
// It prints one line per attempt, "OPERATION NAME: ok" or "OPERATION NAME: EXCEPTION", then
// "fifo: do servidor" (or "do ladrao") for each name, and "Ladrao pronto" at the end. Its login
// prints "LADRAO: logar" when someone joins it.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "corrida.hh"
#include "named_servants.h"

namespace {

class ThiefLogin : public POA_Login {
  public:
    CORBA::Short logar() override {
        std::printf("LADRAO: logar\n");
        std::fflush(stdout);
        return 1;
    }
    CORBA::Short join(CORBA::String_out secret) override {
        std::printf("LADRAO: join\n");
        std::fflush(stdout);
        secret = CORBA::string_dup("ladrao");
        return 1;
    }
    CORBA::Short rejoin(const char*, CORBA::ULongLong& nextPart) override {
        nextPart = 1;
        return 1;
    }
    CORBA::Short assistir() override {
        std::printf("LADRAO: assistir\n");
        std::fflush(stdout);
        return 7;
    }
};

class ThiefFifo : public POA_FifoServer {
  public:
    char* getInstructions(CORBA::UShort) override { return CORBA::string_dup(""); }
    char* takeFrames(CORBA::UShort, CORBA::UShort) override { return CORBA::string_dup(""); }
    char* takeOwnFrames(const char*, CORBA::UShort) override { return CORBA::string_dup(""); }
    Deflated* takeDeflatedFrames(CORBA::UShort, CORBA::UShort, CORBA::ULongLong& part) override {
        part = 0;
        return new Deflated();
    }
    Deflated* takeOwnDeflatedFrames(const char*, CORBA::UShort, CORBA::ULongLong& part) override {
        part = 0;
        return new Deflated();
    }
    Deflated* takePackedFrames(CORBA::UShort, CORBA::UShort, CORBA::ULongLong& part) override {
        part = 0;
        return new Deflated();
    }
    CORBA::ULongLong pop(CORBA::ULongLong, CORBA::UShort, Deflated_out answer) override {
        answer = new Deflated();
        return 0;
    }
    char* stageLevel(const char*, CORBA::ULongLong& hash) override {
        hash = 0;
        return CORBA::string_dup("");
    }
};

class ThiefControle : public POA_Controle {
  public:
    void alterarGravidade(CORBA::Short) override {}
    void pausar() override {}
    void usarCheat() override {}
    void flip(const char*) override {}
    void pause(const char*) override {}
    void cheat(const char*) override {}
};

void say(const std::string& attempt, const char* outcome) {
    std::printf("%s: %s\n", attempt.c_str(), outcome);
    std::fflush(stdout);
}

// Runs one attempt and says how it went.
template <typename Call>
void attempt(const std::string& what, Call call) {
    try {
        call();
        say(what, "ok");
    } catch (const CORBA::Exception& failure) {
        say(what, failure._name());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[2] : "";
    if (mode != "all" && mode != "login") {
        std::fprintf(stderr, "uso: name_thief ENDERECO (all | login)\n");
        return 2;
    }
    const std::string reference =
        std::string("NameService=corbaloc::") + argv[1] + ":9001/NameService";
    std::string slot = "name_thief", option = "-ORBInitRef", value = reference;
    char* orbArgs[] = {slot.data(), option.data(), value.data(), nullptr};
    int orbArgc = 3;
    using named_servants::named;
    try {
        CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, orbArgs, "");
        CORBA::Object_var poaObject = orb->resolve_initial_references("RootPOA");
        PortableServer::POA_var poa = PortableServer::POA::_narrow(poaObject);
        PortableServer::POAManager_var manager = poa->the_POAManager();
        manager->activate();
        ThiefFifo fifo;
        ThiefLogin login;
        ThiefControle controle;
        CORBA::Object_var mine[] = {fifo._this(), login._this(), controle._this()};
        const char* ids[] = {"fifo", "login", "controle"};
        CORBA::Object_var namesObject = orb->resolve_initial_references("NameService");
        CosNaming::NamingContext_var names = CosNaming::NamingContext::_narrow(namesObject);

        if (mode == "login") {
            attempt("rebind login", [&] { names->rebind(named("login"), mine[1]); });
        } else {
            for (int i = 0; i < 3; ++i) {
                attempt(std::string("rebind ") + ids[i],
                        [&] { names->rebind(named(ids[i]), mine[i]); });
            }
            for (const char* id : ids) {
                attempt(std::string("unbind ") + id, [&] { names->unbind(named(id)); });
            }
            for (int i = 1; i <= 20; ++i) {
                const std::string huge = std::to_string(i) + std::string(1 << 20, 'x');
                attempt("bind grande " + std::to_string(i),
                        [&] { names->bind(named(huge.c_str()), mine[0]); });
            }
            attempt("bind_context ctx", [&] { names->bind_context(named("ctx"), names); });
            attempt("rebind_context fifo", [&] { names->rebind_context(named("fifo"), names); });
            attempt("new_context -",
                    [&] { CosNaming::NamingContext_var c = names->new_context(); });
            attempt("bind_new_context ctx2", [&] {
                CosNaming::NamingContext_var c = names->bind_new_context(named("ctx2"));
            });
            attempt("destroy -", [&] { names->destroy(); });
            for (int i = 0; i < 3; ++i) {
                try {
                    CORBA::Object_var found = names->resolve(named(ids[i]));
                    say(ids[i], found->_is_equivalent(mine[i]) ? "do ladrao" : "do servidor");
                } catch (const CORBA::Exception& failure) {
                    say(ids[i], failure._name());
                }
            }
        }
        std::printf("Ladrao pronto\n");
        std::fflush(stdout);
        if (mode == "login") {
            signal(SIGTERM, named_servants::requestStop);
            signal(SIGINT, named_servants::requestStop);
            while (!named_servants::stopRequested) usleep(20000);
        }
        orb->shutdown(true);
        orb->destroy();
    } catch (const CORBA::Exception& failure) {
        std::fprintf(stderr, "name_thief: %s\n", failure._name());
        return 1;
    }
    return 0;
}
