// What the sanitizer runtimes take as their defaults in every program of the project. Each is
// called only by its own runtime, so a build without that sanitizer never calls it.

// SDL keeps its D-Bus connection until the process ends; what that system library still holds then
// is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

// The address runtime learns where a library's thread-local block lies by watching __tls_get_addr,
// and guesses the block's bounds from the 16 bytes before it when the block starts 16 bytes into a
// page. A block from the heap (the GL driver's compiler library, loaded by SDL in a real window, has
// one) holds the heap's own chunk header there, so at one heap layout in a few hundred the leak
// check's scan read a range made of that header and died at the exit. The blocks come from the
// dynamic loader, which the leak check treats as roots and scans anyway, so nothing is lost by not
// watching.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }

// Under Xvfb, SDL's renderer runs on the system's software GL driver, whose own threads lock and
// destroy the driver's mutexes in code the thread checker cannot see into.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }
