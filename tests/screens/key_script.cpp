#include "screens/key_script.h"

#include <allegro.h>

#include <algorithm>

#include "platform/clock.h"

void clearAllKeys() {
    for (int code = 0; code < KEY_MAX; ++code) key[code] = 0;
}

KeyScript& KeyScript::down(int64_t atMs, int scancode) {
    return call(atMs, [scancode] { key[scancode] = 1; });
}

KeyScript& KeyScript::up(int64_t atMs, int scancode) {
    return call(atMs, [scancode] { key[scancode] = 0; });
}

KeyScript& KeyScript::press(int64_t atMs, int scancode, int64_t holdMs) {
    down(atMs, scancode);
    return up(atMs + holdMs, scancode);
}

KeyScript& KeyScript::call(int64_t atMs, std::function<void()> action) {
    events.push_back({atMs, std::move(action)});
    return *this;
}

void KeyScript::start(int64_t timeLimitMs) {
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.atMs < b.atMs; });
    nextEvent = 0;
    useSimulatedClock(0);
    setSleepHook([this, timeLimitMs](int64_t now) {
        applyUntil(now);
        if (now > timeLimitMs) throw TimeLimitReached{now};
    });
    applyUntil(0);
}

void KeyScript::applyUntil(int64_t now) {
    while (nextEvent < events.size() && events[nextEvent].atMs <= now) {
        events[nextEvent++].action();
    }
}

void KeyScript::stop() {
    useRealClock();
    clearAllKeys();
}
