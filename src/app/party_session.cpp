#include "app/party_session.h"

#include <iostream>

#include "app/lan_address.h"
#include "app/web_hosting.h"
#include "net/party_invitation.h"
#include "net/server_session.h"
#include "platform/graphics.h"

int runPartySession(ParametrosRede& params) {
    if (params.webPort == 0) params.webPort = kDefaultWebPort;
    const std::string address =
        params.invitationAddress.empty() ? lanAddress() : params.invitationAddress;
    params.invitationUrl = invitationUrl(address, params.webPort);
    setFullScreenRequested(true);
    std::cout << "Festa para " << params.numPlayers << " jogadores: os celulares abrem "
              << params.invitationUrl << " (o codigo esta na tela)." << std::endl;
    return runServerSession(params, webPortOpener(params));
}
