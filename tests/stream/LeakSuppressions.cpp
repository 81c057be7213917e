// LeakSanitizer, in the sanitizer builds: libshout 2.4.6's shout_free() returns without freeing
// its object (IcecastSink keeps one per destination for that reason); that is the library's
// leak, not ours.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libshout.so\n";
}
