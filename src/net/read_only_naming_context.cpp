#include "net/read_only_naming_context.h"

#include <cctype>
#include <cstdio>

namespace {

// Hands out what list() did not: the bindings it holds, from the first to the last.
class ListedBindings : public POA_CosNaming::BindingIterator {
  public:
    explicit ListedBindings(CosNaming::BindingList bindings) : bindings_(std::move(bindings)) {}

    CORBA::Boolean next_one(CosNaming::Binding_out b) override {
        std::lock_guard<std::mutex> hold(lock_);
        b = new CosNaming::Binding;
        if (next_ >= bindings_.length()) {
            b->binding_name.length(0);
            b->binding_type = CosNaming::nobject;
            return false;
        }
        *b = bindings_[next_++];
        return true;
    }

    CORBA::Boolean next_n(CORBA::ULong how_many, CosNaming::BindingList_out bl) override {
        if (how_many == 0) throw CORBA::BAD_PARAM(0, CORBA::COMPLETED_NO);
        std::lock_guard<std::mutex> hold(lock_);
        bl = new CosNaming::BindingList;
        CORBA::ULong count = 0;
        while (count < how_many && next_ < bindings_.length()) {
            bl->length(count + 1);
            (*bl)[count++] = bindings_[next_++];
        }
        return count > 0;
    }

    void destroy() override {
        try {
            PortableServer::POA_var poa = _default_POA();
            PortableServer::ObjectId_var id = poa->servant_to_id(this);
            poa->deactivate_object(id);
        } catch (const CORBA::Exception&) {
            // Already gone (the context let it go to make room for a newer one).
        }
    }

    PortableServer::POA_ptr _default_POA() override {
        return PortableServer::POA::_duplicate(poa_);
    }
    void setPoa(PortableServer::POA_ptr poa) { poa_ = PortableServer::POA::_duplicate(poa); }

  private:
    std::mutex lock_;
    const CosNaming::BindingList bindings_;
    CORBA::ULong next_ = 0;
    PortableServer::POA_var poa_;
};

CosNaming::NamingContext::InvalidName invalidName() { return {}; }

// One name component as the string form writes it: '/', '.' and '\' escaped with '\'.
void appendEscaped(std::string& text, const char* part) {
    for (const char* c = part; *c; ++c) {
        if (*c == '/' || *c == '.' || *c == '\\') text += '\\';
        text += *c;
    }
}

bool isUrlSafe(unsigned char c) {
    return std::isalnum(c) ||
           std::string(";/:?@&=+$,-_.!~*'()").find(static_cast<char>(c)) != std::string::npos;
}

}  // namespace

const char* namingWriteName(NamingWrite kind) {
    switch (kind) {
        case NamingWrite::Bind:
            return "bind";
        case NamingWrite::Rebind:
            return "rebind";
        case NamingWrite::BindContext:
            return "bind_context";
        case NamingWrite::RebindContext:
            return "rebind_context";
        case NamingWrite::Unbind:
            return "unbind";
        case NamingWrite::NewContext:
            return "new_context";
        case NamingWrite::BindNewContext:
            return "bind_new_context";
        case NamingWrite::Destroy:
            return "destroy";
    }
    return "?";
}

ReadOnlyNamingContext::ReadOnlyNamingContext(PortableServer::POA_ptr iteratorPoa, Bindings bindings,
                                             FirstRefusal firstRefusal)
    : iteratorPoa_(PortableServer::POA::_duplicate(iteratorPoa)),
      bindings_(std::move(bindings)),
      firstRefusal_(std::move(firstRefusal)) {}

// The iterators still active belong to their POA, which lets them go with itself.
ReadOnlyNamingContext::~ReadOnlyNamingContext() = default;

unsigned long ReadOnlyNamingContext::refusals(NamingWrite kind) const {
    return refusals_[static_cast<size_t>(kind)].load();
}

unsigned long ReadOnlyNamingContext::totalRefusals() const {
    unsigned long total = 0;
    for (const auto& count : refusals_) total += count.load();
    return total;
}

std::string ReadOnlyNamingContext::refusalSummary() const {
    std::string summary;
    for (int kind = 0; kind < kNamingWriteKinds; ++kind) {
        const unsigned long count = refusals_[kind].load();
        if (count == 0) continue;
        if (!summary.empty()) summary += ", ";
        summary += std::string(namingWriteName(static_cast<NamingWrite>(kind))) + " " +
                   std::to_string(count);
    }
    return summary;
}

void ReadOnlyNamingContext::refuse(NamingWrite kind) {
    if (refusals_[static_cast<size_t>(kind)].fetch_add(1) == 0 && firstRefusal_) {
        firstRefusal_(kind);
    }
    throw CORBA::NO_PERMISSION(0, CORBA::COMPLETED_NO);
}

void ReadOnlyNamingContext::bind(const CosNaming::Name&, CORBA::Object_ptr) {
    refuse(NamingWrite::Bind);
}
void ReadOnlyNamingContext::rebind(const CosNaming::Name&, CORBA::Object_ptr) {
    refuse(NamingWrite::Rebind);
}
void ReadOnlyNamingContext::bind_context(const CosNaming::Name&, CosNaming::NamingContext_ptr) {
    refuse(NamingWrite::BindContext);
}
void ReadOnlyNamingContext::rebind_context(const CosNaming::Name&, CosNaming::NamingContext_ptr) {
    refuse(NamingWrite::RebindContext);
}
void ReadOnlyNamingContext::unbind(const CosNaming::Name&) { refuse(NamingWrite::Unbind); }
CosNaming::NamingContext_ptr ReadOnlyNamingContext::new_context() {
    refuse(NamingWrite::NewContext);
}
CosNaming::NamingContext_ptr ReadOnlyNamingContext::bind_new_context(const CosNaming::Name&) {
    refuse(NamingWrite::BindNewContext);
}
void ReadOnlyNamingContext::destroy() { refuse(NamingWrite::Destroy); }

