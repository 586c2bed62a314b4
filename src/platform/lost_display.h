// What the program does when its X display goes away (a logout, an X server that dies).
//
// Xlib then calls one handler, on whichever thread made the failing call (often the graphics
// library's background thread), and ends the process itself if that handler returns; the exit
// handlers that run then (the graphics library's among them) touch the dead display or wait for a
// thread that will never answer. So the handler installed here never returns: it prints
// kLostDisplayMessage, runs the finishing step registered meanwhile (closing a recording, so that
// its file is whole) and ends the process at once with kLostDisplayStatus, without exit handlers.
#pragma once

#include <functional>

inline constexpr const char* kLostDisplayMessage =
    "A janela do jogo foi perdida (o servidor grafico X caiu ou a sessao terminou).";
constexpr int kLostDisplayStatus = 3;

// Installs the handler (startGraphics does, once the window is open). Holds until the process
// ends.
void endProcessOnLostDisplay();

// While it lives, `step` is what must be finished when the display is lost. It runs on the thread
// that noticed the loss, while other threads may be anywhere, and the process ends right after:
// keep it short, and let it take only locks that no X call is ever made under. One at a time: a
// newer one stands in for the older one until it goes.
class FinishOnLostDisplay {
  public:
    explicit FinishOnLostDisplay(std::function<void()> step);
    ~FinishOnLostDisplay();
    FinishOnLostDisplay(const FinishOnLostDisplay&) = delete;
    FinishOnLostDisplay& operator=(const FinishOnLostDisplay&) = delete;

  private:
    std::function<void()> previous;
};
