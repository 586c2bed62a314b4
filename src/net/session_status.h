// The exit status a network session gives back to main when it could not run as it should.
#pragma once

// A thread of the session could not be started or joined (the system is out of threads or
// memory); the process ends with this status, 255, as it always has for that failure.
constexpr int kThreadFailureStatus = 255;