CORBA::Object_ptr ReadOnlyNamingContext::resolve(const CosNaming::Name& n) {
    if (n.length() == 0) throw invalidName();
    for (const auto& [id, object] : bindings_) {
        if (id != static_cast<const char*>(n[0].id) || *n[0].kind != '\0') continue;
        // None of the bound objects is a context: a longer name goes no further.
        if (n.length() > 1)
            throw CosNaming::NamingContext::NotFound(CosNaming::NamingContext::not_context, n);
        return CORBA::Object::_duplicate(object);
    }
    throw CosNaming::NamingContext::NotFound(CosNaming::NamingContext::missing_node, n);
}

CosNaming::Binding ReadOnlyNamingContext::binding(size_t index) const {
    CosNaming::Binding binding;
    binding.binding_name.length(1);
    binding.binding_name[0].id = CORBA::string_dup(bindings_[index].first.c_str());
    binding.binding_name[0].kind = CORBA::string_dup("");
    binding.binding_type = CosNaming::nobject;
    return binding;
}

void ReadOnlyNamingContext::list(CORBA::ULong how_many, CosNaming::BindingList_out bl,
                                 CosNaming::BindingIterator_out bi) {
    const size_t given = std::min<size_t>(how_many, bindings_.size());
    bl = new CosNaming::BindingList;
    bl->length(static_cast<CORBA::ULong>(given));
    for (size_t i = 0; i < given; ++i) (*bl)[static_cast<CORBA::ULong>(i)] = binding(i);
    bi = given < bindings_.size() ? iteratorFrom(given) : CosNaming::BindingIterator::_nil();
}

CosNaming::BindingIterator_ptr ReadOnlyNamingContext::iteratorFrom(size_t first) {
    CosNaming::BindingList rest;
    rest.length(static_cast<CORBA::ULong>(bindings_.size() - first));
    for (size_t i = first; i < bindings_.size(); ++i) {
        rest[static_cast<CORBA::ULong>(i - first)] = binding(i);
    }
    auto* iterator = new ListedBindings(std::move(rest));
    iterator->setPoa(iteratorPoa_);
    std::lock_guard<std::mutex> hold(iteratorsLock_);
    // Room for the new one: forget the iterators already destroyed, then let the oldest go.
    for (auto it = iterators_.begin(); it != iterators_.end();) {
        try {
            PortableServer::Servant servant = iteratorPoa_->id_to_servant(*it);
            servant->_remove_ref();
            ++it;
        } catch (const PortableServer::POA::ObjectNotActive&) {
            it = iterators_.erase(it);
        }
    }
    while (iterators_.size() >= kMaxIterators) {
        try {
            iteratorPoa_->deactivate_object(iterators_.front());
        } catch (const PortableServer::POA::ObjectNotActive&) {
        }
        iterators_.pop_front();
    }
    PortableServer::ObjectId_var id = iteratorPoa_->activate_object(iterator);
    iterator->_remove_ref();  // the POA holds it now
    CORBA::Object_var object = iteratorPoa_->id_to_reference(id);
    iterators_.emplace_back(id._retn());
    return CosNaming::BindingIterator::_narrow(object);
}

char* ReadOnlyNamingContext::to_string(const CosNaming::Name& n) {
    if (n.length() == 0) throw invalidName();
    std::string text;
    for (CORBA::ULong i = 0; i < n.length(); ++i) {
        if (i > 0) text += '/';
        appendEscaped(text, n[i].id);
        if (*n[i].kind != '\0' || *n[i].id == '\0') {
            text += '.';
            appendEscaped(text, n[i].kind);
        }
    }
    return CORBA::string_dup(text.c_str());
}

CosNaming::Name* ReadOnlyNamingContext::to_name(const char* sn) {
    const std::string text = sn ? sn : "";
    if (text.empty()) throw invalidName();
    CosNaming::Name_var name = new CosNaming::Name;
    std::string id, kind;
    bool inKind = false, sawDot = false;
    auto closeComponent = [&] {
        if (id.empty() && !sawDot) throw invalidName();  // an empty component
        const CORBA::ULong at = name->length();
        name->length(at + 1);
        name[at].id = CORBA::string_dup(id.c_str());
        name[at].kind = CORBA::string_dup(kind.c_str());
        id.clear();
        kind.clear();
        inKind = sawDot = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            if (++i == text.size()) throw invalidName();
            c = text[i];
        } else if (c == '/') {
            closeComponent();
            continue;
        } else if (c == '.') {
            if (inKind) throw invalidName();
            inKind = sawDot = true;
            continue;
        }
        (inKind ? kind : id) += c;
    }
    closeComponent();
    return name._retn();
}

char* ReadOnlyNamingContext::to_url(const char* addr, const char* sn) {
    if (!addr || *addr == '\0') throw CosNaming::NamingContextExt::InvalidAddress();
    if (!sn || *sn == '\0') throw invalidName();
    std::string url = std::string("corbaname:") + addr + "#";
    for (const char* c = sn; *c; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (isUrlSafe(byte)) {
            url += *c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02x", byte);
            url += escaped;
        }
    }
    return CORBA::string_dup(url.c_str());
}

CORBA::Object_ptr ReadOnlyNamingContext::resolve_str(const char* n) {
    CosNaming::Name_var name = to_name(n);
    return resolve(name);
}
