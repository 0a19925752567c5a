#pragma once

// The program's mirror of the keyboard's key configuration: the key entries of all four
// profiles, the shared macro list and the texts some entries carry. Two live side by side:
//
//   ProfileImage  the working image every window edits, under the image lock. The lock is
//                 re-entrant for the thread holding it, because the apply pipeline holds it
//                 around saving and writing, and the operations it calls take it again.
//   DeviceImage   a copy taken just before each write to the keyboard, under its own plain
//                 lock, so the transfer never reads the image while the user edits it.
//
// Lock order: when both are needed the image lock is always taken first, then the device-image
// lock. Nothing is reachable without holding the matching lock: Lock() hands out an accessor
// that keeps it for as long as it lives.
//
// The program creates one of each; tests create as many as they like.

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "keys/key_entry.h"
#include "macros/macro_record.h"
#include "profiles/image_layout.h"
#include "profiles/key_text_table.h"

namespace qv::profiles {

using ProfileKeyBlocks = std::array<keys::KeyBlock, kProfileCount>;

// What an image holds. The header is not stored: its counts and sizes follow from the rest
// when the block is encoded, except for the flag, which files carry (0 or 1).
struct ImageContents {
    ProfileKeyBlocks blocks{};  // block p: profile p, indexed by KeyIndex
    macros::MacroList macros;   // in list order; the position is the keyboard's macro number
    KeyTextTable texts;         // slot i belongs to image entry i (ImageEntry)
    std::uint8_t headerFlag = 0;

    // Entry i of the image block: profile i / 512, slot i % 512. i < kImageKeyEntryCount.
    [[nodiscard]] keys::KeyEntry& ImageEntry(std::size_t index);
    [[nodiscard]] const keys::KeyEntry& ImageEntry(std::size_t index) const;

    friend bool operator==(const ImageContents&, const ImageContents&) = default;
};

// Empties the image: no texts (total 0), no macros, every entry zero, flag 0.
void ReleaseImageContents(ImageContents& image);

// Makes the default image the current one: all entries zero except the G key codes in the aux
// fields of block 0's slots 256..273; flag 0. Expects released contents (macros and texts are
// left as they are).
void InstallDefaultImage(ImageContents& image);

template <typename Mutex>
class GuardedImage {
public:
    // The contents, with the image's lock held until this goes away.
    class Access {
    public:
        [[nodiscard]] ImageContents& operator*() const { return *contents_; }
        [[nodiscard]] ImageContents* operator->() const { return contents_; }

    private:
        friend class GuardedImage;
        Access(Mutex& mutex, ImageContents& contents) : lock_(mutex), contents_(&contents) {}

        std::unique_lock<Mutex> lock_;
        ImageContents* contents_;
    };

    // Starts released; the program installs the default image at start-up.
    GuardedImage() = default;
    GuardedImage(const GuardedImage&) = delete;
    GuardedImage& operator=(const GuardedImage&) = delete;

    [[nodiscard]] Access Lock() { return Access(mutex_, contents_); }

private:
    Mutex mutex_;
    ImageContents contents_;
};

using ProfileImage = GuardedImage<std::recursive_mutex>;
using DeviceImage = GuardedImage<std::mutex>;

}  // namespace qv::profiles
