// Preloaded into the sanitizer test run: dlclose() keeps every module mapped.
//
// Mesa unloads its DRI driver at exit, before LeakSanitizer runs; the
// driver's globals still point at its allocations, but once unmapped they
// are no longer scanned, and the blocks show up as leaks from an
// "<unknown module>" that no suppression can name. Kept mapped, they are
// reachable and nothing needs suppressing.
extern "C" int dlclose(void* /*handle*/)
{
    return 0;
}
