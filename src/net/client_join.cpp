#include "net/client_join.h"

#include <cstdlib>
#include <iostream>

#include "net/corba_failure.h"
#include "stream/viewer_queues.h"

bool classicClient() {
    const char* forced = std::getenv("CORRIDA_FETCH");
    return forced && std::string(forced) == "classic";
}

std::optional<JoinedPlace> joinServer(Login_ptr login, const std::string& address) {
    try {
        if (!classicClient()) {
            try {
                CORBA::String_var secret;
                const CORBA::Short player = login->join(secret.out());
                return JoinedPlace{player, secret.in()};
            } catch (const CORBA::BAD_OPERATION&) {
                // A server from before join: its players are numbers.
            }
        }
        return JoinedPlace{login->logar(), ""};
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, NetworkStage::Joining, address) << std::endl;
        return std::nullopt;
    }
}

std::optional<int> watchServer(Login_ptr login, const std::string& address) {
    try {
        const int viewer = login->assistir();
        if (viewer == -1) {
            std::cout << "O servidor ja tem todos os espectadores que aceita" << std::endl;
            return std::nullopt;
        }
        if (viewer < ViewerQueues::kFirstSpectator) {
            std::cout << "O servidor respondeu com um numero de espectador invalido: " << viewer
                      << std::endl;
            return std::nullopt;
        }
        return viewer;
    } catch (const CORBA::BAD_OPERATION&) {
        std::cout << "O servidor em " << address << " nao aceita espectadores." << std::endl;
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, NetworkStage::Joining, address) << std::endl;
    }
    return std::nullopt;
}

std::optional<FetchPlan> chooseFetch(FifoServer_ptr fifo, const Fetcher& self,
                                     const std::string& address) {
    try {
        return planFetch(fifo, self, !classicClient());
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, NetworkStage::Joining, address) << std::endl;
        return std::nullopt;
    }
}
