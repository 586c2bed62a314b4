// The read-only naming context a server hosted in one step serves: through the real ORB on the
// loopback interface, as a client reaches it, names resolve and list as in a naming service, and
// every writing operation is refused and counted.
#include <gtest/gtest.h>

#include <memory>
#include <omniORB4/Naming.hh>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "loopback_orb.h"
#include "net/hosted_names.h"
#include "net/login_impl.h"
#include "net/orb_setup.h"
#include "net/read_only_naming_context.h"
#include "net/server_context.h"
#include "net/server_references.h"

namespace {

PortableServer::POA_ptr rootPoa() {
    CORBA::Object_var object = loopbackOrb()->resolve_initial_references("RootPOA");
    return PortableServer::POA::_narrow(object);
}

// Three logins standing for the server's three objects, and a context binding them.
struct ThreeNames {
    ServerContext server{6};
    const CallerHost caller = [] { return std::string("10.0.0.1"); };
    Login_impl fifoServant{server, caller}, loginServant{server, caller},
        controleServant{server, caller};
    Activated fifo{&fifoServant}, login{&loginServant}, controle{&controleServant};
    CORBA::Object_var fifoRef = fifo.as<CORBA::Object>();
    CORBA::Object_var loginRef = login.as<CORBA::Object>();
    CORBA::Object_var controleRef = controle.as<CORBA::Object>();
    std::vector<NamingWrite> reported;
    PortableServer::POA_var poa = rootPoa();
    ReadOnlyNamingContext servant{
        poa,
        [this] {
            ReadOnlyNamingContext::Bindings bindings;
            bindings.emplace_back("fifo", CORBA::Object::_duplicate(fifoRef));
            bindings.emplace_back("login", CORBA::Object::_duplicate(loginRef));
            bindings.emplace_back("controle", CORBA::Object::_duplicate(controleRef));
            return bindings;
        }(),
        [this](NamingWrite kind) { reported.push_back(kind); }};
    Activated context{&servant};
    CosNaming::NamingContextExt_var names = context.as<CosNaming::NamingContextExt>();
};

CosNaming::Name twoComponents(const char* first, const char* second) {
    CosNaming::Name name;
    name.length(2);
    name[0].id = CORBA::string_dup(first);
    name[0].kind = CORBA::string_dup("");
    name[1].id = CORBA::string_dup(second);
    name[1].kind = CORBA::string_dup("");
    return name;
}

TEST(ReadOnlyNamingContext, ResolvesEachBoundNameToItsObject) {
    ThreeNames three;
    ASSERT_FALSE(CORBA::is_nil(three.names));
    CORBA::Object_var fifo = three.names->resolve(oneComponentName("fifo"));
    CORBA::Object_var login = three.names->resolve(oneComponentName("login"));
    CORBA::Object_var controle = three.names->resolve_str("controle");
    EXPECT_TRUE(fifo->_is_equivalent(three.fifoRef));
    EXPECT_TRUE(login->_is_equivalent(three.loginRef));
    EXPECT_TRUE(controle->_is_equivalent(three.controleRef));
    EXPECT_FALSE(fifo->_is_equivalent(three.loginRef));
    Login_var asLogin = Login::_narrow(login);
    EXPECT_EQ(1, asLogin->logar());
}

TEST(ReadOnlyNamingContext, AnUnknownNameIsNotFoundAsInANamingService) {
    ThreeNames three;
    try {
        CORBA::Object_var none = three.names->resolve(oneComponentName("placar"));
        FAIL() << "resolved a name nobody bound";
    } catch (const CosNaming::NamingContext::NotFound& notFound) {
        EXPECT_EQ(CosNaming::NamingContext::missing_node, notFound.why);
        ASSERT_EQ(1u, notFound.rest_of_name.length());
        EXPECT_STREQ("placar", notFound.rest_of_name[0].id);
    }
    CosNaming::Name withKind = oneComponentName("login");
    withKind[0].kind = CORBA::string_dup("ctx");
    EXPECT_THROW(three.names->resolve(withKind), CosNaming::NamingContext::NotFound);
    try {
        CORBA::Object_var none = three.names->resolve(twoComponents("login", "x"));
        FAIL() << "went through an object that is no context";
    } catch (const CosNaming::NamingContext::NotFound& notFound) {
        EXPECT_EQ(CosNaming::NamingContext::not_context, notFound.why);
    }
    EXPECT_THROW(three.names->resolve(CosNaming::Name()), CosNaming::NamingContext::InvalidName);
    EXPECT_THROW(three.names->resolve_str("nada"), CosNaming::NamingContext::NotFound);
}

TEST(ReadOnlyNamingContext, ListsEveryBindingDirectlyOrThroughAnIterator) {
    ThreeNames three;
    CosNaming::BindingList_var all;
    CosNaming::BindingIterator_var none;
    three.names->list(10, all, none);
    ASSERT_EQ(3u, all->length());
    EXPECT_TRUE(CORBA::is_nil(none));
    EXPECT_STREQ("fifo", all[0].binding_name[0].id);
    EXPECT_STREQ("login", all[1].binding_name[0].id);
    EXPECT_STREQ("controle", all[2].binding_name[0].id);
    EXPECT_EQ(CosNaming::nobject, all[2].binding_type);

    CosNaming::BindingList_var first;
    CosNaming::BindingIterator_var rest;
    three.names->list(1, first, rest);
    ASSERT_EQ(1u, first->length());
    ASSERT_FALSE(CORBA::is_nil(rest));
    CosNaming::Binding_var second;
    ASSERT_TRUE(rest->next_one(second));
    EXPECT_STREQ("login", second->binding_name[0].id);
    CosNaming::BindingList_var others;
    ASSERT_TRUE(rest->next_n(5, others));
    ASSERT_EQ(1u, others->length());
    EXPECT_STREQ("controle", others[0].binding_name[0].id);
    EXPECT_FALSE(rest->next_n(5, others));
    rest->destroy();
    EXPECT_THROW(rest->next_one(second), CORBA::OBJECT_NOT_EXIST);
}

TEST(ReadOnlyNamingContext, ListingAgainAndAgainHoldsAFewIteratorsAtMost) {
    ThreeNames three;
    std::vector<CosNaming::BindingIterator_var> iterators;
    for (int i = 0; i < 20; ++i) {
        CosNaming::BindingList_var none;
        CosNaming::BindingIterator_var iterator;
        three.names->list(0, none, iterator);
        EXPECT_EQ(0u, none->length());
        iterators.push_back(iterator);
    }
    int alive = 0;
    for (auto& iterator : iterators) {
        CosNaming::Binding_var binding;
        try {
            EXPECT_TRUE(iterator->next_one(binding));
            ++alive;
        } catch (const CORBA::OBJECT_NOT_EXIST&) {
        }
    }
    EXPECT_EQ(static_cast<int>(ReadOnlyNamingContext::kMaxIterators), alive);
    CosNaming::Binding_var binding;
    EXPECT_TRUE(iterators.back()->next_one(binding));  // the newest are the ones kept
}

TEST(ReadOnlyNamingContext, EveryWriteIsRefusedCountedAndReportedOncePerKind) {
    ThreeNames three;
    CosNaming::NamingContextExt_var names = three.names;
    CORBA::Object_var intruder = three.loginRef;
    const CosNaming::Name fifo = oneComponentName("fifo");
    const CosNaming::Name other = oneComponentName("outro");
    EXPECT_THROW(names->bind(other, intruder), CORBA::NO_PERMISSION);
    EXPECT_THROW(names->rebind(fifo, intruder), CORBA::NO_PERMISSION);
    EXPECT_THROW(names->rebind(fifo, intruder), CORBA::NO_PERMISSION);
    EXPECT_THROW(names->bind_context(other, names), CORBA::NO_PERMISSION);
    EXPECT_THROW(names->rebind_context(fifo, names), CORBA::NO_PERMISSION);
    EXPECT_THROW(names->unbind(fifo), CORBA::NO_PERMISSION);
    EXPECT_THROW(CosNaming::NamingContext_var(names->new_context()), CORBA::NO_PERMISSION);
    EXPECT_THROW(CosNaming::NamingContext_var(names->bind_new_context(other)),
                 CORBA::NO_PERMISSION);
    EXPECT_THROW(names->destroy(), CORBA::NO_PERMISSION);

    for (int kind = 0; kind < kNamingWriteKinds; ++kind) {
        EXPECT_EQ(kind == static_cast<int>(NamingWrite::Rebind) ? 2u : 1u,
                  three.servant.refusals(static_cast<NamingWrite>(kind)))
            << namingWriteName(static_cast<NamingWrite>(kind));
    }
    EXPECT_EQ(9u, three.servant.totalRefusals());
    EXPECT_EQ(static_cast<size_t>(kNamingWriteKinds), three.reported.size());
    EXPECT_EQ(
        "bind 1, rebind 2, bind_context 1, rebind_context 1, unbind 1, new_context 1, "
        "bind_new_context 1, destroy 1",
        three.servant.refusalSummary());
    // Nothing changed.
    CORBA::Object_var stillFifo = names->resolve(fifo);
    EXPECT_TRUE(stillFifo->_is_equivalent(three.fifoRef));
    EXPECT_THROW(names->resolve(other), CosNaming::NamingContext::NotFound);
}

TEST(ReadOnlyNamingContext, ANameAndItsStringFormGoBothWays) {
    ThreeNames three;
    CosNaming::Name name = twoComponents("a/b", "c");
    name[1].kind = CORBA::string_dup("d.e");
    CORBA::String_var text = three.names->to_string(name);
    EXPECT_STREQ("a\\/b/c.d\\.e", text.in());
    CosNaming::Name_var back = three.names->to_name(text);
    ASSERT_EQ(2u, back->length());
    EXPECT_STREQ("a/b", back[0].id);
    EXPECT_STREQ("", back[0].kind);
    EXPECT_STREQ("c", back[1].id);
    EXPECT_STREQ("d.e", back[1].kind);
    EXPECT_THROW(CosNaming::Name_var(three.names->to_name("")),
                 CosNaming::NamingContext::InvalidName);
    EXPECT_THROW(CosNaming::Name_var(three.names->to_name("a//b")),
                 CosNaming::NamingContext::InvalidName);
    CORBA::String_var url = three.names->to_url(":host:9001", "a b");
    EXPECT_STREQ("corbaname::host:9001#a%20b", url.in());
    EXPECT_THROW(CORBA::String_var(three.names->to_url("", "a")),
                 CosNaming::NamingContextExt::InvalidAddress);
}

// Takes the context serveOwnNames activated out of omniINSPOA again, before its servant goes.
struct ServedUnderNameService {
    ~ServedUnderNameService() {
        CORBA::Object_var insObject = loopbackOrb()->resolve_initial_references("omniINSPOA");
        PortableServer::POA_var ins = PortableServer::POA::_narrow(insObject);
        PortableServer::ObjectId_var key = PortableServer::string_to_ObjectId("NameService");
        ins->deactivate_object(key);
    }
};

// The hosted server's names, reached as every client reaches them: corbaloc::HOST:PORT/NameService
// (the server's own port; 9001 in the game).
TEST(HostedNames, AClientFindsTheThreeObjectsUnderTheCorbalocKey) {
    ServerContext server(2);
    const CallerHost caller = [] { return std::string("10.0.0.1"); };
    Login_impl fifoServant(server, caller), loginServant(server, caller),
        controleServant(server, caller);
    Activated fifo(&fifoServant), login(&loginServant), controle(&controleServant);
    CORBA::Object_var fifoRef = fifo.as<CORBA::Object>();
    CORBA::Object_var loginRef = login.as<CORBA::Object>();
    CORBA::Object_var controleRef = controle.as<CORBA::Object>();
    PortableServer::POA_var poa = rootPoa();
    std::ostringstream console;
    std::unique_ptr<ReadOnlyNamingContext> names =
        serveOwnNames(loopbackOrb(), poa, fifoRef, loginRef, controleRef, console);
    const ServedUnderNameService served;
    const std::optional<std::string> place = servedAt(loopbackOrb(), fifoRef);
    ASSERT_TRUE(place.has_value());

    CORBA::Object_var object =
        loopbackOrb()->string_to_object(("corbaloc::" + *place + "/NameService").c_str());
    CosNaming::NamingContext_var root = CosNaming::NamingContext::_narrow(object);
    ASSERT_FALSE(CORBA::is_nil(root));
    CORBA::Object_var found = root->resolve(oneComponentName("login"));
    Login_var asLogin = Login::_narrow(found);
    EXPECT_EQ(1, asLogin->logar());
    EXPECT_THROW(root->rebind(oneComponentName("login"), fifoRef), CORBA::NO_PERMISSION);
    EXPECT_THROW(root->unbind(oneComponentName("login")), CORBA::NO_PERMISSION);
    EXPECT_EQ(2u, names->totalRefusals());
    reportRefusedWrites(*names, console);
    EXPECT_NE(std::string::npos, console.str().find("um pedido de rebind foi recusado"));
    EXPECT_NE(
        std::string::npos,
        console.str().find(
            "Pedidos de escrita recusados nos nomes deste servidor: 2 (rebind 1, unbind 1)."));
}

}  // namespace
