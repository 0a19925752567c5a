#pragma once

namespace qv::device {

// Every operation that talks to the keyboard returns one of these. Callers treat anything but
// kSuccess as failure; the values are part of the protocol contract and never change.
inline constexpr int kSuccess = 1;
inline constexpr int kNoKeyboard = 0;  // nothing was sent, or the wait for the reply failed
// The HID service refused to send the request, and no earlier attempt of it went out.
inline constexpr int kSendRefused = -1;
inline constexpr int kNoReply = -2;       // no reply with the same command number in 3 attempts
inline constexpr int kStatusFF = -102;    // the keyboard answered with status 0xFF
inline constexpr int kStatusFE = -103;    // the keyboard answered with status 0xFE
inline constexpr int kBadKeyPage = -201;  // key page outside 0..3; nothing was sent
inline constexpr int kBeyondOffsets =
    -202;  // transfer would pass the 16-bit offset range; nothing sent

// A failed command that never reached the keyboard. One that got no answer, or a failure
// status after an attempt that got none, may have been carried out all the same.
[[nodiscard]] constexpr bool NeverReachedKeyboard(int result) {
    return result == kNoKeyboard || result == kSendRefused || result == kBadKeyPage ||
           result == kBeyondOffsets;
}

}  // namespace qv::device
