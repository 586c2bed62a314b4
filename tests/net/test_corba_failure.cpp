// The naming-service reference both ends give the ORB, and the messages that CORBA failures
// become.
#include <gtest/gtest.h>
#include <omniORB4/CORBA.h>
#include <omniORB4/minorCode.h>

#include "net/corba_failure.h"
#include "net/orb_setup.h"

namespace {

TEST(OrbSetup, NamingServiceReferenceUsesPort9001AndTheNameServiceKey) {
    EXPECT_EQ("NameService=corbaloc::127.0.0.1:9001/NameService",
              nameServiceReference("127.0.0.1"));
    EXPECT_EQ("NameService=corbaloc::servidor.lan:9001/NameService",
              nameServiceReference("servidor.lan"));
}

TEST(OrbSetup, NamesHaveOneComponentWithEmptyKind) {
    CosNaming::Name name = oneComponentName("controle");
    ASSERT_EQ(1u, name.length());
    EXPECT_STREQ("controle", name[0].id.in());
    EXPECT_STREQ("", name[0].kind.in());
}

TEST(CorbaFailure, DuringPlayTimeoutAndLostConnectionReadDifferently) {
    const CORBA::TRANSIENT timedOut(omni::TRANSIENT_CallTimedout, CORBA::COMPLETED_MAYBE);
    const CORBA::TRANSIENT refused(omni::TRANSIENT_ConnectFailed, CORBA::COMPLETED_NO);
    const CORBA::COMM_FAILURE dropped(0, CORBA::COMPLETED_MAYBE);
    EXPECT_TRUE(isCallTimeout(timedOut));
    EXPECT_FALSE(isCallTimeout(refused));
    EXPECT_EQ("O servidor parou de responder.",
              describeCorbaFailure(timedOut, NetworkStage::Playing, "h"));
    EXPECT_EQ("A conexao com o servidor foi perdida (TRANSIENT).",
              describeCorbaFailure(refused, NetworkStage::Playing, "h"));
    EXPECT_EQ("A conexao com o servidor foi perdida (COMM_FAILURE).",
              describeCorbaFailure(dropped, NetworkStage::Playing, "h"));
}

TEST(CorbaFailure, NamingServiceMessagesNameTheAddressAndTheCause) {
    const CORBA::TRANSIENT refused(omni::TRANSIENT_ConnectFailed, CORBA::COMPLETED_NO);
    EXPECT_EQ(
        "Nao foi possivel contatar o servico de nomes em 10.0.0.7:9001 (TRANSIENT). Ele esta "
        "rodando (scripts/naming-service)?",
        describeCorbaFailure(refused, NetworkStage::NamingService, "10.0.0.7"));
    const CosNaming::NamingContext::NotFound unbound;
    EXPECT_EQ(
        "O servidor nao esta registrado no servico de nomes em 10.0.0.7:9001. Inicie o servidor "
        "antes dos clientes.",
        describeCorbaFailure(unbound, NetworkStage::NamingService, "10.0.0.7"));
}

}  // namespace
