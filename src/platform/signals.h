// SIGTERM and SIGINT as the user's close request. They are taken on the program's first
// line, so that one that arrives while the program starts cannot end it with the default
// action; the window thread turns it into a close of the main window as soon as there is
// one (see window.h).
#pragma once

namespace plat::signals {

// Installs the handlers and unblocks the two signals for the calling thread (once;
// later calls do nothing). A signal only leaves a mark.
void takeCloseSignals();
bool closeSignalsTaken();
// True, once, when a close signal arrived since the last call.
bool takeCloseRequest();

}  // namespace plat::signals
