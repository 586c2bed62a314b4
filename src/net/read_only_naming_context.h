// A naming context that a server serves itself, in which nothing can be written.
//
// It holds a fixed list of one-component names (kind empty), each bound to an object, and answers
// the reading operations as a naming service does: resolve (NotFound for a name it lacks, or for
// a longer name, since none of its objects is a context; InvalidName for an empty name), list (at
// most how_many bindings, the rest through a binding iterator), and NamingContextExt's
// to_string, to_name, to_url and resolve_str. Every writing operation (bind, rebind,
// bind_context, rebind_context, unbind, new_context, bind_new_context, destroy) is refused with
// CORBA::NO_PERMISSION and counted; the first refusal of each kind is reported through the
// callback given at construction, so a flood of them cannot fill the console.
//
// Binding iterators are activated in the POA given at construction; at most kMaxIterators live at
// a time (the oldest goes when another is needed), so list calls cannot make the server grow.
#pragma once

#include <omniORB4/CORBA.h>

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The kinds of writing operation a read-only context refuses.
enum class NamingWrite {
    Bind,
    Rebind,
    BindContext,
    RebindContext,
    Unbind,
    NewContext,
    BindNewContext,
    Destroy,
};
constexpr int kNamingWriteKinds = 8;

// The operation's name in the naming service's interface ("bind", "rebind", ...).
const char* namingWriteName(NamingWrite kind);

class ReadOnlyNamingContext : public POA_CosNaming::NamingContextExt {
  public:
    using Bindings = std::vector<std::pair<std::string, CORBA::Object_var>>;
    // Called on the ORB's thread with the kind of the first refusal of each kind.
    using FirstRefusal = std::function<void(NamingWrite)>;
    static constexpr size_t kMaxIterators = 8;

    ReadOnlyNamingContext(PortableServer::POA_ptr iteratorPoa, Bindings bindings,
                          FirstRefusal firstRefusal = {});
    ~ReadOnlyNamingContext() override;

    // How many writing operations of `kind` were refused so far.
    unsigned long refusals(NamingWrite kind) const;
    // All refusals so far.
    unsigned long totalRefusals() const;
    // "rebind 3, unbind 1" for the kinds refused at least once; empty when none was.
    std::string refusalSummary() const;

    // CosNaming::NamingContext
    void bind(const CosNaming::Name& n, CORBA::Object_ptr obj) override;
    void rebind(const CosNaming::Name& n, CORBA::Object_ptr obj) override;
    void bind_context(const CosNaming::Name& n, CosNaming::NamingContext_ptr nc) override;
    void rebind_context(const CosNaming::Name& n, CosNaming::NamingContext_ptr nc) override;
    CORBA::Object_ptr resolve(const CosNaming::Name& n) override;
    void unbind(const CosNaming::Name& n) override;
    CosNaming::NamingContext_ptr new_context() override;
    CosNaming::NamingContext_ptr bind_new_context(const CosNaming::Name& n) override;
    void destroy() override;
    void list(CORBA::ULong how_many, CosNaming::BindingList_out bl,
              CosNaming::BindingIterator_out bi) override;

    // CosNaming::NamingContextExt
    char* to_string(const CosNaming::Name& n) override;
    CosNaming::Name* to_name(const char* sn) override;
    char* to_url(const char* addr, const char* sn) override;
    CORBA::Object_ptr resolve_str(const char* n) override;

  private:
    [[noreturn]] void refuse(NamingWrite kind);
    CosNaming::Binding binding(size_t index) const;
    CosNaming::BindingIterator_ptr iteratorFrom(size_t first);

    PortableServer::POA_var iteratorPoa_;
    const Bindings bindings_;
    const FirstRefusal firstRefusal_;
    std::array<std::atomic<unsigned long>, kNamingWriteKinds> refusals_{};

    std::mutex iteratorsLock_;
    std::deque<PortableServer::ObjectId_var> iterators_;  // oldest first
};
