#include "net/server_references.h"

#include <omniORB4/IIOP.h>
#include <omniORB4/IOP.h>
#include <omniORB4/cdrStream.h>

#include <cctype>

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

}  // namespace

std::optional<std::string> servedAt(CORBA::ORB_ptr orb, CORBA::Object_ptr object) {
    if (CORBA::is_nil(object)) return std::nullopt;
    try {
        CORBA::String_var text = orb->object_to_string(object);
        const std::string ior = text.in();
        const std::string prefix = "IOR:";
        if (ior.compare(0, prefix.size(), prefix) != 0 || (ior.size() - prefix.size()) % 2 != 0)
            return std::nullopt;
        std::vector<CORBA::Octet> octets;
        for (size_t i = prefix.size(); i < ior.size(); i += 2) {
            const int high = hexDigit(ior[i]), low = hexDigit(ior[i + 1]);
            if (high < 0 || low < 0) return std::nullopt;
            octets.push_back(static_cast<CORBA::Octet>(high * 16 + low));
        }
        cdrMemoryStream buffer(static_cast<CORBA::ULong>(octets.size()), 0);
        buffer.put_octet_array(octets.data(), static_cast<int>(octets.size()));
        // An encapsulation: its first octet is the byte order of the rest.
        CORBA::Boolean littleEndian = buffer.unmarshalBoolean();
        buffer.setByteSwapFlag(littleEndian);
        IOP::IOR decoded;
        decoded.type_id = IOP::IOR::unmarshaltype_id(buffer);
        decoded.profiles <<= buffer;
        for (CORBA::ULong i = 0; i < decoded.profiles.length(); ++i) {
            if (decoded.profiles[i].tag != IOP::TAG_INTERNET_IOP) continue;
            IIOP::ProfileBody body;
            IIOP::unmarshalProfile(decoded.profiles[i], body);
            return std::string(body.address.host.in()) + ":" + std::to_string(body.address.port);
        }
    } catch (const CORBA::Exception&) {
        // Not a reference this process can read: it leads nowhere it can check.
    }
    return std::nullopt;
}

bool sameServer(CORBA::ORB_ptr orb, const std::vector<CORBA::Object_ptr>& objects,
                std::string& addresses) {
    std::vector<std::optional<std::string>> places;
    for (CORBA::Object_ptr object : objects) places.push_back(servedAt(orb, object));
    bool same = !places.empty() && places.front().has_value();
    for (const auto& place : places) same = same && place == places.front();
    addresses.clear();
    if (!same) {
        for (const auto& place : places) {
            if (!addresses.empty()) addresses += ", ";
            addresses += place.value_or("?");
        }
    }
    return same;
}
