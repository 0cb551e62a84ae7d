// The host event kinds under names that Xlib's macros (None, Expose, FocusOut) do not
// hide. Include before any Xlib header.
#pragma once

#include "os/host.h"

namespace hosts::x11 {

using EventType = os::HostEvent::Type;
inline constexpr EventType kExposeEvent = EventType::Expose;
inline constexpr EventType kFocusOutEvent = EventType::FocusOut;
inline constexpr EventType kUnmappedEvent = EventType::Unmapped;
inline constexpr EventType kReparentedEvent = EventType::Reparented;
inline constexpr EventType kMovedEvent = EventType::Moved;

}  // namespace hosts::x11
