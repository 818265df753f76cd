// The message loop as the class library's thread object drives it.
#pragma once

namespace zv::user {

// Something waits: an event, a posted message, or the quit message.
bool MessageWaiting();
// Handles what waits, or waits for something and handles it. False when the
// quit message was taken instead; its exit code goes to exitCode.
bool DispatchNextMessage(int& exitCode);
// The platform's own idle work: deferred deletion of windows, updates.
void PlatformIdle();

} // namespace zv::user
