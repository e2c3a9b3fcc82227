#pragma once
// The two window classes of the monitor control, registered for the library's lifetime.

namespace morvane {

// TRUE when both classes were registered; failures are traced and shown with debugTrace.
int RegisterMonitorClasses();
// TRUE when both classes were unregistered.
int UnregisterMonitorClasses();

}  // namespace morvane
