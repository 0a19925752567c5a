#pragma once

// A tray program spends most of its life hidden, after its window has held megabytes of
// pictures. These keep what it frees from staying resident.

namespace qv::platform {

// From now on every large block gets a mapping of its own, so that freeing a picture unmaps it
// at once. Left to itself, malloc raises that threshold after the first large block is freed
// and later pictures stay in the heap as freed but resident memory.
void KeepLargeBlocksApart();

// Gives the heap's free pages back to the system.
void ReturnFreedHeap();

}  // namespace qv::platform
