// The leak checker's stacks for this test program. The display, dialog and music
// tests start and stop SDL's video subsystem many times, and SDL loads and unloads
// parts of the system's window and GL libraries with it. An allocation made inside
// such a part, which has no frame pointers, ends its stack at an "unknown module"
// once the part is unloaded, so the suppressions of tests/lsan.supp, which name the
// libraries above it (libSDL2), cannot match. Unwinding every allocation from the
// unwind tables instead keeps those stacks whole. ASAN_OPTIONS can still override it.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
