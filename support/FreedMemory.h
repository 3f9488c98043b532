// How freed memory goes back to the system, where the C library lets us say.
#pragma once

namespace tarnwick {

// From now on, in this process: large blocks (a page's text, a module's
// source) are mapped apart and unmapped when freed, and free memory at the
// top of the heap is handed back once it passes a small size, instead of
// the C library raising both bounds as it goes. A run of many projects on
// one thread, one after another, then keeps the peak of its largest
// project rather than what each left behind, without sweeping the whole
// heap after each (which costs about a twelfth of its processor time).
// Nothing where the C library has no such settings.
void handFreedMemoryBackPromptly();

// Hands every whole free page of the heap back to the system now. Costly
// on a busy heap (each page is faulted in again when used), so only where
// most of it was just freed. Nothing where the C library cannot.
void handFreedMemoryBack();

}  // namespace tarnwick
