#include "net/connection_limits.h"

#include <iterator>

bool ConnectionLimits::wouldRefuse(const ConnectionKey& connection) const {
    if (open_.count(connection) != 0) return false;
    return openFrom(connection.peerAddress) >= caps_.perAddress || open() >= caps_.total;
}

AdmitResult ConnectionLimits::admit(const ConnectionKey& connection) {
    if (open_.count(connection) != 0) return AdmitResult::kTaken;
    if (openFrom(connection.peerAddress) >= caps_.perAddress) {
        ++refusedPerAddress_;
        return AdmitResult::kRefusedPerAddress;
    }
    if (open() >= caps_.total) {
        ++refusedTotal_;
        return AdmitResult::kRefusedTotal;
    }
    open_.insert(connection);
    ++perAddress_[connection.peerAddress];
    return AdmitResult::kTaken;
}

void ConnectionLimits::release(const ConnectionKey& connection) {
    auto found = open_.find(connection);
    if (found != open_.end()) forget(found);
}

void ConnectionLimits::keepOnly(const std::set<ConnectionKey>& stillOpen) {
    for (auto connection = open_.begin(); connection != open_.end();) {
        auto next = std::next(connection);
        if (stillOpen.count(*connection) == 0) forget(connection);
        connection = next;
    }
}

int ConnectionLimits::openFrom(const std::string& peerAddress) const {
    auto found = perAddress_.find(peerAddress);
    return found == perAddress_.end() ? 0 : found->second;
}

void ConnectionLimits::forget(std::set<ConnectionKey>::iterator connection) {
    auto count = perAddress_.find(connection->peerAddress);
    if (count != perAddress_.end() && --count->second == 0) perAddress_.erase(count);
    open_.erase(connection);
}
